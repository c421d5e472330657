#pragma once
// MODEL at NF = -1 for the Oskane model: the results summary as a
// computation. Settings in (SummarySettings), the report, the forecast and
// the plot series out (SummaryResult); the window's dialogue
// (workflow/SummaryWindow.h) and kalvex-batch fill the same settings.
#include <optional>
#include <string>

#include "model/SummaryData.h"
#include "workspace/Results.h"

namespace kalvex {
class OskaneModel;
struct Workspace;

namespace model {

// The inputs of the summary, taken from the model and the workspace.
SummaryInputs SummaryInputsOf(const OskaneModel& model, const Workspace& ws);
// The same for the workspace's model; nullopt when it has no summary (it is
// not the Oskane model).
std::optional<SummaryInputs> SummaryInputsOf(const Workspace& ws);

// The results summary as a computation on a model's best fit and steps (no
// window, no question): the fit statistics, the regression variance and,
// when asked, the forecast of the next period with its probability grid. A
// hindcast forecasts a shortened fit's next period with it exactly as the
// summary does. Throws NumericFault.
struct SummaryNumbers {
  FitStatistics stats;
  RegressionVariance variance;
  std::optional<ForecastData> forecast;
  std::optional<ProbabilityGrid> grid;
};
SummaryNumbers ComputeSummary(const SummaryInputs& in, bool withForecast);
// The forecast and its grid added to numbers computed without them.
void AddForecast(const SummaryInputs& in, SummaryNumbers& numbers);

struct SummarySettings {
  bool forecast = false;  // the forecast of period f with its probability grid
  bool plotData = false;  // the six series the summary offers to plot
  // A message when the summary cannot be made of these inputs (steps that
  // do not cover the model's parameters would be read past their end).
  std::optional<std::string> Validate(const SummaryInputs& in) const;
};

struct SummaryResult {
  SummaryNumbers numbers;
  std::string report;    // the report without the forecast
  std::string forecast;  // the forecast's text and the closing line; empty when
                         // not asked
  std::optional<plots::XYPlotData> plotData;
  // The whole text, as the window shows and saves it.
  std::string Text() const { return report + forecast; }
};

// The summary the settings ask for. Each step is checked on its own: a
// fault (its name stays the message's first line) says which step it arose
// in. Throws NumericFault.
SummaryResult ComputeResultsSummary(const SummaryInputs& in, const SummarySettings& settings);
// The forecast added to a result computed without it; the report is kept
// as it was when it faults. Throws NumericFault.
void AddForecast(const SummaryInputs& in, SummaryResult& result);

}  // namespace model
}  // namespace kalvex
