#include "evaluation/LikelihoodProfile.h"

#include <cmath>

#include "covariance/LikelihoodConstant.h"
#include "evaluation/EvaluationPrompts.h"
#include "evaluation/EvaluationReport.h"
#include "minimize/MarquardtKernel.h"
#include "minimize/MarquardtSetup.h"
#include "minimize/WindowMinimizer.h"
#include "ui/Frontend.h"
#include "ui/NumberInput.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"
#include "workspace/ObjectiveDerivatives.h"
#include "workspace/Problem.h"
#include "workspace/Results.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

constexpr RunDescription kProfileRun{{}, kProfileTitle, kProfileInterruptTitle, InterruptFlag::ML};
constexpr double kNoPoint = 1e100;

constexpr const char* kPlotList =
    "This routine will create a series of plots, and if desired, save the x-y data. \r\n"
    "\r\n"
    "Choose plot 1 to get a likelihood profile plot. \r\n"
    "Choose plot 2 to get a confidence distribution at ML estimates. \r\n"
    "Choose plot 3 to get a mode-centered confidence region plot. \r\n"
    "Choose plot 4 to get a mean-centered confidence region plot. \r\n"
    "Choose plot 5 to get a left to right ascending cumulative plot. \r\n"
    "Choose plot 6 to get a left to right descending cumulative plot. \r\n"
    "Choose plot 7 to get a mode-centered Gaussian distribution plot.";

constexpr const char* kIntroduction =
    "First choose the parameter to be profiled, then the number of data points. "
    "You may then wisely edit the mid-range of the parameter value and the step size. "
    "For example, if you choose 101 profile points then profile point 1 will be the parameter "
    "value - 50 * the step size, profile point 51 will be the parameter value, and profile "
    "point 101 will be the parameter value + 50 * the step size. "
    "This routine is works best when the value of the parameter corresponds to the minimum. "
    "We suggest you first build a covariance matrix for parameters with non-zero step sizes "
    "and thus let the statistical machinery determine approximate values for the step sizes. "
    "Be warned, however, that this choice will automatically change the values for step sizes "
    "in your algorithm data file."
    "\r\n\r\nDo you want to continue?";

bool YesNo(ui::Frontend& ui, const std::string& text) {
  return ui.Message(kProfileTitle, text, style::kYesNo + style::kQuestion) == Answer::Yes;
}

std::optional<int> AskParameter(const Workspace& ws, ui::Frontend& ui) {
  const std::string prompt =
      "Choose the parameter number to be profiled:\r\n0 < parameter # <= " + std::to_string(ws.Alg.NumParameters);
  for (;;) {
    ui::NumberAnswer answer = ui::AskNumber(ui, prompt, kProfileTitle, "");
    if (!answer.IsNumber()) return std::nullopt;
    std::optional<int32_t> parameter = ToInt32(answer.value);
    if (parameter && *parameter >= 1 && *parameter <= ws.Alg.NumParameters) return *parameter;
  }
}

// nullopt when the user cancelled; an empty answer asks again.
std::optional<int> AskPointCount(ui::Frontend& ui) {
  for (;;) {
    ui::NumberAnswer answer =
        ui::AskNumber(ui, "Choose the number of x-y data points per plot:\r\n0 <= # points <= 1001", kProfileTitle, "25");
    if (answer.Cancelled()) return std::nullopt;
    if (!answer.IsNumber()) continue;
    if (std::optional<int> count = ProfilePointCount(answer.value)) return *count;
  }
}

// The step basis; false when the user quit.
bool AskStepBasis(Workspace& ws, ui::Frontend& ui, int pointCount) {
  for (;;) {
    std::optional<std::string> answer = ui.Input(
        "Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?\r\nPlease enter 1, 2, 3, N, or Q",
        kProfileTitle, "N");
    StepBasis basis = ProfileStepBasis(answer);
    if (basis == StepBasis::Quit) return false;
    if (basis == StepBasis::Unchanged) return true;
    if (basis == StepBasis::AskAgain) continue;
    const int grid = static_cast<int>(basis);
    if (!GridHasStandardErrors(ws, grid)) {
      ui.Message(kProfileTitle, "Covariance grid " + std::to_string(grid) + " gave no standard errors; choose another",
                 style::kExclamation);
      continue;
    }
    StepsFromGrid(ws, grid, 24, 3.0 * pointCount - 3);
    return true;
  }
}

// One run on the evaluation run: each point's -ln[L] after the other free
// parameters are minimized there (or at once when none is free).
class ProfileLoop {
 public:
  ProfileLoop(Workspace& ws, ui::Frontend& ui, const ProfileSettings& settings, const EvaluationOptions& options)
      : ws_(ws), ui_(ui), window_(WindowOf(options)), settings_(settings),
        run_(ws, ui, kProfileRun, "profile", options) {}

  EvaluationEnd Run() {
    const int p = settings_.parameter;
    const int count = settings_.pointCount;
    run_.Hold(p);
    RunContext& run = run_.Context();
    run.RestartClock();
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    objective_.emplace(ProblemOf(ws_));
    const bool minimizing = ws_.Free.FreeCount > 0;
    window_.PointsStarting(minimizing);
    run.Interrupt().Clear();
    ProfilePoint point;
    point.PointCount = count;
    std::optional<PointSweep> sweep = run_.Sweep(
        count,
        [&](int k, double value) -> std::optional<double> {
          point.PointIndex = k;
          double negLnL = 0;
          if (!minimizing) {
            run.Activity(1, "Calculating profile point " + FormatNumber(k, "###0") + " of " +
                                FormatNumber(count, "###0") + "," + " Value of parameter # " + std::to_string(p) +
                                " which is being profiled is: " + FormatNumber(value, "0.0000E+00"));
            negLnL = NegLnLAtValues();
          } else {
            ws_.SimplexStateKept = false;
            ws_.CovarianceResultsValid = kOff;
            ws_.Covariance.OptimisticSEs = false;
            Minimize(point);
            if (point.PointIndex <= count) negLnL = NegLnLAtValues();
          }
          // The quit of the whole procedure, asked here or inside a minimizer.
          if (point.PointIndex == count + 2 || run.QuitAsked()) return std::nullopt;
          ShowRemaining(run, "Minimizations remaining: ", k, count);
          run.Pump();
          return negLnL;
        },
        [&]() -> const std::vector<double>* {
          if (faultVector_) return faultVector_;
          return minimizer_ ? &minimizer_->FaultVector() : nullptr;
        },
        [&] { return !minimizing || DerivativesAvailable(); });
    if (!sweep) return EvaluationEnd::Faulted;
    return run_.HandOver(std::move(*sweep), kMaximumLikelihoodKind,
                         {kMaxLikeReportTitle, plots::kConfidenceTitle},
                         [&] { ui_.Beep(); });
  }

 private:
  // The other free parameters minimized from the values the previous point
  // left, so that the sweep carries their optimum along. The minimizer runs
  // inside this run: a numeric fault ends the profile and is reported once.
  void Minimize(ProfilePoint& point) {
    minimizer_.reset();
    pointProblem_.emplace(ProblemOf(ws_));
    options_.profile = &point;
    options_.window = window_.MinimizerAtPoints(settings_.minimizer == 'M');
    const MinimizerKind kind = settings_.minimizer == 'M' ? MinimizerKind::Marquardt : MinimizerKind::Simplex;
    minimizer_ = MakeWindowMinimizer(kind, ws_, ui_, *pointProblem_, options_);
    minimizer_->Run();
    TakeProblemValues(ws_, *pointProblem_);
  }

  // Analytical Marquardt on a model without derivatives would end every
  // point's minimization at its start, each with its own box, and the
  // unminimized values would pass for a profile: say so once and stop.
  bool DerivativesAvailable() {
    if (settings_.minimizer != 'M' || ws_.DerivativeMode != "A") return true;
    if (DerivativesSupplied(objective_->objective, objective_->values, objective_->free.FreeIndex)) return true;
    ui_.Message("Analytical derivatives missing", kAnalyticalMissingMessage, style::kInformation);
    return false;
  }

  // -ln[L] at the current values: the objective (with the prior term while
  // priors are on, both in objective units) divided by the objective scale.
  double NegLnLAtValues() {
    faultVector_ = &ws_.Alg.Values;
    const double value = objective_->EvaluateWithCode(ws_.Alg.Values, 1) / ws_.ObjectiveScale;
    faultVector_ = nullptr;
    return value;
  }

  Workspace& ws_;
  ui::Frontend& ui_;
  EvaluationWindow& window_;
  ProfileSettings settings_;
  EvaluationRun run_;
  std::optional<Problem> objective_;     // the -ln[L] of the points
  std::optional<Problem> pointProblem_;  // the point being minimized
  MinimizeOptions options_;
  std::unique_ptr<WindowMinimizer> minimizer_;
  const std::vector<double>* faultVector_ = nullptr;  // set while -ln[L] is evaluated
};

}  // namespace

std::optional<std::string> ProfileSettings::Validate(int numParameters) const {
  if (minimizer != 'S' && minimizer != 'M') return "The minimizer must be Simplex (S) or Marquardt (M)";
  return ValidatePoints(parameter, numParameters, pointCount);
}

EvaluationEnd RunLikelihoodProfile(Workspace& ws, ui::Frontend& ui, const ProfileSettings& settings,
                                   const EvaluationOptions& options) {
  if (std::optional<std::string> problem = settings.Validate(ws.Alg.NumParameters)) {
    ui.Message(kProfileTitle, *problem, style::kCritical);
    return EvaluationEnd::NoResults;
  }
  return ProfileLoop(ws, ui, settings, options).Run();
}

EvaluationEnd EvaluateByLikelihoodProfile(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options) {
  EvaluationFinish finish(ws, ui, ws.ProfileEvaluationActive, options);
  ui.Message(kProfileTitle, kPlotList, style::kInformation);
  if (!YesNo(ui, kIntroduction)) return EvaluationEnd::NoResults;
  if (PreviousResultsKept(ws, kMaximumLikelihoodKind) &&
      !YesNo(ui, "Do you want to perform minimizations now?\r\n\r\nChoosing 'NO' will give you the previous ML plots")) {
    ReportEvaluation(ws, ui, WindowOf(options), {kMaxLikeReportTitle, plots::kConfidenceTitle});
    finish.results = true;
    return EvaluationEnd::Results;
  }
  if (ws.DataPointCount == 0 && !AskLikelihoodConstant(ws, ui)) return EvaluationEnd::NoResults;
  std::optional<int> parameter = AskParameter(ws, ui);
  if (!parameter) return EvaluationEnd::NoResults;
  std::optional<int> pointCount = AskPointCount(ui);
  if (!pointCount) return EvaluationEnd::NoResults;
  ProfileSettings settings;
  settings.parameter = *parameter;
  settings.pointCount = *pointCount;
  settings.minimizer = YesNo(ui, "Choose 'Yes' to minimize with SIMPLEX\r\nChoose 'No' to minimize with MARQUARDT")
                           ? 'S'
                           : 'M';
  if (ws.CovarianceResultsValid == kOn && !AskStepBasis(ws, ui, settings.pointCount))
    return EvaluationEnd::NoResults;
  finish.edited = true;
  WindowOf(options).EditValuesAndSteps();
  if (ws.Alg.Steps[settings.parameter] == 0) {
    ui.Message(kProfileTitle, "The parameter chosen has a step size of zero; please try again", style::kExclamation);
    return EvaluationEnd::NoResults;
  }
  if (settings.minimizer == 'M') {
    NormalizeLinks(ws);
    CollectFreeParameters(ws);
    // Only the other free parameters are minimized; without them no setup is needed.
    if (ws.Free.FreeCount > 1 && !MarquardtSetup(ws, ui)) return EvaluationEnd::NoResults;
  }
  EvaluationEnd end = RunLikelihoodProfile(ws, ui, settings, options);
  finish.results = end == EvaluationEnd::Results;
  return end;
}

}  // namespace kalvex
