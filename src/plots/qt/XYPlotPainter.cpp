#include "plots/qt/XYPlotPainter.h"

#include "plots/Panel.h"
#include "plots/XYPlotFigure.h"

namespace kalvex::plots {
namespace {

Figure PanelsFigure(const std::vector<const XYPlot*>& panels) {
  std::vector<Figure> figures;
  for (const XYPlot* plot : panels) figures.push_back(XYPlotFigure(*plot, FigureUse::File));
  return Arrange(figures, static_cast<int>(figures.size()));
}

// options.size is each panel's.
PictureOptions Widened(PictureOptions options, std::size_t panels) {
  if (!options.size.isEmpty()) options.size.setWidth(options.size.width() * static_cast<int>(panels));
  return options;
}

}  // namespace

QSize DefaultPictureSize() { return QSize(int(kSurfaceWidth / 15), int(kSurfaceHeight / 15)); }

QImage RenderXYPlot(const XYPlot& plot, const PictureOptions& options) { return RenderXYPlotPanels({&plot}, options); }

QImage RenderXYPlotPanels(const std::vector<const XYPlot*>& panels, const PictureOptions& options) {
  return RenderFigure(PanelsFigure(panels), Widened(options, panels.size()));
}

std::optional<std::string> SaveXYPlotPicture(const XYPlot& plot, const std::string& path,
                                             const PictureOptions& options) {
  return SaveXYPlotPanels({&plot}, path, options);
}

std::optional<std::string> SaveXYPlotPanels(const std::vector<const XYPlot*>& panels, const std::string& path,
                                            const PictureOptions& options) {
  return SaveFigurePicture(PanelsFigure(panels), path, Widened(options, panels.size()));
}

std::optional<std::string> EncodeSummaryPlotPicture(const XYPlotData& data, const std::string& path,
                                                    std::string& encoded) {
  return EncodeFigurePicture(SummaryPlotFigure(data), path, encoded);
}

}  // namespace kalvex::plots
