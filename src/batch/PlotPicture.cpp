#include "batch/PlotPicture.h"

#if KALVEX_HAVE_PICTURES
#include "plots/qt/FigurePainter.h"
#include "plots/qt/XYPlotPainter.h"
#endif

namespace kalvex::batch {

bool PlotPicturesBuilt() { return KALVEX_HAVE_PICTURES; }

std::optional<std::string> SaveSummaryPicture(const plots::XYPlotData& data, const std::string& path) {
#if KALVEX_HAVE_PICTURES
  return plots::SaveSummaryPlotPicture(data, path);
#else
  (void)data, (void)path;
  return "this build draws no pictures";
#endif
}

std::optional<std::string> SaveDistributionPicture(const plots::DistributionPlotData& data, const std::string& path) {
#if KALVEX_HAVE_PICTURES
  plots::DistributionPlot plot(data);
  plot.Plot(2);
  return plots::SaveFigurePicture(plot.Picture(), path);
#else
  (void)data, (void)path;
  return "this build draws no pictures";
#endif
}

}  // namespace kalvex::batch
