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

// Writes the picture (PNG, or SVG by the extension); the reason on failure.
std::optional<std::string> SaveSummaryPicture(const plots::XYPlotData& data, const std::string& path);

// An evaluation's distribution plot (its second series, the distribution
// with its summary) as a picture.
std::optional<std::string> SaveDistributionPicture(const plots::DistributionPlotData& data, const std::string& path);

}  // namespace kalvex::batch
