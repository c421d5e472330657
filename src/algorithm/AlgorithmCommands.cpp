#include "algorithm/AlgorithmCommands.h"

#include "workspace/TextFile.h"

namespace kalvex {
namespace {

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

// The Yes branch of the main-menu load: the open dialog and the reader.
AlgorithmLoadOutcome LoadFromChosenFile(Workspace& ws, ui::Frontend& ui) {
  std::optional<std::string> path = ui.OpenFile(OpenAlgorithmDialog(ws));
  if (!path) return AlgorithmLoadOutcome::Cancelled;
  AlgorithmReadResult read = LoadAlgorithmFile(ws, ui, *path);
  if (read.status == AlgorithmReadStatus::OpenFailed) {
    ui.Message("Problem Reading Algorithm File!", "Be suspicious that your algorithm file is not properly formatted",
               ui::style::kCritical);
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

void ClearRankingAveraging(ui::Frontend& ui, const RankingFormHooks& hooks) {
  if (hooks.clearAveraging) hooks.clearAveraging();
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
  ui::Answer answer = ui.Message("Load algorithm data",
                                 "Load an existing algorithm data file?\r\n\r\n     Choose NO for default values",
                                 ui::style::kYesNoCancel + ui::style::kQuestion);
  if (answer == ui::Answer::Yes) return LoadFromChosenFile(ws, ui);
  if (answer == ui::Answer::No) return LoadDefaults(ws, ui);
  return AlgorithmLoadOutcome::Cancelled;
}

AlgorithmSaveOutcome SaveAlgorithmDataFromMenu(Workspace& ws, ui::Frontend& ui) {
  return WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::MainMenu);
}

AlgorithmLoadOutcome LoadAlgorithmDataFromRanking(Workspace& ws, ui::Frontend& ui, const RankingFormHooks& hooks) {
  ClearRankingAveraging(ui, hooks);
  std::optional<std::string> path = ui.OpenFile(OpenAlgorithmDialog(ws));
  if (!path) return AlgorithmLoadOutcome::Cancelled;
  if (LoadAlgorithmFile(ws, ui, *path).status != AlgorithmReadStatus::Read) return AlgorithmLoadOutcome::Failed;
  ui.SetStatus(1, 1, "Algorithm file: " + ws.AlgorithmShortName);
  ui.PumpEvents(true);
  if (hooks.calculateModelAICc) hooks.calculateModelAICc();
  return AlgorithmLoadOutcome::Loaded;
}

AlgorithmSaveOutcome SaveAlgorithmDataFromRanking(Workspace& ws, ui::Frontend& ui, const RankingFormHooks& hooks) {
  ClearRankingAveraging(ui, hooks);
  return WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::Ranking);
}

}  // namespace kalvex
