#include "checks/Diagnostics.h"

#include "model/OskaneModel.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

constexpr const char* kTitle = "Residual diagnostics";
constexpr int kBusyBar = 5;

}  // namespace

DiagnosticsOutcome DiagnoseCurrentFit(Workspace& ws) {
  const auto* model = dynamic_cast<const OskaneModel*>(ws.model.get());
  if (!model) return {std::nullopt, "This model keeps no innovations to diagnose."};
  if (model->NumPeriods() - 1 < kMinimumResiduals)
    return {std::nullopt, "The diagnostics need at least " + std::to_string(kMinimumResiduals) +
                              " residuals: a data file of at least " + std::to_string(kMinimumResiduals + 1) +
                              " periods."};
  std::vector<double> values = ws.Alg.Values;
  EvaluateObjectiveWithCode(ws, values, 1);
  Diagnostics d;
  d.series = StandardizedResiduals(model->Data(), model->LastEvaluation());
  d.stats = DiagnoseResiduals(d.series.standardized);
  d.report = DiagnosticsReportText(ReportSources{model->DataFileName(), ws.AlgorithmFileName, ws.PriorsFileName},
                                   d.series, d.stats);
  return {std::move(d), {}};
}

std::optional<Diagnostics> RunDiagnostics(Workspace& ws, ui::Frontend& ui) {
  ui.SetStatus(kBusyBar, 1, "One moment please...");
  ui.PumpEvents(true);
  DiagnosticsOutcome outcome;
  try {
    outcome = DiagnoseCurrentFit(ws);
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
                                           const PictureEncoder& encode) {
  const PaneWithPicture save{
      kDiagnosticsForm, kDiagnosticsPane,
      ui::FileDialog{"Save diagnostics in...", "All Files (*.*)|*.*|Residual diagnostics (*.rsd)|*.rsd", 2,
                     "diagnostics.rsd", true},
      kTitle, "The diagnostics"};
  return SavePaneWithPicture(ui, save, picture, encode);
}

}  // namespace kalvex::checks
