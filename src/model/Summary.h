#pragma once
// MODEL at NF = -1 for the Oskane model: the results summary in the results
// window (frmSummary, pane rtbOut), the optional plots and forecast, and the
// window's save command.
#include <optional>
#include <string>

#include "model/SummaryData.h"
#include "workspace/Results.h"

namespace kalvex {
class OskaneModel;
struct Workspace;
namespace ui {
class Frontend;
}

namespace model {

inline constexpr const char* kSummaryForm = "frmSummary";
inline constexpr const char* kSummaryPane = "rtbOut";

enum class SummaryOutcome {
  Completed,        // with the forecast, ended by "Output Summary"
  WithoutForecast,  // the forecast was declined
  Fault,            // a fault ended the forecast; its message was shown
};

// The interactive summary: report, "View plots?", forecast question, forecast.
// The pane never shows a half-built text: a floating-point fault in the
// report leaves the window unshown and is thrown on (NumericFault) for the
// caller to report; one in the forecast is reported here and the report
// stays.
SummaryOutcome RunResultsSummary(const OskaneModel& model, Workspace& ws, ui::Frontend& ui);

// The summary without questions, for batch use: the report, with the
// forecast and "Done!" when asked. Throws NumericFault.
std::string ResultsSummaryText(const OskaneModel& model, const Workspace& ws, bool withForecast);

// The six series the summary offers to plot. Throws NumericFault.
plots::XYPlotData ResultsSummaryPlotData(const OskaneModel& model, const Workspace& ws);

// cmdSaveSummary: the "Save summary in..." dialog, the header line in front
// of the pane text, then an atomic write. Returns the path written, or
// nullopt when cancelled or failed (a failure is reported and the pane and
// any old file stay as they were).
std::optional<std::string> SaveSummary(ui::Frontend& ui);

// The inputs of the summary, taken from the model and the workspace.
SummaryInputs SummaryInputsOf(const OskaneModel& model, const Workspace& ws);

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

}  // namespace model
}  // namespace kalvex
