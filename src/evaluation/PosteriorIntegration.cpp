#include "evaluation/PosteriorIntegration.h"

#include <cmath>
#include <new>

#include "covariance/LikelihoodConstant.h"
#include "evaluation/EvaluationPrompts.h"
#include "evaluation/EvaluationReport.h"
#include "evaluation/PosteriorGrid.h"
#include "evaluation/PosteriorNodes.h"
#include "ui/Frontend.h"
#include "ui/NumberInput.h"
#include "ui/ProposedName.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/Results.h"
#include "workspace/TextFile.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

constexpr RunDescription kPosteriorRun{{}, kPosteriorTitle, kPosteriorInterruptTitle,
                                       InterruptFlag::Bayes};
constexpr const char* kSetupTitle = "Problem with setup";
constexpr double kEmptySum = 1e20;  // -ln[L] of a point whose grid sum is 0
// Fewer nodes a point than this per worker are evaluated on the calling thread.
constexpr int64_t kSpreadNodesPerWorker = 64;

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

class PosteriorLoop : public IntegrationObserver {
 public:
  PosteriorLoop(Workspace& ws, ui::Frontend& ui, const PosteriorSettings& settings, const EvaluationOptions& options)
      : ws_(ws),
        ui_(ui),
        window_(WindowOf(options)),
        settings_(settings),
        run_(ws, ui, kPosteriorRun, "integration", options),
        context_(run_.Context()),
        spreadNodes_(options.spreadNodes) {}

  EvaluationEnd Run() {
    count_ = settings_.pointCount;
    run_.Hold(settings_.parameter);
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    problem_.emplace(ProblemOf(ws_));
    const int levels = ws_.Free.FreeCount;
    if (levels > kMaxIntegratedParameters) {
      run_.Restore();
      ui_.Message(kSetupTitle, "Too many free parameters - maximum is 6", style::kExclamation);
      return EvaluationEnd::NoResults;
    }
    grid_.points = levels > 0 ? settings_.gridPointCount : 0;
    for (int j = 1; j <= levels; ++j) {
      grid_.parameters.push_back(ws_.Free.FreeIndex[j]);
      grid_.steps.push_back(ws_.Free.FreeSteps[j]);
    }
    if (!PosteriorCallCountAllowed(ui_, count_, grid_.points, levels)) {
      run_.Restore();
      return EvaluationEnd::NoResults;
    }
    total_ = static_cast<int64_t>(count_ * NodeCount(grid_.points, levels));

    std::optional<PointSweep> sweep = run_.Sweep(
        count_, [&](int k, double value) { return Point(k, value); }, {}, [&] { return Prepare(); });
    if (!sweep) return EvaluationEnd::Faulted;
    std::string note;
    if (sweep->quitAt > 0)
      note = "The run was interrupted at point " + std::to_string(sweep->quitAt) + " of " +
             std::to_string(sweep->pointsAsked) + "; the first " + std::to_string(sweep->count) +
             " points are kept.";
    return run_.HandOver(
        std::move(*sweep), kBayesianKind,
        {kBayesianReportTitle, plots::kPosteriorTitle},
        [&] {
          if (levels > 0) context_.Activity(1, "Integrations completed at " + TimeOfDay(ui_));
          ws_.Evaluation.Bivariate = levels == 1 ? std::move(bivariate_) : BivariateGrid{};
        },
        note);
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
    context_.Pump();
    return QuitAsked();
  }

  bool NodesDone(int64_t done) override {
    callsDone_ = callsBeforePoint_ + done;
    if (context_.StatusDue()) {
      NodeCursor at(grid_, ws_.Alg.Values);
      at.Seek(done);
      const std::vector<int>& digits = at.Digits();
      for (int level = 1; level <= grid_.Levels(); ++level)
        ShowPosition(level, grid_.parameters[level - 1], digits[level - 1]);
    }
    ShowProgress();
    context_.Pump();
    return QuitAsked();
  }

 private:
  // Before the first point: the reference, the threads, the bivariate grid
  // and the window. False when the grid cannot be held.
  bool Prepare() {
    const int levels = grid_.Levels();
    if (levels >= 1) {
      reference_ = NegLnLAt(ws_.Alg.Values);
      // Made after the first evaluation, which has settled the links' steps.
      spreader_ = spreadNodes_ ? spreadNodes_(*problem_) : MakeThreadedNodes(*problem_);
    }
    if (levels == 1) {
      try {
        bivariate_ = BivariateGrid(count_, grid_.points);
      } catch (const std::bad_alloc&) {
        ui_.Message("Error message", "Bivariate array is probably too large; reduce grid size", style::kInformation);
        return false;
      }
      bivariate_.ProfileParameter = settings_.parameter;
      bivariate_.IntegratedParameter = grid_.parameters[0];
    }
    window_.PointsStarting(false);
    context_.RestartClock();
    context_.Interrupt().Clear();
    return true;
  }

  // The point's -ln[L]: at the values themselves, or minus the logarithm of
  // the sum of the likelihoods over the grid of the integrated parameters.
  std::optional<double> Point(int k, double value) {
    point_ = k;
    const int p = settings_.parameter;
    if (grid_.Levels() == 0) {
      context_.Activity(1, "Calculating profile point " + FormatNumber(k, "###0") + " of " +
                               FormatNumber(count_, "###0") + "," + " Value of parameter # " + std::to_string(p) +
                               " which is being profiled is: " + FormatNumber(value, "0.0000E+00"));
      const double negLnL = NegLnLAt(ws_.Alg.Values);
      ++callsDone_;
      if (QuitAsked()) return std::nullopt;
      ShowRemaining(context_, "Function calls remaining: ", callsDone_, total_);
      context_.Pump();
      return negLnL;
    }
    context_.Activity(1, "Value of parameter being profiled: " + FormatNumber(value, "0.0000E+00") + " (point " +
                             FormatNumber(k, "##0") + " of " + FormatNumber(count_, "##0)"));
    if (k == 1) {
      context_.Progress(ProgressBar::Totals, 1, std::to_string(total_) + " function calls required");
      context_.Progress(ProgressBar::Totals, 2, "Started at " + TimeOfDay(ui_));
      context_.Progress(ProgressBar::Totals, 3, "Integrating probabilities for profile parameter #" + std::to_string(p));
      window_.IntegrationStarted();
    }
    if (grid_.Levels() == 1) bivariate_.X[k] = value;
    PointIntegral integral = Integrate();
    if (integral.abandoned && quit_) return std::nullopt;
    return integral.sum != 0 ? -std::log(integral.sum) : kEmptySum;
  }

  // The point's grid on the spreader when it is worth spreading.
  PointIntegral Integrate() {
    const NodeObjective objective = [this](std::vector<double>& trial) { return NegLnLAt(trial); };
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

  // The interrupt check: true once the user chose to quit.
  bool QuitAsked() {
    quit_ = quit_ || context_.QuitAsked();
    return quit_;
  }

  void ShowPosition(int level, int parameter, int j) {
    if (!context_.StatusDue() && j != 1) return;
    context_.Progress(ProgressBar::Positions, level,
                      "Parameter #" + FormatNumber(parameter, "#0") + " (point " + FormatNumber(j, "##0") + " of " +
                          FormatNumber(grid_.points, "##0") + ")");
  }

  void ShowProgress() {
    if (!context_.StatusDue() && callsDone_ != total_) return;
    context_.StatusShown();
    ShowRemaining(context_, "Function calls remaining: ", callsDone_, total_);
  }

  // -ln[L] at a vector: the objective (with the prior term while priors are
  // on, both in objective units) divided by the objective scale.
  double NegLnLAt(std::vector<double>& vector) {
    return problem_->EvaluateWithCode(vector, 1) / ws_.ObjectiveScale;
  }

  Workspace& ws_;
  ui::Frontend& ui_;
  EvaluationWindow& window_;
  PosteriorSettings settings_;
  EvaluationRun run_;
  RunContext& context_;
  IntegrationGrid grid_;
  BivariateGrid bivariate_;
  std::optional<Problem> problem_;
  double reference_ = 0;
  int count_ = 0, point_ = 0;
  int64_t total_ = 0, callsDone_ = 0, callsBeforePoint_ = 0;
  std::function<std::unique_ptr<NodeSpreader>(const Problem&)> spreadNodes_;
  std::unique_ptr<NodeSpreader> spreader_;
  bool quit_ = false;
};

// The bivariate question of a posterior with one integrated parameter: the
// plot and the ".grd" save.
void OfferBivariatePlot(const Workspace& ws, ui::Frontend& ui) {
  const BivariateGrid& grid = ws.Evaluation.Bivariate;
  if (ui.Message(kBivariateQuestionTitle,
                 "Do you want to view a bivariate plot of parameters " + std::to_string(grid.ProfileParameter) +
                     " and " + std::to_string(grid.IntegratedParameter) + "?",
                 style::kYesNo + style::kQuestion) != Answer::Yes)
    return;
  if (ui.bivariateViewer) ui.bivariateViewer(grid);
  SaveBivariateGrid(ws, ui);
}

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

std::optional<std::string> PosteriorSettings::Validate(int numParameters) const {
  if (gridPointCount != 0 && (gridPointCount < 3 || gridPointCount > 1001 || gridPointCount % 2 == 0))
    return "The number of grid points must be 0 or odd, from 3 to 1001";
  return ValidatePoints(parameter, numParameters, pointCount);
}

EvaluationEnd RunPosterior(Workspace& ws, ui::Frontend& ui, const PosteriorSettings& settings,
                           const EvaluationOptions& options) {
  if (std::optional<std::string> problem = settings.Validate(ws.Alg.NumParameters)) {
    ui.Message(kPosteriorTitle, *problem, style::kCritical);
    return EvaluationEnd::NoResults;
  }
  return PosteriorLoop(ws, ui, settings, options).Run();
}

EvaluationEnd EvaluateByPosterior(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options) {
  EvaluationFinish finish(ws, ui, ws.PosteriorEvaluationActive, options);
  ui.Message(kPosteriorTitle, kPlotList, style::kInformation);
  if (!YesNo(ui, kIntroduction)) return EvaluationEnd::NoResults;
  if (PreviousResultsKept(ws, kBayesianKind) &&
      !YesNo(ui, "Do you want to perform integrations now?\r\n\r\nChoosing 'NO' will give you the previous BP plots")) {
    ReportEvaluation(ws, ui, WindowOf(options), {kBayesianReportTitle, plots::kPosteriorTitle});
    finish.results = true;
    return EvaluationEnd::Results;
  }
  std::optional<PosteriorSettings> settings = AskSettings(ws, ui);
  if (!settings) return EvaluationEnd::NoResults;
  if (!PosteriorCallCountAllowed(ui, settings->pointCount, settings->gridPointCount, ws.Free.FreeCount - 1))
    return EvaluationEnd::NoResults;
  if (ws.CovarianceResultsValid == kOn && !AskStepBasis(ws, ui, *settings)) return EvaluationEnd::NoResults;
  finish.edited = true;
  WindowOf(options).EditValuesAndSteps();
  if (ws.Alg.Steps[settings->parameter] == 0) {
    ui.Message(kSetupTitle, "The parameter chosen has a step size of zero; please try again", style::kExclamation);
    return EvaluationEnd::NoResults;
  }
  EvaluationEnd end = RunPosterior(ws, ui, *settings, options);
  finish.results = end == EvaluationEnd::Results;
  // Only a posterior with one integrated parameter keeps a bivariate grid.
  if (end == EvaluationEnd::Results && ws.Evaluation.Bivariate.PointCount > 0) OfferBivariatePlot(ws, ui);
  return end;
}

bool SaveBivariateGrid(const Workspace& ws, ui::Frontend& ui) {
  const ui::FileDialog dialog = ui::SaveDialogBeside(ws.AlgorithmFileName, "Save grid values in...",
                                                     "All files (*.*)|*.*|Grid files (*.grd)|*.grd", ".grd");
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return false;
  if (std::optional<std::string> error = SaveTextFile(*path, BivariateGridText(ws.Evaluation.Bivariate))) {
    ui.Message("Save failed", "The grid values could not be saved to " + *path + ": " + *error, style::kCritical);
    return false;
  }
  return true;
}

}  // namespace kalvex
