#include "batch/PlotPicture.h"

#include "plots/XYPlotFigure.h"

#if KALVEX_HAVE_PICTURES
#include "plots/qt/FigurePainter.h"
#endif

namespace kalvex::batch {

bool PlotPicturesBuilt() { return KALVEX_HAVE_PICTURES; }

std::optional<std::string> EncodePicture(const plots::Figure& figure, const std::string& path, std::string& encoded) {
#if KALVEX_HAVE_PICTURES
  return plots::EncodeFigurePicture(figure, path, encoded);
#else
  (void)figure, (void)path, (void)encoded;
  return "this build draws no pictures";
#endif
}

std::optional<std::string> EncodeSummaryPicture(const plots::XYPlotData& data, const std::string& path,
                                                std::string& encoded) {
  return EncodePicture(plots::SummaryPlotFigure(data), path, encoded);
}

std::optional<std::string> EncodeDistributionPicture(const plots::DistributionPlotData& data, const std::string& path,
                                                     std::string& encoded) {
  plots::DistributionPlot plot(data);
  plot.Plot(2);
  return EncodePicture(plot.FilePicture(), path, encoded);
}

}  // namespace kalvex::batch
