#include "workflow/SummaryWindow.h"

#include "model/Summary.h"
#include "model/SummaryPlots.h"
#include "ui/PaneFile.h"
#include "ui/RunContext.h"
#include "workspace/Workspace.h"

namespace kalvex::workflow {
namespace {

constexpr const char* kBusyText = "One moment please...";
constexpr int kYesNoQuestion = ui::style::kYesNo + ui::style::kQuestion;

}  // namespace

SummaryOutcome RunResultsSummary(Workspace& ws, ui::Frontend& ui) {
  const std::optional<model::SummaryInputs> in = model::SummaryInputsOf(ws);
  if (!in) return SummaryOutcome::NotOffered;
  if (std::optional<std::string> invalid = model::SummarySettings{}.Validate(*in)) {
    ui.Message("Kalvex", *invalid, ui::style::kExclamation);
    return SummaryOutcome::NotOffered;
  }
  // The same run-time report as the main menu gives a fault it did not expect.
  RunContext run(ws, ui, {"", "Kalvex", "", InterruptFlag::None});
  auto busy = [&run](bool on) {
    run.Activity(1, on ? kBusyText : "");
    if (on) run.Pump(true);
  };
  busy(true);
  // A fault in the report leaves the window unshown and the busy text gone;
  // the caller reports it and brings its menu back, as for a fault in any
  // other analysis.
  model::SummaryResult result = model::ComputeResultsSummary(*in, {});
  ui.ShowWindow(kSummaryForm);
  ui.SetPaneText(kSummaryForm, kSummaryPane, result.Text());
  busy(false);

  if (ui.Message("View plots?", "Do you want to see data plots?", kYesNoQuestion) == ui::Answer::Yes)
    ui.ShowXYPlot(model::SummaryPlotData(in->data, in->best, result.numbers.variance.predictedIndex,
                                         result.numbers.variance.residualIndex));

  if (ui.Message("Opportunity to generate a forecast for time period f",
                 "Do you want to forecast a harvest rate index for time period "
                 "f by using the "
                 "values of effort and catches for time period f in your "
                 "algorithm data file?",
                 kYesNoQuestion) != ui::Answer::Yes)
    return SummaryOutcome::WithoutForecast;

  busy(true);
  // The pane keeps the whole report without the forecast.
  if (run.Run([&] { model::AddForecast(*in, result); }).faulted) return SummaryOutcome::Fault;
  ui.SetPaneText(kSummaryForm, kSummaryPane, result.Text());
  busy(false);
  ui.Message("Output Summary", "Summary completed as requested", ui::style::kOk);
  return SummaryOutcome::Completed;
}

std::optional<std::string> SaveSummary(ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save summary in...";
  dialog.filter = "All Files (*.*)|*.*|Output files (*.kvo)|*.kvo";
  dialog.filterIndex = 2;
  dialog.fileName = "Oskane_results.kvo";  // no leading blank: it would become
                                           // part of the name
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui, kSummaryForm, kSummaryPane, dialog, "The summary");
}

}  // namespace kalvex::workflow
