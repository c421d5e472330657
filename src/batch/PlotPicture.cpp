#include "batch/PlotPicture.h"

#if KALVEX_HAVE_PICTURES
#include "plots/qt/FigurePainter.h"
#include "plots/qt/XYPlotPainter.h"
#endif

namespace kalvex::batch {

bool PlotPicturesBuilt() { return KALVEX_HAVE_PICTURES; }

std::optional<std::string> EncodeSummaryPicture(const plots::XYPlotData& data, const std::string& path,
                                                std::string& encoded) {
#if KALVEX_HAVE_PICTURES
  return plots::EncodeSummaryPlotPicture(data, path, encoded);
#else
  (void)data, (void)path, (void)encoded;
  return "this build draws no pictures";
#endif
}

std::optional<std::string> EncodeDistributionPicture(const plots::DistributionPlotData& data, const std::string& path,
                                                     std::string& encoded) {
#if KALVEX_HAVE_PICTURES
  plots::DistributionPlot plot(data);
  plot.Plot(2);
  return plots::EncodeFigurePicture(plot.Picture(), path, encoded);
#else
  (void)data, (void)path, (void)encoded;
  return "this build draws no pictures";
#endif
}

}  // namespace kalvex::batch
