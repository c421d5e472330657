#include "covariance/CovarianceCalculator.h"

#include <cmath>
#include <string>

#include "covariance/CovarianceReport.h"
#include "covariance/HessianGrids.h"
#include "covariance/LikelihoodConstant.h"
#include "minimize/MarquardtKernel.h"
#include "ui/Frontend.h"
#include "ui/NumberInput.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

constexpr RunDescription kCovarianceRun{"", kCovarianceRunTitle, kCovarianceRunTitle, InterruptFlag::Covariance};

const char* const kMethodQuestion =
    "Do you want to calculate covariances analytically or numerically?"
    "  Numerical covariances are provided automatically, whereas for analytical covariances you must have "
    "provided analytical"
    " derivatives in your model code (i.e., in that section of Sub MODEL() accessed when NF=-2).\r\n\r\n"
    "WARNING: Analytical covariances will fail if Bayesian prior probabilities contribute to the likelihood "
    "function.\r\n\r\n"
    "DO NOT USE ANALYTICAL COVARIANCES IN CONJUNCTION WITH BAYESIAN PRIOR DISTRIBUTIONS!\r\n"
    "               THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE UNIFORM-UNBOUNDED!\r\n\r\n"
    "Choose 'Yes' if you have provided ANALYTICAL derivatives; else 'No' to calculate covariances NUMERICALLY";

const char* const kNumericalIntroduction =
    "A covariance matrix is calculated by inverting the numerically calculated"
    " Hessian matrix of second partial derivatives of the likelihood function."
    "  Three grids are used to calculate the derivatives.  Each grid is formed"
    " using the current parameter values and (non-zero) step sizes. Three scale"
    " factors are required. The initial steps will be multiplied by these scale"
    " factors to adjust the size of the grid.\r\n\r\n"
    "When interpreting the three grid results under the multinormal assumption,"
    " the standard deviations of the -ln[likelihood] should span a range from"
    " near zero for the smallest step to about 5 for the largest step."
    "  This should reassure the user that the multinormal assumption holds over"
    " the entire posterior distributions of the parameters if the model is parsimonious,"
    " 'close-to linear', and there are no extraordinarily high correlations.\r\n\r\n"
    "You can now edit the parameter values and step sizes (if so desired);"
    " realizing that for meaningful results you might have to carefully choose step sizes.\r\n";

constexpr const char* kE = "0.0000000E+00";

// The log window, the status panels and the interrupt around the kernel.
class GridDriver : public GridObserver {
 public:
  GridDriver(RunContext& run, const CovarianceResults& results, CovarianceMethod method, CovarianceLog* log)
      : run_(run), results_(results), method_(method), log_(log) {}

  int CurrentGrid() const { return grid_; }

  void CentreEvaluated() override {
    // The sum-of-squares suggestion of the constant prompt comes from this centre.
    run_.Ws().SuggestionFreeCount = static_cast<int16_t>(results_.FreeCount());
    run_.Ws().SuggestionObjective = results_.CentreObjective;
    if (method_ == CovarianceMethod::Analytical) run_.Activity(1, "");
  }

  void OpenLog() {
    text_.clear();
    if (log_) log_->Started();
  }

  void GridStarting(int grid) override {
    grid_ = grid;
    run_.RestartClock();
    Append("\r\nNow calculating -ln[likelihood] on grid #" + std::to_string(grid) + "\r\n");
  }

  // Building the status texts for every point would cost more than a fast
  // model's evaluation.
  void Calling(int, int point, int total) override {
    showing_ = point == 1 || point == total || run_.StatusDue();
    if (!showing_) return;
    run_.StatusShown();
    run_.Activity(1, "Hessian function call " + FormatNumber(point, "###0") + " of " + FormatNumber(total, "###0"));
  }

  bool Evaluated(int grid, int point, int total) override {
    if (run_.Interrupt().Pending() && QuitGrid()) return true;
    if (showing_) {
      // Every grid from this one to the last is still to come.
      int64_t remaining = static_cast<int64_t>(kGridCount - grid + 1) * total;
      run_.Activity(2, "Estimated time remaining for all three grids (m:s): " + run_.TimeRemaining(point, remaining));
    }
    run_.Pump();
    return false;
  }

  void GridSummarized(int grid) override {
    const double scale = results_.ObjectiveScale;
    Append("Average: " + FormatNumber(SafeDivide(results_.GridMean[grid], scale), kE) +
           "; Standard deviation: " + FormatNumber(SafeDivide(results_.GridSD[grid], scale), kE) + "\r\n" +
           "Now calculating Hessian matrix #" + std::to_string(grid) + "\r\n");
  }

  void Inverting(int grid) override {
    grid_ = grid;
    Append("Now inverting Hessian matrix #" + std::to_string(grid) + "\r\n");
  }

  void GridEnded(int grid) override {
    const GridOutcome& outcome = results_.Outcome[grid];
    if (outcome.notPositiveDefiniteAt != 0)
      Append(NotPositiveDefiniteText(outcome.notPositiveDefiniteAt));
    else if (!outcome.abandoned)
      Append("Determinant of covariance matrix: " + FormatNumber(results_.CovarianceGrids[grid](0, 0), kE) +
             "\r\n\r\n");
  }

  void Pause() override { run_.Pump(); }

 private:
  bool QuitGrid() {
    run_.Interrupt().Clear();
    if (log_) log_->InterruptTaken();
    return run_.Ui().Message(kCovarianceRunTitle, "Interrupt received. Do you want to quit calculating this grid?",
                             style::kYesNo + style::kQuestion) == Answer::Yes;
  }

  void Append(const std::string& text) {
    text_ += text;
    if (log_) log_->Changed(text_);
  }

  RunContext& run_;
  const CovarianceResults& results_;
  CovarianceMethod method_;
  CovarianceLog* log_;
  std::string text_;
  int grid_ = 0;
  bool showing_ = true;
};

std::string FaultText(const NumericFault& fault, int grid) {
  std::string where = grid == 0 ? "at the current parameter values, before the grids were calculated"
                                : "while grid #" + std::to_string(grid) + " was calculated";
  return "Numeric fault: " + std::string(fault.what()) + "\r\n\r\nThe fault occurred " + where +
         ". No covariance results were kept; the parameter values and step sizes are unchanged.";
}

}  // namespace

CovarianceRunEnd RunCovariance(Workspace& ws, ui::Frontend& ui, const CovarianceSettings& settings,
                               const std::function<bool(CovarianceSettings&)>& ask, const SecondsClock& clock,
                               CovarianceLog* log) {
  RunContext run(ws, ui, kCovarianceRun, clock);
  run.Interrupt().Clear();
  const bool analytical = settings.method == CovarianceMethod::Analytical;
  Problem problem = ProblemOf(ws);
  CovarianceResults results;
  CovarianceEnd end = CovarianceEnd::Completed;
  GridDriver driver(run, results, settings.method, log);
  RunOutcome outcome = run.Run(
      [&] {
        run.Activity(1, analytical ? "One moment please while one function call is executed" : "One moment please...");
        run.Pump(true);
        end = ComputeCovariance(problem, ws.Alg.Descriptions, settings, results, driver, [&](CovarianceSettings& asked) {
          if (ask && !ask(asked)) return false;
          ws.Covariance.OptimisticSEs = asked.optimisticSEs;
          driver.OpenLog();
          if (analytical) run.Activity(1, "Calculating covariances, one moment please...");
          return true;
        });
        run.Activity(1, "");
      },
      {.describe = [&](const NumericFault& fault) { return FaultText(fault, driver.CurrentGrid()); }, .restore = {}});
  // The centre's link expansion sets a follower's step to 0, as any
  // evaluation through the workspace does.
  ws.Alg.Steps = problem.objective.Terms().steps;
  if (outcome.faulted) return CovarianceRunEnd::Faulted;
  run.ClearActivity();
  switch (end) {
    case CovarianceEnd::NothingToDo:
      ui.Message("There is nothing to do!", "All step sizes are zero", style::kExclamation);
      return CovarianceRunEnd::NoResults;
    case CovarianceEnd::NoDerivatives:
      ui.Message("Analytical derivatives missing", kAnalyticalMissingMessage, style::kInformation);
      return CovarianceRunEnd::NoResults;
    case CovarianceEnd::Cancelled:
      return CovarianceRunEnd::Cancelled;
    case CovarianceEnd::Completed: break;
  }
  ws.Covariance.Results = std::move(results);
  return CovarianceRunEnd::Completed;
}

namespace {

std::string FactorList(const std::array<double, kGridCount + 1>& factors) {
  return " 1) " + FormatNumber(factors[1], "0.000E+00") + "     2) " + FormatNumber(factors[2], "0.000E+00") +
         "     3) " + FormatNumber(factors[3], "0.000E+00");
}

}  // namespace

bool AskGridFactors(ui::Frontend& ui, std::array<double, kGridCount + 1>& factors) {
  factors = kDefaultGridFactors;
  for (;;) {
    for (int g = 1; g <= kGridCount; ++g) {
      std::string prompt = "Default grid factor for Grid " + std::to_string(g) + " :\r\n\r\n Currently:  " +
                           FactorList(factors) + "\r\n\r\nValue must be positive for all factors";
      ui::NumberAnswer answer = ui::AskNumber(ui, prompt, kCovarianceCalculatorTitle, GeneralNumber(factors[g]));
      if (!answer.IsNumber()) return false;
      if (answer.value > 0) factors[g] = answer.value;
    }
    if (ui.Message(kCovarianceCalculatorTitle, "Are these default grid factors OK?\r\n\r\n" + FactorList(factors),
                   style::kYesNo + style::kQuestion) == Answer::Yes)
      return true;
  }
}

bool AskOptimisticSEs(Workspace& ws, ui::Frontend& ui) {
  Answer answer = ui.Message(kOptimisticTitle,
                             "Choose the quicker option to calculate under-estimated conditional SEs?\r\n"
                             "Each SE estimate assumes the SE of all other parameters to be zero (0).\r\n"
                             "(This is not recommended for final analyses, but can be a time-efficient way \r\n"
                             "to rapidly assess relative parameter uncertainty in preliminary analyses).",
                             style::kYesNo + style::kQuestion + style::kSecondDefault);
  ws.Covariance.OptimisticSEs = answer == Answer::Yes;
  return ws.Covariance.OptimisticSEs;
}

namespace {

// The window's questions once the centre is known: the constant (its
// suggestion comes from the centre) and the optimistic SEs.
std::function<bool(CovarianceSettings&)> AskAfterCentre(Workspace& ws, ui::Frontend& ui) {
  return [&ws, &ui](CovarianceSettings& settings) {
    if (!AskLikelihoodConstant(ws, ui)) return false;
    settings.objectiveScale = ws.ObjectiveScale;
    settings.optimisticSEs = AskOptimisticSEs(ws, ui);
    return true;
  };
}

}  // namespace

CovarianceRunEnd RunNumericalCovariance(Workspace& ws, ui::Frontend& ui, const NumericalCovarianceOptions& options) {
  CovarianceSettings settings;
  settings.gridFactors = options.gridFactors;
  return RunCovariance(ws, ui, settings, AskAfterCentre(ws, ui), options.clock, options.log);
}

CovarianceRunEnd RunCovarianceCalculator(Workspace& ws, ui::Frontend& ui, const CovarianceCalculatorOptions& options) {
  Answer method = ui.Message(kCovarianceCalculatorTitle, kMethodQuestion, style::kYesNoCancel + style::kQuestion);
  if (method == Answer::Cancel) return CovarianceRunEnd::Cancelled;
  CovarianceRunEnd end;
  if (method == Answer::Yes) {
    CovarianceSettings settings;
    settings.method = CovarianceMethod::Analytical;
    settings.gridFactors = {0, 0, 0, 0};
    end = RunCovariance(ws, ui, settings, AskAfterCentre(ws, ui), options.clock, options.log);
  } else {
    if (ui.Message(kCovarianceCalculatorTitle, kNumericalIntroduction, style::kOkCancel + style::kInformation) ==
        Answer::Cancel)
      return CovarianceRunEnd::Cancelled;
    if (options.openEditor) options.openEditor();
    std::array<double, kGridCount + 1> factors{};
    if (!AskGridFactors(ui, factors)) return CovarianceRunEnd::Cancelled;
    end = RunNumericalCovariance(ws, ui, {factors, options.clock, options.log});
  }
  return end;
}

}  // namespace kalvex
