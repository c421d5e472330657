#pragma once
// The residual diagnostics as the text of their report pane and file: the
// files the fit belongs to, the table of statistics, the autocorrelations
// and the residuals, with CR LF line ends.
#include <string>

#include "checks/ReportText.h"
#include "checks/ResidualStatistics.h"
#include "checks/Residuals.h"

namespace kalvex::checks {

std::string DiagnosticsReportText(const ReportSources& sources, const ResidualSeries& series,
                                  const ResidualStatistics& stats);

}  // namespace kalvex::checks
