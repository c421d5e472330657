#include "algorithm/AlgorithmCommands.h"

#include "workspace/TextFile.h"

namespace kalvex {
namespace {

constexpr std::string_view kMenu = "frmMenu";
constexpr std::string_view kRank = "frmRank";

ui::FileDialog OpenAlgorithmDialog(const Workspace& ws) {
  ui::FileDialog dialog;
  dialog.title = "Open algorithm data file";
  dialog.filter = "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg";
  dialog.filterIndex = 2;
  dialog.fileName = ws.AlgorithmFileName;
  return dialog;
}

void SetAlgorithmFileNames(Workspace& ws, const std::string& path) {
  ws.AlgorithmFileName = path;
  if (std::optional<std::string> shortName = ShortNameOf(path)) ws.AlgorithmShortName = *shortName;
}

void EnableInitializeAndLoad(ui::Frontend& ui) {
  ui.SetEnabled(kMenu, "cmdInitialize", true);
  ui.SetEnabled(kMenu, "cmdLoadAlg", true);
}

// The Yes branch of the main-menu load: the open dialog and the reader.
AlgorithmLoadOutcome LoadFromChosenFile(Workspace& ws, ui::Frontend& ui) {
  std::optional<std::string> path = ui.OpenFile(OpenAlgorithmDialog(ws));
  if (!path) {
    EnableInitializeAndLoad(ui);
    return AlgorithmLoadOutcome::Cancelled;
  }
  AlgorithmReadResult read = LoadAlgorithmFile(ws, ui, *path);
  if (read.status == AlgorithmReadStatus::OpenFailed) {
    ui.Message("Problem Reading Algorithm File!", "Be suspicious that your algorithm file is not properly formatted",
               ui::style::kCritical);
    EnableInitializeAndLoad(ui);
    return AlgorithmLoadOutcome::Failed;
  }
  if (read.status != AlgorithmReadStatus::Read) return AlgorithmLoadOutcome::Failed;
  return AlgorithmLoadOutcome::Loaded;
}

// The No branch: default values under a date-time name.
AlgorithmLoadOutcome LoadDefaults(Workspace& ws, ui::Frontend& ui) {
  SetDefaultAlgorithmData(ws);
  ui::LocalDateTime now = ui.Now();
  ws.AlgorithmFileName = DateTimeFileName(now.month, now.day, now.hour, now.minute, ".alg");
  ws.AlgorithmShortName = ws.AlgorithmFileName;
  ui.Message("Default Algorithm Values",
             "                     Algorithm data set to default values.\r\n\r\n"
             "Algorithm file given the date-time based name: " +
                 ws.AlgorithmFileName,
             ui::style::kInformation);
  return AlgorithmLoadOutcome::Defaulted;
}

// The main menu once algorithm data exist: every workflow step is open.
void EnterReadyState(Workspace& ws, ui::Frontend& ui) {
  ws.SimplexStateKept = false;
  ui.SetStatus(1, 1, "Algorithm file: " + ws.AlgorithmFileName);
  ui.PumpEvents(true);
  ui::SetWorkflowButtonsEnabled(ui, true);
  ui.SetFocus(kMenu, "cmdEditAlg");
  ui.SetCaption(kMenu, "cmdUserSummary", "Res&ults Summary");
  ui.SetToolTip(kMenu, "cmdUserSummary",
                "Produces a saveable summary (and perhaps plots) of model results for the current parameter "
                "estimates");
}

void ClearRankingAveraging(ui::Frontend& ui, const RankingFormHooks& hooks) {
  if (hooks.clearAveraging) hooks.clearAveraging();
  ui.SetEnabled(kRank, "lblAverage", false);
}

}  // namespace

AlgorithmReadResult LoadAlgorithmFile(Workspace& ws, ui::Frontend& ui, const std::string& path) {
  // The names come first: the count message names the file being read.
  SetAlgorithmFileNames(ws, path);
  AlgorithmReadResult read = ReadAlgorithmFile(ws, ui, path);
  if (read.status == AlgorithmReadStatus::Read) {
    NormalizeTolerance(ws.Alg);
    ws.SimplexStateKept = false;  // the next Simplex builds a new initial simplex
  }
  return read;
}

AlgorithmLoadOutcome LoadAlgorithmDataFromMenu(Workspace& ws, ui::Frontend& ui) {
  ui::CloseAnalysisWindows(ui);
  ui::Answer answer = ui.Message("Load algorithm data",
                                 "Load an existing algorithm data file?\r\n\r\n     Choose NO for default values",
                                 ui::style::kYesNoCancel + ui::style::kQuestion);
  AlgorithmLoadOutcome outcome;
  if (answer == ui::Answer::Yes)
    outcome = LoadFromChosenFile(ws, ui);
  else if (answer == ui::Answer::No)
    outcome = LoadDefaults(ws, ui);
  else
    return AlgorithmLoadOutcome::Cancelled;
  if (outcome == AlgorithmLoadOutcome::Loaded || outcome == AlgorithmLoadOutcome::Defaulted) EnterReadyState(ws, ui);
  return outcome;
}

AlgorithmSaveOutcome SaveAlgorithmDataFromMenu(Workspace& ws, ui::Frontend& ui) {
  ui::CloseAnalysisWindows(ui);
  ui::SetWorkflowButtonsEnabled(ui, false);
  AlgorithmSaveOutcome outcome = WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::MainMenu);
  ui::SetWorkflowButtonsEnabled(ui, true);
  return outcome;
}

AlgorithmLoadOutcome LoadAlgorithmDataFromRanking(Workspace& ws, ui::Frontend& ui, const RankingFormHooks& hooks) {
  ClearRankingAveraging(ui, hooks);
  std::optional<std::string> path = ui.OpenFile(OpenAlgorithmDialog(ws));
  if (!path) return AlgorithmLoadOutcome::Cancelled;
  if (LoadAlgorithmFile(ws, ui, *path).status != AlgorithmReadStatus::Read) return AlgorithmLoadOutcome::Failed;
  ui.SetStatus(1, 1, "Algorithm file: " + ws.AlgorithmShortName);
  ui.PumpEvents(true);
  if (hooks.calculateModelAICc) hooks.calculateModelAICc();
  ui.SetFocus(kRank, "cmdAICc");
  return AlgorithmLoadOutcome::Loaded;
}

AlgorithmSaveOutcome SaveAlgorithmDataFromRanking(Workspace& ws, ui::Frontend& ui, const RankingFormHooks& hooks) {
  ClearRankingAveraging(ui, hooks);
  return WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::Ranking);
}

}  // namespace kalvex
