#include "workflow/DiagnosticsWindow.h"

#include "workspace/NumericFault.h"

namespace kalvex::workflow {
namespace {

constexpr const char* kTitle = "Residual diagnostics";
constexpr int kBusyBar = 5;

}  // namespace

std::optional<checks::Diagnostics> RunDiagnostics(Workspace& ws, ui::Frontend& ui) {
  ui.SetStatus(kBusyBar, 1, "One moment please...");
  ui.PumpEvents(true);
  checks::DiagnosticsOutcome outcome;
  try {
    outcome = checks::DiagnoseCurrentFit(ws);
  } catch (const NumericFault& fault) {
    ui.SetStatus(kBusyBar, 1, "");
    ui.Message("Kalvex", fault.what(), ui::style::kCritical);
    return std::nullopt;
  }
  ui.SetStatus(kBusyBar, 1, "");
  if (!outcome.diagnostics) {
    ui.Message(kTitle, outcome.refusal, ui::style::kExclamation);
    return std::nullopt;
  }
  ui.ShowWindow(kDiagnosticsForm);
  ui.SetPaneText(kDiagnosticsForm, kDiagnosticsPane, outcome.diagnostics->report);
  return outcome.diagnostics;
}

std::optional<std::string> SaveDiagnostics(ui::Frontend& ui, const plots::Figure& picture,
                                           const checks::PictureEncoder& encode) {
  const checks::ReportSave save{
      kTitle,
      {"Save diagnostics in...", "All Files (*.*)|*.*|Residual diagnostics (*.rsd)|*.rsd", 2, "diagnostics.rsd", true},
      kDiagnosticsForm,
      kDiagnosticsPane,
      "The diagnostics"};
  return checks::SaveReportAndPicture(ui, save, picture, encode);
}

}  // namespace kalvex::workflow
