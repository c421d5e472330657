#include "evaluation/PosteriorIntegration.h"

#include <cmath>
#include <new>

#include "covariance/LikelihoodConstant.h"
#include "evaluation/EvaluationPrompts.h"
#include "evaluation/EvaluationReport.h"
#include "evaluation/PosteriorGrid.h"
#include "evaluation/PosteriorNodes.h"
#include "minimize/MinimizerReports.h"
#include "plots/DistributionPlot.h"
#include "ui/Frontend.h"
#include "ui/Names.h"
#include "ui/NumberInput.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;
namespace names = ui::names;

constexpr RunDescription kPosteriorRun{names::kBayesianForm, kPosteriorTitle, kPosteriorInterruptTitle,
                                       InterruptFlag::Bayes};
constexpr const char* kSetupTitle = "Problem with setup";
constexpr double kEmptySum = 1e20;  // -ln[L] of a point whose grid sum is 0
// Progress texts are rebuilt at most this often (seconds): a fast model
// evaluates thousands of nodes between two of them.
constexpr double kStatusInterval = 0.05;
// Fewer nodes a point than this per worker are evaluated on the calling thread.
constexpr int64_t kSpreadNodesPerWorker = 64;
constexpr const char* kHiddenMenus[] = {"mnuWindow", "mnuAbout", "mnuWisdom", "mnuDefaultNames"};

constexpr const char* kPlotList =
    "This routine will create a series of plots, and if desired, save the x-y data. \r\n"
    "\r\n"
    "Choose plot 1 to get a likelihood profile plot. \r\n"
    "Choose plot 2 to get a Bayesian posterior distribution. \r\n"
    "Choose plot 3 to get a mode-centered confidence region plot. \r\n"
    "Choose plot 4 to get a mean-centered confidence region plot. \r\n"
    "Choose plot 5 to get a left to right ascending cumulative plot. \r\n"
    "Choose plot 6 to get a left to right descending cumulative plot. \r\n"
    "Choose plot 7 to get a mode-centered Gaussian distribution plot.\r\n"
    "\r\n"
    "If only two variables are evaluated a bivarate pdf plot is also generated";

constexpr const char* kIntroduction =
    "First choose the parameter to be evaluated, then the number of grid points. "
    "You may then wisely edit the mid-range parameter value and the step size "
    "for that parameter and those (maximum = 6) over which probabilities will be integrated. "
    "For a one dimensional example, if you choose 101 grid points then grid point 1 will be "
    "the parameter value - 50 * the step size, grid point 51 will be the point parameter value, "
    "and grid point 101 will be the parameter value + 50 * the step size. "
    "Parameters with a step size of zero will not be integrated into the BP distribution. "
    "We suggest you first build a covariance matrix for parameters with non-zero step sizes "
    "and thus let the statistical machinery determine approximate values for the step sizes. "
    "Be warned, however, that this choice will automatically change the values for step sizes "
    "in your algorithm data file."
    "\r\n\r\nDo you want to continue?";

std::string TimeOfDay(const ui::Frontend& ui) {
  ui::LocalDateTime now = ui.Now();
  auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return two(now.hour) + ":" + two(now.minute) + ":" + two(now.second);
}

// -ln[L] at a vector: the objective (with the prior term while priors are
// on, both in objective units) divided by the objective scale.
double NegLnLAt(Workspace& ws, std::vector<double>& vector) {
  return EvaluateObjectiveWithCode(ws, vector, 1) / ws.ObjectiveScale;
}

class PosteriorLoop : public IntegrationObserver {
 public:
  PosteriorLoop(Workspace& ws, ui::Frontend& ui, const PosteriorSettings& settings, const EvaluationOptions& options)
      : ws_(ws), ui_(ui), settings_(settings), run_(ws, ui, kPosteriorRun, options.clock), spreadNodes_(options.spreadNodes) {}

  EvaluationEnd Run() {
    const int p = settings_.parameter;
    count_ = settings_.pointCount;
    centre_ = ws_.Alg.Values[p];
    step_ = savedStep_ = ws_.Alg.Steps[p];
    ws_.Alg.Steps[p] = 0;
    ws_.EvaluatedParameter = static_cast<int16_t>(p);
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    const int levels = ws_.Free.FreeCount;
    if (levels > kMaxIntegratedParameters) {
      Restore();
      ui_.Message(kSetupTitle, "Too many free parameters - maximum is 6", style::kExclamation);
      return EvaluationEnd::NoResults;
    }
    grid_.points = levels > 0 ? settings_.gridPointCount : 0;
    for (int j = 1; j <= levels; ++j) {
      grid_.parameters.push_back(ws_.Free.FreeIndex[j]);
      grid_.steps.push_back(ws_.Free.FreeSteps[j]);
    }
    if (!PosteriorCallCountAllowed(ui_, count_, grid_.points, levels)) {
      Restore();
      return EvaluationEnd::NoResults;
    }
    total_ = static_cast<int64_t>(count_ * NodeCount(grid_.points, levels));
    table_ = EvaluationTable(count_);
    summary_ = EvaluationSummary{};

    RunOutcome outcome = run_.Run([&] { Loop(); }, {.describe = [&](const NumericFault& fault) { return FaultText(fault); },
                                                  .restore = [&] { Restore(); }});
    Restore();
    if (outcome.faulted) return EvaluationEnd::Faulted;
    if (tooLarge_) return EvaluationEnd::NoResults;
    if (count_ < 3) return EvaluationEnd::NoResults;
    if (summary_.ModeIndex < 1) {
      ui_.Message(kPosteriorTitle,
                  "No profile point could be evaluated: every -ln[L] was 1E+100 or more. The previous results are "
                  "kept.",
                  style::kExclamation);
      return EvaluationEnd::NoResults;
    }
    if (step_ < 0) Reverse();
    if (levels > 0) run_.Activity(1, "Integrations completed at " + TimeOfDay(ui_));
    EvaluationState& kept = ws_.Evaluation;
    kept.Table = std::move(table_);
    kept.Summary = summary_;
    kept.Spacing = step_;
    kept.LastEvaluationKind = kBayesianKind;
    if (levels == 1) kept.Bivariate = std::move(bivariate_);
    Results(levels);
    return EvaluationEnd::Results;
  }

  bool LevelStep(int level, int parameter, int j) override {
    ShowPosition(level, parameter, j);
    return QuitAsked();
  }

  void SweepWeights(std::span<const double> weights) override {
    if (grid_.Levels() != 1) return;
    for (int j = 1; j <= grid_.points; ++j) {
      const double w = weights[static_cast<std::size_t>(j - 1)];
      bivariate_.At(point_, j) = w;
      bivariate_.Y[j] = grid_.Value(1, ws_.Alg.Values[grid_.parameters[0]], j);
      if (w > bivariate_.MaxDensity) {
        bivariate_.MaxDensity = w;
        bivariate_.XAtMax = bivariate_.X[point_];
        bivariate_.YAtMax = bivariate_.Y[j];
      }
    }
  }

  bool SweepDone() override {
    const int levels = grid_.Levels();
    callsDone_ += grid_.points;
    ShowPosition(levels, grid_.parameters[levels - 1], grid_.points);
    ShowProgress();
    run_.Pump();
    return QuitAsked();
  }

  bool NodesDone(int64_t done) override {
    callsDone_ = callsBeforePoint_ + done;
    if (StatusDue()) {
      NodeCursor at(grid_, ws_.Alg.Values);
      at.Seek(done);
      const std::vector<int>& digits = at.Digits();
      for (int level = 1; level <= grid_.Levels(); ++level)
        ShowPosition(level, grid_.parameters[level - 1], digits[level - 1]);
    }
    ShowProgress();
    run_.Pump();
    return QuitAsked();
  }

 private:
  void Loop() {
    const int p = settings_.parameter;
    const int levels = grid_.Levels();
    if (levels >= 1) {
      reference_ = NegLnLAt(ws_, ws_.Alg.Values);
      // Made after the first evaluation, which has settled the links' steps.
      spreader_ = spreadNodes_ ? spreadNodes_(ws_) : MakeThreadedNodes(ws_);
    }
    if (levels == 1) {
      try {
        bivariate_ = BivariateGrid(count_, grid_.points);
      } catch (const std::bad_alloc&) {
        ui_.Message("Error message", "Bivariate array is probably too large; reduce grid size", style::kInformation);
        tooLarge_ = true;
        return;
      }
      bivariate_.ProfileParameter = p;
      bivariate_.IntegratedParameter = grid_.parameters[0];
    }
    ShowMainControl(ui_, "stbMain2", true);
    ShowMainControl(ui_, "stbMain4", true);
    ShowMainControl(ui_, names::kInterruptBayesMenuBar, true);
    for (const char* menu : kHiddenMenus) ShowMainControl(ui_, menu, false);
    ui_.HideWindow(names::kMenuForm);
    run_.RestartClock();
    run_.Interrupt().Clear();
    const double mid = (count_ - 1) / 2 + 1;
    const NodeObjective objective = [this](std::vector<double>& trial) { return NegLnLAt(ws_, trial); };

    for (int k = 1; k <= count_; ++k) {
      point_ = k;
      const double value = centre_ - (mid - k) * step_;
      ws_.Alg.Values[p] = value;
      table_.GridValue[k] = value;
      if (levels == 0) {
        run_.Activity(1, "Calculating profile point " + FormatNumber(k, "###0") + " of " +
                             FormatNumber(count_, "###0") + "," + " Value of parameter # " + std::to_string(p) +
                             " which is being profiled is: " + FormatNumber(value, "0.0000E+00"));
        table_.NegLnL[k] = NegLnLAt(ws_, ws_.Alg.Values);
        ++callsDone_;
        if (QuitAsked()) break;
        ShowRemaining(run_, "Function calls remaining: ", callsDone_, total_);
        run_.Pump();
      } else {
        run_.Activity(1, "Value of parameter being profiled: " + FormatNumber(value, "0.0000E+00") + " (point " +
                             FormatNumber(k, "##0") + " of " + FormatNumber(count_, "##0)"));
        if (k == 1) {
          run_.Progress(ProgressBar::Totals, 1, std::to_string(total_) + " function calls required");
          run_.Progress(ProgressBar::Totals, 2, "Started at " + TimeOfDay(ui_));
          run_.Progress(ProgressBar::Totals, 3, "Integrating probabilities for profile parameter #" + std::to_string(p));
          ShowMainControl(ui_, "stbMain3", true);
        }
        if (levels == 1) bivariate_.X[k] = value;
        PointIntegral integral = Integrate(objective);
        if (integral.abandoned && quit_) break;
        table_.NegLnL[k] = integral.sum != 0 ? -std::log(integral.sum) : kEmptySum;
      }
      if (table_.NegLnL[k] < summary_.BestNegLnL) {
        summary_.BestNegLnL = table_.NegLnL[k];
        summary_.ModeValue = table_.GridValue[k];
        summary_.ModeIndex = k;
      }
    }
    if (quit_) Shorten(pointReached_ - 2);
  }

  // The point's grid on the spreader when it is worth spreading.
  PointIntegral Integrate(const NodeObjective& objective) {
    const int64_t nodes = NodeTotal(grid_);
    if (!spreader_ || nodes < kSpreadNodesPerWorker * spreader_->Workers())
      return IntegratePoint(grid_, ws_.Alg.Values, reference_, objective, *this);
    callsBeforePoint_ = callsDone_;
    PointIntegral integral = IntegratePointSpread(grid_, ws_.Alg.Values, reference_, *spreader_, *this, objective);
    if (!integral.abandoned) {
      callsDone_ = callsBeforePoint_ + nodes;
      ShowProgress();
    }
    return integral;
  }

  // The interrupt check: true when the user chose to quit.
  bool QuitAsked() {
    if (quit_) return true;
    if (!run_.Interrupt().Pending()) return false;
    run_.Interrupt().Clear();
    if (ui_.Message(kPosteriorInterruptTitle, "Interrupt received.  Quit calculations?",
                    style::kYesNo + style::kQuestion) != Answer::Yes)
      return false;
    quit_ = true;
    pointReached_ = point_;
    return true;
  }

  void ShowPosition(int level, int parameter, int j) {
    if (!StatusDue() && j != 1) return;
    run_.Progress(ProgressBar::Positions, level,
                  "Parameter #" + FormatNumber(parameter, "#0") + " (point " + FormatNumber(j, "##0") + " of " +
                      FormatNumber(grid_.points, "##0") + ")");
  }

  bool StatusDue() const { return run_.ElapsedSeconds() - lastShown_ >= kStatusInterval; }

  void ShowProgress() {
    if (!StatusDue() && callsDone_ != total_) return;
    lastShown_ = run_.ElapsedSeconds();
    ShowRemaining(run_, "Function calls remaining: ", callsDone_, total_);
  }

  void Shorten(int count) {
    count_ = std::max(count, 0);
    KeepFirstPoints(table_, summary_, count_);
  }

  void Reverse() {
    ReverseTable(table_, summary_);
    step_ = -step_;
  }

  void Restore() {
    ws_.Alg.Values[settings_.parameter] = centre_;
    ws_.Alg.Steps[settings_.parameter] = savedStep_;
  }

  void Results(int levels) {
    ReportEvaluation(ws_, ui_, names::kBayesianForm, names::kBayesianPane, kBayesianReportTitle,
                     plots::kPosteriorTitle);
    if (levels != 1) return;
    const BivariateGrid& grid = ws_.Evaluation.Bivariate;
    if (ui_.Message(kBivariateQuestionTitle,
                    "Do you want to view a bivariate plot of parameters " + std::to_string(grid.ProfileParameter) +
                        " and " + std::to_string(grid.IntegratedParameter) + "?",
                    style::kYesNo + style::kQuestion) != Answer::Yes)
      return;
    if (ui_.bivariateViewer) ui_.bivariateViewer(grid);
    SaveBivariateGrid(ws_, ui_);
  }

  std::string FaultText(const NumericFault& fault) {
    const int p = settings_.parameter;
    return "Profile point " + std::to_string(point_) + " of " + std::to_string(count_) + " (parameter # " +
           std::to_string(p) + " = " + FormatNumber(ws_.Alg.Values[p], "0.0000E+00") + "):\r\n\r\n" +
           NumericFaultText(ws_, fault.what(), ws_.Alg.Values) +
           "\r\n\r\nThe integration was stopped; the profiled parameter has its value and step back.";
  }

  Workspace& ws_;
  ui::Frontend& ui_;
  PosteriorSettings settings_;
  RunContext run_;
  IntegrationGrid grid_;
  EvaluationTable table_;
  EvaluationSummary summary_;
  BivariateGrid bivariate_;
  double centre_ = 0, step_ = 0, savedStep_ = 0, reference_ = 0, lastShown_ = -kStatusInterval;
  int count_ = 0, point_ = 0, pointReached_ = 0;
  int64_t total_ = 0, callsDone_ = 0, callsBeforePoint_ = 0;
  std::function<std::unique_ptr<NodeSpreader>(const Workspace&)> spreadNodes_;
  std::unique_ptr<NodeSpreader> spreader_;
  bool quit_ = false, tooLarge_ = false;
};

class PosteriorFinish {
 public:
  PosteriorFinish(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options)
      : ws_(ws), ui_(ui), options_(options) {
    ws_.PosteriorEvaluationActive = kOn;
  }
  ~PosteriorFinish() {
    try {
      NormalizeLinks(ws_);
      CollectFreeParameters(ws_);
      if (results) ws_.EvaluationResultsOutOfDate = false;
      ws_.PosteriorEvaluationActive = kOff;
      if (options_.showMenu)
        options_.showMenu();
      else
        ui_.ShowWindow(names::kMenuForm);
      for (const char* bar : {"stbMain2", "stbMain3", "stbMain4"}) ShowMainControl(ui_, bar, false);
      ShowMainControl(ui_, names::kInterruptBayesMenuBar, false);
      for (const char* menu : kHiddenMenus) ShowMainControl(ui_, menu, true);
      ui_.SetStatus(kActivityBar, 1, "");
      for (int panel = 1; panel <= 6; ++panel) ui_.SetStatus(static_cast<int>(ProgressBar::Positions), panel, "");
      if (edited) RemindOfEdits(ui_);
    } catch (...) {  // a front end failing while the run unwinds must not end the program
    }
  }
  PosteriorFinish(const PosteriorFinish&) = delete;
  PosteriorFinish& operator=(const PosteriorFinish&) = delete;

  bool results = false;
  bool edited = false;

 private:
  Workspace& ws_;
  ui::Frontend& ui_;
  const EvaluationOptions& options_;
};

bool YesNo(ui::Frontend& ui, const std::string& text) {
  return ui.Message(kPosteriorTitle, text, style::kYesNo + style::kQuestion) == Answer::Yes;
}

// The prompt loop; nullopt when the user ended the run.
std::optional<PosteriorSettings> AskSettings(Workspace& ws, ui::Frontend& ui) {
  for (;;) {
    NormalizeLinks(ws);
    CollectFreeParameters(ws);
    if (ws.DataPointCount == 0 && !AskLikelihoodConstant(ws, ui)) return std::nullopt;
    ui::NumberAnswer answer =
        ui::AskNumber(ui, "Choose the parameter number to be evaluated or Quit: \r\n0 < parameter # <= " +
                              std::to_string(ws.Alg.NumParameters),
                      kPosteriorTitle, "");
    if (!answer.IsNumber()) return std::nullopt;
    const double parameter = std::nearbyint(answer.value);
    if (!(parameter >= 1 && parameter <= ws.Alg.NumParameters)) continue;
    PosteriorSettings settings;
    settings.parameter = static_cast<int>(parameter);
    do {
      answer = ui::AskNumber(ui, "Choose the number of data points for profile parameter:\r\n0 <= # points <= 1001",
                             kPosteriorTitle, "25");
      if (answer.Cancelled()) return std::nullopt;
    } while (!answer.IsNumber());
    std::optional<int> count = PosteriorPointCount(answer.value);
    if (!count) continue;
    settings.pointCount = *count;
    if (ws.Free.FreeCount <= 1) {
      settings.gridPointCount = 0;
      return settings;
    }
    answer = ui::AskNumber(ui, "Choose the number of data points for grid parameter:\r\n0 <= # points <= 1001",
                           kPosteriorTitle, "25");
    if (answer.Cancelled()) return std::nullopt;
    std::optional<int> grid = PosteriorGridPointCount(answer.IsNumber() ? answer.value : 0);
    if (!grid) continue;
    settings.gridPointCount = *grid;
    return settings;
  }
}

// The step basis; false when the user quit.
bool AskStepBasis(Workspace& ws, ui::Frontend& ui, const PosteriorSettings& settings) {
  for (;;) {
    StepBasis basis = PosteriorStepBasis(
        ui.Input("Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?", kPosteriorTitle, "N"));
    if (basis == StepBasis::Quit) return false;
    if (basis == StepBasis::Unchanged) return true;
    const int grid = static_cast<int>(basis);
    if (!GridHasStandardErrors(ws, grid)) {
      ui.Message(kPosteriorTitle, "Covariance grid " + std::to_string(grid) + " gave no standard errors; choose another",
                 style::kExclamation);
      continue;
    }
    StepsFromGrid(ws, grid, 7, settings.gridPointCount - 1.0);
    StepFromGrid(ws, grid, settings.parameter, 24, 3.0 * settings.pointCount - 3);
    return true;
  }
}

}  // namespace

bool PosteriorCallCountAllowed(ui::Frontend& ui, int pointCount, int gridPointCount, int levels) {
  if (pointCount * NodeCount(gridPointCount, levels) <= kMaxPosteriorCalls) return true;
  ui.Message("Too many function calls",
             "Required number of function calls exceeds the maximum allowed of 2147483647.\r\n"
             "Correct this by reducing the number of free parameters or the grid resolution",
             style::kExclamation);
  return false;
}

EvaluationEnd RunPosterior(Workspace& ws, ui::Frontend& ui, const PosteriorSettings& settings,
                           const EvaluationOptions& options) {
  return PosteriorLoop(ws, ui, settings, options).Run();
}

EvaluationEnd EvaluateByPosterior(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options) {
  PosteriorFinish finish(ws, ui, options);
  ui.Message(kPosteriorTitle, kPlotList, style::kInformation);
  if (!YesNo(ui, kIntroduction)) return EvaluationEnd::NoResults;
  if (PreviousResultsKept(ws, kBayesianKind) &&
      !YesNo(ui, "Do you want to perform integrations now?\r\n\r\nChoosing 'NO' will give you the previous BP plots")) {
    ReportEvaluation(ws, ui, names::kBayesianForm, names::kBayesianPane, kBayesianReportTitle,
                     plots::kPosteriorTitle);
    finish.results = true;
    return EvaluationEnd::Results;
  }
  std::optional<PosteriorSettings> settings = AskSettings(ws, ui);
  if (!settings) return EvaluationEnd::NoResults;
  if (!PosteriorCallCountAllowed(ui, settings->pointCount, settings->gridPointCount, ws.Free.FreeCount - 1))
    return EvaluationEnd::NoResults;
  if (ws.CovarianceResultsValid == kOn && !AskStepBasis(ws, ui, *settings)) return EvaluationEnd::NoResults;
  finish.edited = true;
  EditForEvaluation(ws, ui, options.openEditor);
  if (ws.Alg.Steps[settings->parameter] == 0) {
    ui.Message(kSetupTitle, "The parameter chosen has a step size of zero; please try again", style::kExclamation);
    return EvaluationEnd::NoResults;
  }
  EvaluationEnd end = RunPosterior(ws, ui, *settings, options);
  finish.results = end == EvaluationEnd::Results;
  return end;
}

std::optional<std::string> SavePosterior(const Workspace& ws, ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save Bayesian posterior values in...";
  dialog.filter = "All files (*.*)|*.*|Bayesian posterior files (*.pos)|*.pos";
  dialog.filterIndex = 2;
  dialog.fileName = ui::NamedForAlgorithmFile(ws.AlgorithmFileName, ".pos");
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui, names::kBayesianForm, names::kBayesianPane, dialog, "The Bayesian posterior data");
}

bool SaveBivariateGrid(const Workspace& ws, ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save grid values in...";
  dialog.filter = "All files (*.*)|*.*|Grid files (*.grd)|*.grd";
  dialog.filterIndex = 2;
  dialog.fileName = ui::NamedForAlgorithmFile(ws.AlgorithmFileName, ".grd");
  dialog.overwritePrompt = true;
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return false;
  if (std::optional<std::string> error = SaveTextFile(*path, BivariateGridText(ws.Evaluation.Bivariate))) {
    ui.Message("Save failed", "The grid values could not be saved to " + *path + ": " + *error, style::kCritical);
    return false;
  }
  return true;
}

}  // namespace kalvex
