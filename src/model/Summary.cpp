#include "model/Summary.h"

#include "model/OskaneModel.h"
#include "model/SummaryPlots.h"
#include "model/SummaryReport.h"
#include "ui/Frontend.h"
#include "ui/PaneFile.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex::model {
namespace {

constexpr const char* kBusyText = "One moment please...";
constexpr int kYesNoQuestion = ui::style::kYesNo + ui::style::kQuestion;

struct ReportParts {
  SummaryNumbers numbers;
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
  parts.numbers = ComputeSummary(in, false);  // the text below only formats what was checked
  parts.text = SummaryReportText(in, parts.numbers.stats, parts.numbers.variance);
  return parts;
}

std::string BuildForecast(const SummaryInputs& in, ReportParts& parts) {
  AddForecast(in, parts.numbers);
  return ForecastReportText(in, *parts.numbers.forecast, *parts.numbers.grid) + ReportEndText();
}

}  // namespace

SummaryNumbers ComputeSummary(const SummaryInputs& in, bool withForecast) {
  SummaryNumbers numbers;
  numbers.stats = Computing("the fit statistics of the results summary", [&] { return ComputeFitStatistics(in); });
  numbers.variance = Computing("the regression variance and predicted index of the results summary",
                               [&] { return ComputeRegressionVariance(in, numbers.stats.Theta2); });
  if (withForecast) AddForecast(in, numbers);
  return numbers;
}

void AddForecast(const SummaryInputs& in, SummaryNumbers& numbers) {
  numbers.forecast = Computing("the forecast for time period f",
                               [&] { return ComputeForecast(in, numbers.variance, numbers.stats.Theta2); });
  numbers.grid = Computing("the forecast's probability grid",
                           [&] { return ComputeProbabilityGrid(*numbers.forecast, in.data.Pi); });
}

SummaryInputs SummaryInputsOf(const OskaneModel& model, const Workspace& ws) {
  return SummaryInputs{model.Data(),        model.Best(),       model.LastEvaluation(), model.Layout(),
                       model.Descriptions(), ws.Alg.Steps,      ws.AlgorithmFileName,   ws.PriorsFileName};
}

SummaryOutcome RunResultsSummary(const OskaneModel& model, Workspace& ws, ui::Frontend& ui) {
  // The same run-time report as the main menu gives a fault it did not expect.
  RunContext run(ws, ui, {"", "Kalvex", "", InterruptFlag::None});
  auto busy = [&run](bool on) {
    run.Activity(1, on ? kBusyText : "");
    if (on) run.Pump(true);
  };
  busy(true);
  const SummaryInputs in = SummaryInputsOf(model, ws);
  // A fault in the report leaves the window unshown and the busy text gone;
  // the caller reports it and brings its menu back, as for a fault in any
  // other analysis.
  ReportParts parts = BuildReport(in);
  ui.ShowWindow(kSummaryForm);
  ui.SetPaneText(kSummaryForm, kSummaryPane, parts.text);
  busy(false);

  if (ui.Message("View plots?", "Do you want to see data plots?", kYesNoQuestion) == ui::Answer::Yes)
    ui.ShowXYPlot(SummaryPlotData(in.data, in.best, parts.numbers.variance.predictedIndex,
                                  parts.numbers.variance.residualIndex));

  if (ui.Message("Opportunity to generate a forecast for time period f",
                 "Do you want to forecast a harvest rate index for time period f by using the "
                 "values of effort and catches for time period f in your algorithm data file?",
                 kYesNoQuestion) != ui::Answer::Yes)
    return SummaryOutcome::WithoutForecast;

  busy(true);
  std::string forecast;
  // The pane keeps the whole report without the forecast.
  if (run.Run([&] { forecast = BuildForecast(in, parts); }).faulted) return SummaryOutcome::Fault;
  ui.SetPaneText(kSummaryForm, kSummaryPane, parts.text + forecast);
  busy(false);
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
  const SummaryNumbers numbers = ComputeSummary(in, false);
  return SummaryPlotData(in.data, in.best, numbers.variance.predictedIndex, numbers.variance.residualIndex);
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
