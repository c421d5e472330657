#include "model/Summary.h"

#include "model/OskaneModel.h"
#include "model/SummaryPlots.h"
#include "model/SummaryReport.h"
#include "ui/Frontend.h"
#include "ui/PaneFile.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex::model {
namespace {

constexpr int kBusyBar = 5;
constexpr const char* kBusyText = "One moment please...";
constexpr int kYesNoQuestion = ui::style::kYesNo + ui::style::kQuestion;

struct ReportParts {
  FitStatistics stats;
  RegressionVariance variance;
  std::string text;
};

// One step of the summary, checked on its own: a fault (its name stays the
// message's first line) says which step it arose in.
template <typename Step>
auto Computing(const char* what, Step step) {
  try {
    FloatingPointGuard guard;
    auto result = step();
    guard.Check();
    return result;
  } catch (const NumericFault& fault) {
    throw NumericFault(std::string(fault.what()) + "\r\nThe fault arose while computing " + what + ".");
  }
}

ReportParts BuildReport(const SummaryInputs& in) {
  ReportParts parts;
  parts.stats = Computing("the fit statistics of the results summary", [&] { return ComputeFitStatistics(in); });
  parts.variance = Computing("the regression variance and predicted index of the results summary",
                             [&] { return ComputeRegressionVariance(in, parts.stats.Theta2); });
  // The text below only formats what was checked.
  parts.text = SummaryReportText(in, parts.stats, parts.variance);
  return parts;
}

std::string BuildForecast(const SummaryInputs& in, const ReportParts& parts) {
  ForecastData forecast = Computing("the forecast for time period f", [&] {
    return ComputeForecast(in, parts.variance, parts.stats.Theta2);
  });
  ProbabilityGrid grid = Computing("the forecast's probability grid",
                                   [&] { return ComputeProbabilityGrid(forecast, in.data.Pi); });
  return ForecastReportText(in, forecast, grid) + ReportEndText();
}

void ShowBusy(ui::Frontend& ui, bool busy) {
  ui.SetStatus(kBusyBar, 1, busy ? kBusyText : "");
  if (busy) ui.PumpEvents(true);
}

void ReportFault(ui::Frontend& ui, const NumericFault& fault) {
  ShowBusy(ui, false);
  // The same run-time report as the main menu gives a fault it did not expect.
  ui.Message("Kalvex", fault.what(), ui::style::kCritical);
}

}  // namespace

SummaryInputs SummaryInputsOf(const OskaneModel& model, const Workspace& ws) {
  return SummaryInputs{model.Data(),        model.Best(),       model.LastEvaluation(), model.Layout(),
                       model.Descriptions(), ws.Alg.Steps,      ws.AlgorithmFileName,   ws.PriorsFileName};
}

SummaryOutcome RunResultsSummary(const OskaneModel& model, const Workspace& ws, ui::Frontend& ui) {
  ui.ShowWindow(kSummaryForm);
  ShowBusy(ui, true);
  const SummaryInputs in = SummaryInputsOf(model, ws);
  ReportParts parts;
  try {
    parts = BuildReport(in);
  } catch (const NumericFault&) {
    // Nothing of the report is shown; the caller reports the fault and
    // brings its menu back, as for a fault in any other analysis.
    ui.CloseWindow(kSummaryForm);
    ShowBusy(ui, false);
    throw;
  }
  ui.SetPaneText(kSummaryForm, kSummaryPane, parts.text);
  ShowBusy(ui, false);

  if (ui.Message("View plots?", "Do you want to see data plots?", kYesNoQuestion) == ui::Answer::Yes)
    ui.ShowXYPlot(SummaryPlotData(in.data, in.best, parts.variance.predictedIndex, parts.variance.residualIndex));

  if (ui.Message("Opportunity to generate a forecast for time period f",
                 "Do you want to forecast a harvest rate index for time period f by using the "
                 "values of effort and catches for time period f in your algorithm data file?",
                 kYesNoQuestion) != ui::Answer::Yes)
    return SummaryOutcome::WithoutForecast;

  ShowBusy(ui, true);
  std::string forecast;
  try {
    forecast = BuildForecast(in, parts);
  } catch (const NumericFault& fault) {
    ReportFault(ui, fault);  // the pane keeps the whole report without the forecast
    return SummaryOutcome::Fault;
  }
  ui.SetPaneText(kSummaryForm, kSummaryPane, parts.text + forecast);
  ShowBusy(ui, false);
  ui.Message("Output Summary", "Summary completed as requested", ui::style::kOk);
  return SummaryOutcome::Completed;
}

std::string ResultsSummaryText(const OskaneModel& model, const Workspace& ws, bool withForecast) {
  const SummaryInputs in = SummaryInputsOf(model, ws);
  ReportParts parts = BuildReport(in);
  return withForecast ? parts.text + BuildForecast(in, parts) : parts.text;
}

plots::XYPlotData ResultsSummaryPlotData(const OskaneModel& model, const Workspace& ws) {
  const SummaryInputs in = SummaryInputsOf(model, ws);
  ReportParts parts = BuildReport(in);
  return SummaryPlotData(in.data, in.best, parts.variance.predictedIndex, parts.variance.residualIndex);
}

std::optional<std::string> SaveSummary(ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save summary in...";
  dialog.filter = "All Files (*.*)|*.*|Output files (*.kvo)|*.kvo";
  dialog.filterIndex = 2;
  dialog.fileName = "Oskane_results.kvo";  // no leading blank: it would become part of the name
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui, kSummaryForm, kSummaryPane, dialog, "The summary");
}

}  // namespace kalvex::model
