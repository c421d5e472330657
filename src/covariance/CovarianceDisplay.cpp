#include "covariance/CovarianceDisplay.h"

#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "ui/Frontend.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

namespace names = ui::names;
using names::kCovarianceForm;
using names::kCovariancePane;
using names::kCovDataForm;

}  // namespace

void ShowCovarianceData(Workspace&, ui::Frontend& ui, CovarianceDataMode mode) {
  ui.ShowWindow(kCovDataForm);
  ui.SetCaption(kCovDataForm, names::kCovDataLabel,
                mode == CovarianceDataMode::Completed ? "Calculation completed. Do you wish to:" : "Do you wish to:");
  ui.SetEnabled(kCovDataForm, names::kCovDisplayButton, true);
  ui.SetEnabled(kCovDataForm, names::kCovSaveButton, false);
}

void CollateCovarianceReport(Workspace& ws, ui::Frontend& ui) {
  ui.SetEnabled(kCovDataForm, names::kCovDisplayButton, false);
  ui.ShowWindow(kCovarianceForm);
  ws.Covariance.LogButtonInterrupts = false;
  ui.SetCaption(kCovarianceForm, names::kCovarianceInterruptButton,
                "To save these results [restore or minimize this form then] choose 'Save covariance results as...'");
  ui.SetEnabled(kCovarianceForm, names::kCovarianceInterruptButton, true);
  ui.SetStatus(5, 1, "Please be patient while covariance output is collated...");
  ui.PumpEvents(true);
  RunContext run(ws, ui, {"", kCovarianceLogCaption, "", InterruptFlag::None});
  run.Run(
      [&] {
        ui.SetPaneText(kCovarianceForm, kCovariancePane, CovarianceReportText(ws.Covariance.Results));
        ui.SetEnabled(kCovDataForm, names::kCovSaveButton, true);
      },
      {.describe = [](const NumericFault& fault) { return "Numeric fault: " + std::string(fault.what()); },
       .restore = {}});
  ui.SetStatus(5, 1, "");
  ui.SetEnabled(kCovDataForm, names::kCovDisplayButton, true);
  ui.ShowWindow(kCovDataForm);
}

std::optional<std::string> SaveCovarianceFile(Workspace& ws, ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save covariance data in...";
  const std::string& name = ws.AlgorithmShortName;
  dialog.filter = "All files (*.*)|*.*|Covariance files (*.cov)|*.cov|Named for algorithm file (" + name + ".*)|" +
                  name + ".*|";
  dialog.filterIndex = 3;
  dialog.fileName = ui::NamedForAlgorithmFile(ws.AlgorithmFileName, ".cov");
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui, kCovarianceForm, kCovariancePane, dialog, "The covariance results");
}

void OnCovarianceDataClosing(Workspace& ws, ui::Frontend& ui) {
  ui.CloseWindow(kCovarianceForm);
  ws.Covariance.LogButtonInterrupts = true;
  ui.SetStatus(5, 1, "");
}

void FinishCovarianceDisplay(Workspace& ws, ui::Frontend& ui) {
  OnCovarianceDataClosing(ws, ui);
  ui.CloseWindow(kCovDataForm);
}

void OnCovarianceLogButton(Workspace& ws, ui::Frontend& ui) {
  if (ws.Covariance.LogButtonInterrupts) {
    ws.Covariance.Interrupt = true;
    ui.SetEnabled(kCovarianceForm, names::kCovarianceInterruptButton, false);
  } else {
    ui.ShowWindow(kCovDataForm);
  }
}

bool OnCovarianceLogClosing(Workspace& ws, ui::Frontend& ui) {
  if (ws.Covariance.Running) return false;
  if (ui.IsWindowOpen(kCovDataForm)) ui.SetEnabled(kCovDataForm, names::kCovSaveButton, false);
  ws.Covariance.LogButtonInterrupts = true;
  ui.SetCaption(kCovarianceForm, names::kCovarianceInterruptButton, kInterruptCaption);
  return true;
}

}  // namespace kalvex
