#pragma once
// The pictures of --plot. Pictures are painted with Qt, so a build without
// the Qt workbench draws none.
#include <optional>
#include <string>

#include "plots/DistributionPlot.h"
#include "plots/Figure.h"
#include "workspace/Results.h"

namespace kalvex::batch {

// Whether this build draws pictures.
bool PlotPicturesBuilt();

// A figure's file content into encoded: PNG, or SVG or PDF by the path's
// extension; the reason when it cannot be made.
std::optional<std::string> EncodePicture(const plots::Figure& figure, const std::string& path, std::string& encoded);

// The results summary's plots as one picture.
std::optional<std::string> EncodeSummaryPicture(const plots::XYPlotData& data, const std::string& path,
                                                std::string& encoded);

// An evaluation's distribution plot: its second series, the distribution,
// with the mode, the expected value and the 95 % interval marked.
std::optional<std::string> EncodeDistributionPicture(const plots::DistributionPlotData& data, const std::string& path,
                                                     std::string& encoded);

}  // namespace kalvex::batch
