#pragma once
// The text of the Oskane results summary, CR LF line ends throughout.
#include <string>

#include "model/SummaryData.h"

namespace kalvex::model {

// Everything up to the second data table: file names, fit statistics,
// parameter estimates, the true-value lines and both data tables.
std::string SummaryReportText(const SummaryInputs& in, const FitStatistics& stats, const RegressionVariance& rv);

// The forecast lines and the probability table, appended after the report.
std::string ForecastReportText(const SummaryInputs& in, const ForecastData& forecast, const ProbabilityGrid& grid);

// "Done!" after an empty line.
std::string ReportEndText();

}  // namespace kalvex::model
