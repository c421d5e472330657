#include "evaluation/EvaluationRun.h"

#include "evaluation/DistributionStatistics.h"
#include "evaluation/EvaluationReport.h"
#include "plots/DistributionPlot.h"
#include "ui/Frontend.h"
#include "ui/Names.h"
#include "workspace/Format.h"
#include "workspace/Workspace.h"

namespace kalvex {

void EditForEvaluation(Workspace& ws, ui::Frontend& ui, const std::function<void()>& openEditor) {
  ws.EditorFromEvaluation = kOn;
  ws.EditorClosed = 0;
  if (openEditor)
    openEditor();
  else
    ui.ShowWindow(ui::names::kEditorForm);
  while (ws.EditorClosed != -1 && ui.IsWindowOpen(ui::names::kEditorForm)) ui.WaitForEvents();
}

bool PreviousResultsKept(const Workspace& ws, std::string_view kind) {
  const EvaluationTable& table = ws.Evaluation.Table;
  return ws.Evaluation.LastEvaluationKind == kind && !ws.EvaluationResultsOutOfDate && table.PointCount != 0 &&
         table.GridValue[table.PointCount] != table.GridValue[1];
}

void ReportEvaluation(Workspace& ws, ui::Frontend& ui, std::string_view form, std::string_view pane,
                      std::string_view reportTitle, std::string_view series2Title) {
  EvaluationState& kept = ws.Evaluation;
  if (kept.Summary.ModeIndex < 1 || kept.Summary.ModeIndex > kept.Table.PointCount) return;
  DistributionStatistics(kept.Table, kept.Summary, kept.Summary.ModeIndex, kept.Spacing);
  if (ui.distributionViewer)
    ui.distributionViewer({kept.Table, kept.Summary, ws.EvaluatedParameter, std::string(series2Title)});
  ui.ShowWindow(form);
  ui.SetPaneText(form, pane, EvaluationReportText(reportTitle, kept.Table, kept.Summary));
}

void ShowRemaining(RunContext& run, std::string_view label, int64_t done, int64_t count) {
  run.Progress(ProgressBar::Remaining, 1, std::string(label) + StrNumber(static_cast<double>(count - done)));
  run.Progress(ProgressBar::Remaining, 2, "Estimated time remaining (m:s): " + run.TimeRemaining(done, count));
}

void RemindOfEdits(ui::Frontend& ui) {
  ui.Message("A friendly reminder", "Your algorithm file may have been automatically edited",
             ui::style::kExclamation);
}

void ShowMainControl(ui::Frontend& ui, std::string_view control, bool visible) {
  ui.SetVisible(ui::names::kMainForm, control, visible);
}

}  // namespace kalvex
