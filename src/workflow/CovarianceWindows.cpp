#include "workflow/CovarianceWindows.h"

#include "covariance/CovarianceReport.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex::workflow {
namespace {

namespace names = ui::names;
constexpr std::string_view kLogForm = kCovarianceLogForm;
constexpr std::string_view kDataForm = kCovarianceDataForm;

}  // namespace

CovarianceRunEnd CovarianceWindows::Calculate(CovarianceCalculatorOptions options) {
  options.log = this;
  CovarianceRunEnd end;
  {
    // The log window may not close while the run lasts, however it ends.
    struct ClearOnExit {
      bool& flag;
      ~ClearOnExit() { flag = false; }
    } clear{running_};
    running_ = true;
    end = RunCovarianceCalculator(ws_, ui_, options);
  }
  if (end == CovarianceRunEnd::Completed) ShowData(CovarianceDataMode::Completed);
  return end;
}

void CovarianceWindows::Started() {
  ui_.ShowWindow(kLogForm);
  SetLogButton(kInterruptCaption, true);
  ui_.SetEnabled(kLogForm, names::kCovarianceInterruptButton, true);
  ui_.SetPaneText(kLogForm, names::kCovariancePane, "");
}

void CovarianceWindows::Changed(const std::string& log) { ui_.SetPaneText(kLogForm, names::kCovariancePane, log); }

void CovarianceWindows::InterruptTaken() { ui_.SetEnabled(kLogForm, names::kCovarianceInterruptButton, true); }

void CovarianceWindows::SetLogButton(std::string_view caption, bool interrupts) {
  logButtonInterrupts_ = interrupts;
  ui_.SetCaption(kLogForm, names::kCovarianceInterruptButton, caption);
}

void CovarianceWindows::ShowData(CovarianceDataMode mode) {
  ui_.ShowWindow(kDataForm);
  ui_.SetCaption(kDataForm, names::kCovDataLabel,
                 mode == CovarianceDataMode::Completed ? "Calculation completed. Do you wish to:" : "Do you wish to:");
  ui_.SetEnabled(kDataForm, names::kCovDisplayButton, true);
  ui_.SetEnabled(kDataForm, names::kCovSaveButton, false);
}

void CovarianceWindows::DisplayReport() {
  ui_.SetEnabled(kDataForm, names::kCovDisplayButton, false);
  ui_.ShowWindow(kLogForm);
  SetLogButton(
      "To save these results [restore or minimize this form then] "
      "choose 'Save covariance results as...'",
      false);
  ui_.SetEnabled(kLogForm, names::kCovarianceInterruptButton, true);
  ui_.SetStatus(5, 1, "Please be patient while covariance output is collated...");
  ui_.PumpEvents(true);
  RunContext run(ws_, ui_, {"", kCovarianceLogCaption, "", InterruptFlag::None});
  run.Run(
      [&] {
        ui_.SetPaneText(kLogForm, names::kCovariancePane, CovarianceReportText(ws_.Covariance.Results));
        ui_.SetEnabled(kDataForm, names::kCovSaveButton, true);
      },
      {.describe = [](const NumericFault& fault) { return "Numeric fault: " + std::string(fault.what()); },
       .restore = {}});
  ui_.SetStatus(5, 1, "");
  ui_.SetEnabled(kDataForm, names::kCovDisplayButton, true);
  ui_.ShowWindow(kDataForm);
}

std::optional<std::string> CovarianceWindows::Save() {
  ui::FileDialog dialog;
  dialog.title = "Save covariance data in...";
  const std::string& name = ws_.AlgorithmShortName;
  dialog.filter =
      "All files (*.*)|*.*|Covariance files (*.cov)|*.cov|Named "
      "for algorithm file (" +
      name + ".*)|" + name + ".*|";
  dialog.filterIndex = 3;
  dialog.fileName = ui::NamedForAlgorithmFile(ws_.AlgorithmFileName, ".cov");
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui_, kLogForm, names::kCovariancePane, dialog, "The covariance results");
}

void CovarianceWindows::DataClosing() {
  ui_.CloseWindow(kLogForm);
  logButtonInterrupts_ = true;
  ui_.SetStatus(5, 1, "");
}

void CovarianceWindows::Finish() {
  DataClosing();
  ui_.CloseWindow(kDataForm);
}

void CovarianceWindows::LogButton() {
  if (logButtonInterrupts_) {
    ws_.Covariance.Interrupt = true;
    ui_.SetEnabled(kLogForm, names::kCovarianceInterruptButton, false);
  } else {
    ui_.ShowWindow(kDataForm);
  }
}

bool CovarianceWindows::LogClosing() {
  if (running_) return false;
  if (ui_.IsWindowOpen(kDataForm)) ui_.SetEnabled(kDataForm, names::kCovSaveButton, false);
  SetLogButton(kInterruptCaption, true);
  return true;
}

}  // namespace kalvex::workflow
