#include "workflow/RankingWindow.h"

#include <cmath>

#include "covariance/LikelihoodConstant.h"
#include "ranking/RankingText.h"
#include "ui/Names.h"
#include "ui/NumberInput.h"
#include "ui/ProposedName.h"
#include "ui/RunContext.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::ranking {
namespace {

namespace style = ui::style;
using ui::names::kRankForm;

}  // namespace

RankingWindow::RankingWindow(Workspace& ws, ui::Frontend& ui) : ws_(ws), ui_(ui) {}

void RankingWindow::Changed() {
  if (onChange) onChange();
}

void RankingWindow::ShowCHat() { ui_.SetCaption(kRankForm, "txtCHat", CHatText(table_.CHat())); }

void RankingWindow::ClearAveraging() {
  averageText_.reset();
  ui_.SetCaption(kRankForm, "txtAverage", "");
  ui_.SetEnabled(kRankForm, "lblAverage", false);
}

// After a model was added or deleted, C-hat changed or a cell was edited:
// nothing is saved or averaged before the next ranking.
void RankingWindow::AfterTableChange() {
  ui_.SetEnabled(kRankForm, "cmdSaveRank", false);
  ui_.SetEnabled(kRankForm, "cmdAverage", false);
  ui_.SetEnabled(kRankForm, "cmdRank", table_.Count() > 1);
  ClearAveraging();
  Changed();
}

void RankingWindow::Open(RankingHooks hooks) {
  hooks_ = std::move(hooks);
  table_ = ModelTable();
  ui_.ShowWindow(kRankForm);
  ui_.SetCaption(kRankForm, kRankForm, kRankCaption);
  AfterTableChange();
  ShowCHat();
  CalculateModelAICc();
  ui_.SetFocus(kRankForm, "cmdLoadAlg");
}

bool RankingWindow::CalculateModelAICc() {
  const bool first = table_.Count() == 0;
  const bool added = AddModel(ws_, ui_, table_, [&] {
    if (!first) return true;
    ui_.HideWindow(kRankForm);
    const bool answered = AskLikelihoodConstant(ws_, ui_);
    ui_.ShowWindow(kRankForm);
    return answered;
  });
  if (added) AfterTableChange();
  return added;
}

void RankingWindow::ChangeCHat() {
  double chat = 1;
  for (;;) {
    ui::NumberAnswer answer =
        ui::AskNumber(ui_, "Input a value for C-hat (1 or greater) to correct for unexplained overdispersion:",
                      "Overdispersion correction", GeneralNumber(table_.CHat()));
    if (answer.Cancelled()) return;
    chat = answer.IsNumber() ? answer.value : 1;
    if (chat >= 1) break;
  }
  // The criteria of a table that was added to are finite, and C-hat >= 1
  // only shrinks them.
  table_.SetCHat(chat);
  ShowCHat();
  AfterTableChange();
}

void RankingWindow::Rank() {
  if (table_.Count() < 2) return;
  if (!RankModels(ws_, ui_, table_)) return;
  ClearAveraging();
  ui_.SetEnabled(kRankForm, "cmdSaveRank", true);
  ui_.SetFocus(kRankForm, "cmdAICc");
  ui_.SetEnabled(kRankForm, "cmdAverage", table_.AllCovarianceFiles());
  Changed();
}

bool RankingWindow::Average() {
  if (!table_.Ranked()) return false;  // the weights come from a ranking
  for (int i = 1; i <= table_.Count(); ++i) {
    if (!table_.Shown(i).HasCovarianceFile()) {
      ui_.SetEnabled(kRankForm, "cmdAverage", false);
      break;
    }
  }
  std::optional<std::string> text = AverageRankedModels(ws_, ui_, table_);
  if (!text) return false;
  averageText_ = *text;
  ui_.SetCaption(kRankForm, "txtAverage", *text);
  ui_.SetFocus(kRankForm, "cmdAICc");
  ui_.SetEnabled(kRankForm, "lblAverage", true);
  Changed();
  return true;
}

RankingSaveOutcome RankingWindow::SaveRanking() {
  const ui::FileDialog dialog =
      ui::SaveDialogBeside(ws_.AlgorithmFileName, "Save model ranking results in...",
                           "All files (*.*)|*.*|Multi-model statistics files (*.mms)|*.mms", ".mms");
  std::optional<std::string> path = ui_.SaveFile(dialog);
  if (!path) return RankingSaveOutcome::Cancelled;
  std::optional<std::string_view> average;
  if (averageText_) average = *averageText_;
  if (std::optional<std::string> error = SaveTextFile(*path, RankingFileText(table_, average))) {
    ui_.Message("Save failed", "The ranking results could not be saved to " + *path + ": " + *error,
                style::kCritical);
    return RankingSaveOutcome::Failed;
  }
  return RankingSaveOutcome::Saved;
}

AlgorithmLoadOutcome RankingWindow::LoadAlgorithmData() {
  AlgorithmLoadOutcome outcome =
      LoadAlgorithmDataFromRanking(ws_, ui_, {[this] { ClearAveraging(); }, [this] { CalculateModelAICc(); }});
  if (outcome == AlgorithmLoadOutcome::Loaded) ui_.SetFocus(kRankForm, "cmdAICc");
  return outcome;
}

void RankingWindow::EditAlgorithmData() {
  ui_.HideWindow(kRankForm);
  if (hooks_.openEditor)
    hooks_.openEditor();
  else
    ui_.ShowWindow(ui::names::kEditorForm);
}

void RankingWindow::SaveAlgorithmData() { SaveAlgorithmDataFromRanking(ws_, ui_, {[this] { ClearAveraging(); }, {}}); }

void RankingWindow::SetPriors() {
  ClearAveraging();
  ui_.HideWindow(kRankForm);
  auto back = [this] {
    ui_.ShowWindow(kRankForm);
    ui_.SetFocus(kRankForm, "cmdAICc");
  };
  if (hooks_.openPriors)
    hooks_.openPriors(back);
  else
    back();
}

bool RankingWindow::EditCovarianceFile(ModelRow& row) {
  std::optional<std::string> answer =
      ui_.Input("Please input the desired covariance file name", "Choose an associated covariance file",
                row.CovarianceFile);
  if (!answer || answer->empty()) return false;
  row.CovariancePath = PathBeside(ws_.AlgorithmFileName, *answer);
  row.CovarianceFile = ReadableFile(row.CovariancePath) ? *answer : kNoSuchFile;
  return true;
}

bool RankingWindow::EditNotes(ModelRow& row) {
  std::optional<std::string> answer =
      ui_.Input("Enter your annotations concerning the selected model", "Model notes", "Add your notation here");
  if (!answer || answer->empty()) return false;
  row.Notes = *answer;
  return true;
}

void RankingWindow::DoubleClick(int position, int column) {
  if (position < 1 || position > table_.Count()) return;
  // An empty answer or Cancel ends an edit without changes.
  switch (column) {
    case kLabelColumn: table_.Delete(position); break;
    case kCovarianceColumn:
      if (!EditCovarianceFile(table_.Shown(position))) return;
      break;
    case kNotesColumn:
      if (!EditNotes(table_.Shown(position))) return;
      break;
    default: return;
  }
  ui_.SetFocus(kRankForm, "cmdAICc");
  AfterTableChange();
}

bool RankingWindow::Closing() {
  if (table_.Ranked() &&
      ui_.Message("What about ranking results!", "Do you want to save ranking results?",
                  style::kYesNo + style::kQuestion + style::kSecondDefault) == ui::Answer::Yes &&
      SaveRanking() != RankingSaveOutcome::Saved)
    return false;
  if (hooks_.showCaller) hooks_.showCaller();
  return true;
}

void RankingWindow::Finish() {
  if (Closing()) ui_.CloseWindow(kRankForm);
}

}  // namespace kalvex::ranking
