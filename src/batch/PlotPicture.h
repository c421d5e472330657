#pragma once
// The results summary's plot picture for --plot. Pictures are painted with
// Qt, so a build without the Qt workbench draws none.
#include <optional>
#include <string>

#include "plots/XYPlotData.h"

namespace kalvex::batch {

// Whether this build draws pictures.
bool PlotPicturesBuilt();

// The picture's file content (PNG, or SVG by the path's extension) into
// encoded; the reason when it cannot be made.
std::optional<std::string> EncodeSummaryPicture(const plots::XYPlotData& data, const std::string& path,
                                                std::string& encoded);

}  // namespace kalvex::batch
