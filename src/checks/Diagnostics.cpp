#include "checks/Diagnostics.h"

#include <filesystem>

#include "model/OskaneModel.h"
#include "ui/PaneFile.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"
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

std::string DiagnosticsPicturePath(const std::string& reportPath) {
  std::filesystem::path picture(reportPath);
  picture.replace_extension(".png");
  return picture.string() == reportPath ? reportPath + ".png" : picture.string();
}

std::optional<std::string> SaveDiagnostics(ui::Frontend& ui, const plots::Figure& picture,
                                           const PictureEncoder& encode) {
  const ui::FileDialog dialog{"Save diagnostics in...", "All Files (*.*)|*.*|Residual diagnostics (*.rsd)|*.rsd", 2,
                              "diagnostics.rsd", true};
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return std::nullopt;
  const std::string picturePath = DiagnosticsPicturePath(*path);
  std::error_code error;
  if (std::filesystem::exists(picturePath, error) &&
      ui.Message(kTitle, "The picture " + picturePath + " exists already. Do you want to replace it?",
                 ui::style::kYesNo + ui::style::kQuestion + ui::style::kSecondDefault) != ui::Answer::Yes)
    return std::nullopt;
  std::string bytes;
  if (std::optional<std::string> reason = encode(picture, picturePath, bytes)) {
    ui.Message("Save failed", "The picture could not be saved to " + picturePath + ": " + *reason,
               ui::style::kCritical);
    return std::nullopt;
  }
  const std::string text = ui::SavedPaneText(*path, ui.PaneText(kDiagnosticsForm, kDiagnosticsPane));
  const std::vector<FileContent> files = {{*path, text}, {picturePath, bytes}};
  if (std::optional<SaveFailure> failure = SaveTextFiles(files)) {
    ui.Message("Save failed",
               std::string(failure->index == 0 ? "The diagnostics" : "The picture") + " could not be saved to " +
                   files[failure->index].path + ": " + failure->reason,
               ui::style::kCritical);
    return std::nullopt;
  }
  ui.SetPaneText(kDiagnosticsForm, kDiagnosticsPane, text);
  return path;
}

}  // namespace kalvex::checks
