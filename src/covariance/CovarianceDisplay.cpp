#include "covariance/CovarianceDisplay.h"

#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "ui/Frontend.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

namespace names = ui::names;
using names::kCovarianceForm;
using names::kCovariancePane;
using names::kCovDataForm;

// A pane's lines (LF or CR LF) as a CR LF text.
std::string WithCrLf(std::string_view text) {
  TextBuilder builder;
  for (const std::string& line : SplitLines(text)) builder.Line(line);
  return builder.Text();
}

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
  try {
    ui.SetPaneText(kCovarianceForm, kCovariancePane, CovarianceReportText(ws.Covariance.Results));
    ui.SetEnabled(kCovDataForm, names::kCovSaveButton, true);
  } catch (const NumericFault& fault) {
    ui.Message(kCovarianceLogCaption, "Numeric fault: " + std::string(fault.what()), ui::style::kCritical);
  }
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
  dialog.fileName = ".cov";
  dialog.overwritePrompt = true;
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return std::nullopt;
  const std::string text =
      WithCrLf("Originally saved with the file name: " + *path + "\r\n\r\n" + ui.PaneText(kCovarianceForm, kCovariancePane));
  if (std::optional<std::string> error = SaveTextFile(*path, text)) {
    ui.Message("Save failed", "The covariance results could not be saved to " + *path + ": " + *error,
               ui::style::kCritical);
    return std::nullopt;
  }
  ui.SetPaneText(kCovarianceForm, kCovariancePane, text);
  return path;
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
