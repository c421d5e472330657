#pragma once
// The results summary's plot picture for --plot. Pictures are painted with
// Qt, so a build without the Qt workbench draws none.
#include <optional>
#include <string>

#include "plots/DistributionPlot.h"
#include "plots/XYPlotData.h"

namespace kalvex::batch {

// Whether this build draws pictures.
bool PlotPicturesBuilt();

// The picture's file content (PNG, or SVG by the path's extension) into
// encoded; the reason when it cannot be made.
std::optional<std::string> EncodeSummaryPicture(const plots::XYPlotData& data, const std::string& path,
                                                std::string& encoded);

// An evaluation's distribution plot (its second series, the distribution
// with its summary) as a picture's file content, into encoded.
std::optional<std::string> EncodeDistributionPicture(const plots::DistributionPlotData& data, const std::string& path,
                                                     std::string& encoded);

}  // namespace kalvex::batch
