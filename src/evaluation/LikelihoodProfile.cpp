#include "evaluation/LikelihoodProfile.h"

#include <cmath>

#include "covariance/LikelihoodConstant.h"
#include "evaluation/EvaluationPrompts.h"
#include "evaluation/EvaluationReport.h"
#include "minimize/Marquardt.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/MinimizerReports.h"
#include "minimize/Simplex.h"
#include "plots/DistributionPlot.h"
#include "ui/Frontend.h"
#include "ui/Names.h"
#include "ui/NumberInput.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;
namespace names = ui::names;

constexpr RunDescription kProfileRun{names::kMaxLikeForm, kProfileTitle, kProfileInterruptTitle, InterruptFlag::ML};
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

// -ln[L] at the current values: the objective (with the prior term while
// priors are on, both in objective units) divided by the objective scale.
double NegLnLAtValues(Workspace& ws) {
  std::vector<double>& values = ws.Alg.Values;
  return EvaluateObjectiveWithCode(ws, values, 1) / ws.ObjectiveScale;
}

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

// The loop of one run on its own table; the workspace takes the table only
// when it gives results.
class ProfileLoop {
 public:
  ProfileLoop(Workspace& ws, ui::Frontend& ui, const ProfileSettings& settings, const EvaluationOptions& options)
      : ws_(ws), ui_(ui), settings_(settings), run_(ws, ui, kProfileRun, options.clock) {}

  EvaluationEnd Run() {
    const int p = settings_.parameter;
    centre_ = ws_.Alg.Values[p];
    step_ = savedStep_ = ws_.Alg.Steps[p];
    ws_.Alg.Steps[p] = 0;
    ws_.EvaluatedParameter = static_cast<int16_t>(p);
    count_ = settings_.pointCount;
    table_ = EvaluationTable(count_);
    summary_ = EvaluationSummary{};
    run_.RestartClock();
    ShowMainControl(ui_, "stbMain4", true);
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    if (ws_.Free.FreeCount == 0) ShowMainControl(ui_, names::kInterruptMLMenuBar, true);
    run_.Interrupt().Clear();

    bool completed = false;
    RunOutcome outcome = run_.Run([&] { completed = Loop(); },
                                  {.describe = [&](const NumericFault& fault) { return FaultText(fault); },
                                   .restore = [&] { Restore(); }});
    Restore();
    if (outcome.faulted) return EvaluationEnd::Faulted;
    if (!completed || count_ < 3) return EvaluationEnd::NoResults;
    if (summary_.ModeIndex < 1) {
      ui_.Message(kProfileTitle,
                  "No profile point could be evaluated: every -ln[L] was 1E+100 or more. The previous results are "
                  "kept.",
                  style::kExclamation);
      return EvaluationEnd::NoResults;
    }
    if (step_ < 0) Reverse();
    ui_.Beep();
    EvaluationState& kept = ws_.Evaluation;
    kept.Table = std::move(table_);
    kept.Summary = summary_;
    kept.Spacing = step_;
    kept.LastEvaluationKind = kMaximumLikelihoodKind;
    ReportEvaluation(ws_, ui_, names::kMaxLikeForm, names::kMaxLikePane, kMaxLikeReportTitle,
                     plots::kConfidenceTitle);
    return EvaluationEnd::Results;
  }

 private:
  // False when the run ended before its loop (a cancelled Marquardt setup).
  bool Loop() {
    const int p = settings_.parameter;
    const double mid = (count_ - 1) / 2 + 1;
    const bool minimizing = ws_.Free.FreeCount > 0;
    ProfilePoint point;
    point.PointCount = count_;
    for (int k = 1; k <= count_; ++k) {
      point.PointIndex = k;
      point_ = k;
      const double value = centre_ - (mid - k) * step_;
      ws_.Alg.Values[p] = value;
      table_.GridValue[k] = value;
      if (!minimizing) {
        run_.Activity(1, "Calculating profile point " + FormatNumber(k, "###0") + " of " +
                             FormatNumber(count_, "###0") + "," + " Value of parameter # " + std::to_string(p) +
                             " which is being profiled is: " + FormatNumber(value, "0.0000E+00"));
        table_.NegLnL[k] = NegLnLAtValues(ws_);
      } else {
        ws_.SimplexStateKept = false;
        ws_.CovarianceResultsValid = kOff;
        ws_.Covariance.OptimisticSEs = false;
        MinimizeOptions options;
        options.profile = &point;
        MinimizeResult result =
            settings_.minimizer == 'M' ? RunMarquardt(ws_, ui_, options) : RunSimplex(ws_, ui_, options);
        if (result.faulted) throw NumericFault(result.message);
        if (point.PointIndex <= count_) table_.NegLnL[k] = NegLnLAtValues(ws_);
      }
      if (run_.Interrupt().Pending()) {
        run_.Interrupt().Clear();
        if (ui_.Message(kProfileInterruptTitle, "Interrupt received.  Quit calculations?",
                        style::kYesNo + style::kQuestion) == Answer::Yes) {
          point.PointReached = k;
          point.PointIndex = count_ + 2;
        }
      }
      if (point.PointIndex == count_ + 2) {
        Shorten(point.PointReached - 2);
        return true;
      }
      if (table_.NegLnL[k] < summary_.BestNegLnL) {
        summary_.BestNegLnL = table_.NegLnL[k];
        summary_.ModeValue = table_.GridValue[k];
        summary_.ModeIndex = k;
      }
      ShowRemaining(run_, "Minimizations remaining: ", k, count_);
      run_.Pump();
    }
    return true;
  }

  // A quit keeps the points before the one being worked on and the one before it.
  void Shorten(int count) {
    count_ = std::max(count, 0);
    KeepFirstPoints(table_, summary_, count_);
  }

  void Reverse() {
    ReverseTable(table_, summary_);
    step_ = -step_;
  }

  void Restore() {
    const int p = settings_.parameter;
    ws_.Alg.Values[p] = centre_;
    ws_.Alg.Steps[p] = savedStep_;
  }

  std::string FaultText(const NumericFault& fault) {
    const int p = settings_.parameter;
    return "Profile point " + std::to_string(point_) + " of " + std::to_string(count_) + " (parameter # " +
           std::to_string(p) + " = " + FormatNumber(ws_.Alg.Values[p], "0.0000E+00") + "):\r\n\r\n" +
           NumericFaultText(ws_, fault.what(), ws_.Alg.Values) +
           "\r\n\r\nThe profile was stopped; the profiled parameter has its value and step back.";
  }

  Workspace& ws_;
  ui::Frontend& ui_;
  ProfileSettings settings_;
  RunContext run_;
  EvaluationTable table_;
  EvaluationSummary summary_;
  double centre_ = 0, step_ = 0, savedStep_ = 0;
  int count_ = 0, point_ = 0;
};

// The finishing step of every way out of the evaluation.
class ProfileFinish {
 public:
  ProfileFinish(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options)
      : ws_(ws), ui_(ui), options_(options) {
    ws_.ProfileEvaluationActive = kOn;
  }
  ~ProfileFinish() {
    try {
      NormalizeLinks(ws_);
      CollectFreeParameters(ws_);
      if (results) ws_.EvaluationResultsOutOfDate = false;
      ws_.ProfileEvaluationActive = kOff;
      ShowMainControl(ui_, names::kInterruptMLMenuBar, false);
      if (options_.showMenu)
        options_.showMenu();
      else
        ui_.ShowWindow(names::kMenuForm);
      ui_.SetStatus(kActivityBar, 1, "");
      ui_.SetStatus(static_cast<int>(ProgressBar::Remaining), 1, "");
      ui_.SetStatus(static_cast<int>(ProgressBar::Remaining), 2, "");
      ShowMainControl(ui_, "stbMain4", false);
      if (edited) RemindOfEdits(ui_);
    } catch (...) {  // a front end failing while the run unwinds must not end the program
    }
  }
  ProfileFinish(const ProfileFinish&) = delete;
  ProfileFinish& operator=(const ProfileFinish&) = delete;

  bool results = false;
  bool edited = false;

 private:
  Workspace& ws_;
  ui::Frontend& ui_;
  const EvaluationOptions& options_;
};

}  // namespace

EvaluationEnd RunLikelihoodProfile(Workspace& ws, ui::Frontend& ui, const ProfileSettings& settings,
                                   const EvaluationOptions& options) {
  return ProfileLoop(ws, ui, settings, options).Run();
}

EvaluationEnd EvaluateByLikelihoodProfile(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options) {
  ProfileFinish finish(ws, ui, options);
  ui.Message(kProfileTitle, kPlotList, style::kInformation);
  if (!YesNo(ui, kIntroduction)) return EvaluationEnd::NoResults;
  if (PreviousResultsKept(ws, kMaximumLikelihoodKind) &&
      !YesNo(ui, "Do you want to perform minimizations now?\r\n\r\nChoosing 'NO' will give you the previous ML plots")) {
    ReportEvaluation(ws, ui, names::kMaxLikeForm, names::kMaxLikePane, kMaxLikeReportTitle, plots::kConfidenceTitle);
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
  EditForEvaluation(ws, ui, options.openEditor);
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

std::optional<std::string> SaveLikelihoodProfile(const Workspace& ws, ui::Frontend& ui) {
  ui::FileDialog dialog;
  dialog.title = "Save maximum-likelihood values in...";
  dialog.filter = "All files (*.*)|*.*|Max-like files (*.mlc)|*.mlc";
  dialog.filterIndex = 2;
  dialog.fileName = ui::NamedForAlgorithmFile(ws.AlgorithmFileName, ".mlc");
  dialog.overwritePrompt = true;
  return ui::SavePaneToFile(ui, names::kMaxLikeForm, names::kMaxLikePane, dialog,
                            "The maximum-likelihood data");
}

}  // namespace kalvex
