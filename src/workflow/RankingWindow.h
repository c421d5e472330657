#pragma once
// The model ranking window (frmRank): competing models added one algorithm
// file at a time, each evaluated once at its values, ranked by AICc or
// QAICc, averaged over their covariance files and saved as a multi-model
// statistics file. The window shows Table() and forwards its buttons and
// double-clicks here; this controller owns its captions, enabling and
// focus, and runs the computations of ranking/RankingComputation.h, which
// kalvex-batch's rank command runs too.
#include <functional>
#include <optional>
#include <string>

#include "algorithm/AlgorithmCommands.h"
#include "ranking/CovarianceEstimates.h"
#include "ranking/ModelTable.h"
#include "ranking/RankingComputation.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex::ranking {

inline constexpr const char* kRankCaption = "Model selection, ranking and averaging";

// Grid columns a double-click acts on.
inline constexpr int kLabelColumn = 0;
inline constexpr int kCovarianceColumn = 7;
inline constexpr int kNotesColumn = 9;

// What the program around the form provides. Any may be empty.
struct RankingHooks {
  std::function<void()> showCaller;  // the form closed: the main menu comes back
  std::function<void()> openEditor;  // shows the algorithm data editor, which gives the form back
  // Opens the priors loader; its argument brings the form back.
  std::function<void(std::function<void()>)> openPriors;
};

enum class RankingSaveOutcome { Saved, Cancelled, Failed };

class RankingWindow {
 public:
  RankingWindow(Workspace& ws, ui::Frontend& ui);

  // Loads the form with an empty table and C-hat 1, and adds the current
  // algorithm data as the first model.
  void Open(RankingHooks hooks);

  // "Calculate model AICc": the current algorithm data as the next model.
  // true when a model was added.
  bool CalculateModelAICc();
  // "Calculate QAICc": asks for C-hat and recomputes every criterion.
  void ChangeCHat();
  // "&Rank competing models"
  void Rank();
  // "&Average across models": true when the averaging text is shown.
  bool Average();
  // "&Save ranking and averaging results"
  RankingSaveOutcome SaveRanking();
  // "&Load Algorithm Data", "&Edit Algorithm Data", "&Save Algorithm Data"
  AlgorithmLoadOutcome LoadAlgorithmData();
  void EditAlgorithmData();
  void SaveAlgorithmData();
  // "Set &Bayesian priors"
  void SetPriors();
  // A double-click on a model row (grid position 1..Count()).
  void DoubleClick(int position, int column);
  // "&Finish": the closing steps, then the window closes.
  void Finish();
  // The closing steps alone, for a window the user closes: the question
  // about the ranking's results. false keeps the form open (a save the
  // user asked for wrote nothing).
  bool Closing();

  const ModelTable& Table() const { return table_; }
  bool AveragingDone() const { return averageText_.has_value(); }
  const std::optional<std::string>& AverageText() const { return averageText_; }

  // Called when the table or its headers changed (the window redraws).
  std::function<void()> onChange;

 private:
  void ClearAveraging();
  void AfterTableChange();
  void ShowCHat();
  void Changed();
  bool EditCovarianceFile(ModelRow& row);
  bool EditNotes(ModelRow& row);

  Workspace& ws_;
  ui::Frontend& ui_;
  RankingHooks hooks_;
  ModelTable table_;
  std::optional<std::string> averageText_;
};

}  // namespace kalvex::ranking
