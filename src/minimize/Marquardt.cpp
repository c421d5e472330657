#include "minimize/Marquardt.h"

#include <string>
#include <vector>

#include "algorithm/MinimizationLog.h"
#include "minimize/InterruptQuestion.h"
#include "minimize/MarquardtKernel.h"
#include "minimize/MinimizerReports.h"
#include "minimize/MinimizerWindow.h"
#include "minimize/WindowMinimizer.h"
#include "ui/Frontend.h"
#include "ui/RunContext.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

namespace style = ui::style;

constexpr RunDescription kMarquardtRun{"", "Marquardt minimization", "Marquardt interrupt",
                                       InterruptFlag::Marquardt};

// The reports and the derivative display (told to the window), the log and the
// questions around the kernel.
class MarquardtDriver : public MarquardtObserver {
 public:
  MarquardtDriver(RunContext& run, MinimizerWindow& window, const Problem& problem, const MinimizeOptions& options)
      : run_(run), window_(window), ws_(run.Ws()), problem_(problem), options_(options), n_(problem.free.FreeCount) {}

  void Watch(const MarquardtKernel& kernel) { kernel_ = &kernel; }

  void Starting() override {
    window_.RunBegins();
    run_.Activity(1, "Initial function call, one moment please...");
    run_.Pump(true);
  }

  void Started() override {
    run_.Interrupt().Clear();
    window_.InterruptOffered(true);
    run_.Activity(2, "");
    run_.Activity(1, "");
  }

  Answer Trial(int trialCount, double trialObjective) override {
    run_.Activity(3, "Working to improve estimates. Objective function for trial # " + std::to_string(trialCount) +
                         ", is : " + FormatNumber(trialObjective, " 0.00000E+00"));
    switch (AskAfterInterrupt(run_, window_, 2, Profiling(), options_.profile)) {
      case InterruptChoice::None: return Answer::GoOn;
      case InterruptChoice::GoOn: return Answer::Declined;
      case InterruptChoice::Quit:
        run_.Activity(1, "Interrupt will occur once this iteration is complete");
        return Answer::FinishIteration;
      case InterruptChoice::QuitProcedure:
      case InterruptChoice::NextPoint: return Answer::Stop;
    }
    return Answer::GoOn;
  }

  void HessianCall(int done, int total) override {
    if (Profiling()) return;
    run_.Activity(2, "Hessian function call " + FormatNumber(done, "###0") + " of " + FormatNumber(total, "###0"));
    run_.Pump();
  }

  void Pause() override { run_.Pump(); }

  void DerivativesMissing() override {
    run_.Ui().Message("Analytical derivatives missing", kAnalyticalMissingMessage, style::kInformation);
  }

  void Solving(double damping, int trialCount) override {
    if (options_.onSolve) options_.onSolve(damping, trialCount);
  }

  void DecompositionFailed(int zeroRow) override {
    ReportDecompositionFailure(ws_, zeroRow, run_.Ui());
    window_.Dismissed();
  }

  void Accepted(double newValue, double previousValue) override {
    ws_.SuggestionObjective = newValue;  // the sum-of-squares constant is proposed from it
    run_.Activity(1, "");
    run_.Activity(3, "");
    std::string text = std::string(kCrLf) + "Note: " + std::to_string(kernel_->Iterations()) + " iterations and " +
                       std::to_string(problem_.calls) + " function calls" + kCrLf + kCrLf +
                       MinLine(newValue, previousValue) + kCrLf + kCrLf + "Current minimum found at these " +
                       std::to_string(n_) + " adjusted parameter values: " + kCrLf + kCrLf +
                       ParameterLines(ws_, problem_.free.FreeValues) + kCrLf;
    ShowAndWait(text);
    if (!Profiling()) run_.Count(kernel_->Iterations(), 0);  // a profile counts its points instead
    run_.Pump();
    if (ws_.Alg.FileFrequency > 0) LogReport(newValue, previousValue);
  }

  void VerifyingConvergence() override { run_.Activity(3, "Verifying convergence by performing an axial search"); }

  void AxialCall(const AxialStep& step) override {
    if (step.improved)
      run_.Activity(4, "Last failure of convergence verification caused by parameter # " +
                           std::to_string(step.parameter));
    run_.Activity(3, "Axial function call " + FormatNumber(step.done, "###0") + " of " +
                         FormatNumber(step.total, "###0"));
    if (step.upward) run_.Pump();
  }

  void ConvergenceRejected() override { run_.Activity(3, "Convergence rejected"); }
  void CalculatingDerivatives() override { run_.Activity(3, "Calculating derivatives, one moment please..."); }

  void IterationsEnded() override {
    window_.InterruptOffered(true);
    run_.Activity(2, "");
    run_.Activity(3, "");
    run_.Ui().Message("Marquart minimization stopped",
                      "Maximum number of iterations reached or an interrupt was received", style::kInformation);
  }

  void EndedAfterTrials() override { window_.Dismissed(); }

  void Converged(double finalValue) override {
    window_.InterruptOffered(false);
    if (!Profiling()) {
      FinalReports(finalValue);
    } else if (ProfilePoint* point = options_.profile) {
      point->HasResult = true;
      point->ResultObjective = finalValue;
      int evaluated = ws_.EvaluatedParameter;
      point->ResultValue = evaluated >= 1 && evaluated <= ws_.Alg.NumParameters ? problem_.values[evaluated] : 0.0;
    }
  }

  void GaveUp() override {
    run_.ClearActivity();
    run_.Ui().Message(
        "Marquardt quits in frustration",
        std::string("Consider that:") + kCrLf + "      (1) you're already at an acceptable minimum," + kCrLf +
            "      (2) at least one parameter is too near a boundary," + kCrLf +
            "      (3) at least one parameter is dead wrt the likelihood function," + kCrLf +
            "      (4) a penalty function is affecting performance of the derivatives or parameter improvements," +
            kCrLf + "      (5) there are numerical inaccuracies near the current minimum, or" + kCrLf +
            "      (6) the model, or its implementation, is flawed",
        style::kInformation);
    window_.Dismissed();
  }

 private:
  bool Profiling() const { return ws_.ProfileEvaluationActive == kOn; }

  std::string MinLine(double newValue, double previousValue) const {
    return "Current Min> " + FormatNumber(newValue, "####0.#####     ") + " Last Min> " +
           FormatNumber(previousValue, "####0.#####     ") +
           ToleranceFigure(ws_.Alg.Tolerance, newValue - previousValue, previousValue);
  }

  bool DisplayWanted() {
    return !Profiling() && window_.DerivativesWanted() && !run_.Interrupt().Pending();
  }

  std::string DerivativeDisplay() {
    run_.Activity(1, "Please be patient while derivative output is collated");
    window_.StepAwaited(true);
    bool analytical = ws_.DerivativeMode == "A";
    const char* first =
        analytical ? "Analytical 1st derivative wrt Parameter      " : "Numerical 1st derivative wrt Parameter      ";
    const char* second =
        analytical ? "Analytical 2nd derivative wrt Parameters " : "Numerical 2nd derivative wrt Parameters ";
    const auto& index = problem_.free.FreeIndex;
    const std::vector<double>& gradient = kernel_->ShownGradient();
    const Matrix& curvature = kernel_->ShownCurvature();
    std::string text =
        std::string(kCrLf) +
        "1st & 2nd partial derivatives of the objective function wrt to the previous parameter estimates:" + kCrLf +
        kCrLf;
    for (int i = 1; i <= n_; ++i) {
      text += first + FormatNumber(index[i], "000)") + RightJustify(FormatNumber(gradient[i], "0.00000E+00"), 13) +
              kCrLf;
      for (int j = i; j <= n_; ++j)
        text += second + FormatNumber(index[i], "000") + "," + FormatNumber(index[j], "000)") +
                RightJustify(FormatNumber(curvature(i, j), "0.00000E+00"), 13) + kCrLf;
    }
    return text;
  }

  void ShowAndWait(const std::string& text) {
    bool display = DisplayWanted();
    std::string shown = display ? text + DerivativeDisplay() : text;
    window_.Show(MinimizerReport::Progress, shown);
    // Collated and shown: what waits now is the user's click, not the work
    // the panels told of.
    if (display) run_.ClearActivity(1, 2);
    if (!display) {
      window_.StepAwaited(false);
      return;
    }
    window_.WaitForStep();
  }

  void LogReport(double newValue, double previousValue) {
    if (!ws_.Log.IsOpen()) return;
    LogWriter& log = ws_.Log;
    log.WriteLine();
    log.WriteLine("Note: " + std::to_string(kernel_->Iterations()) + " iterations and " +
                  std::to_string(problem_.calls) + " function calls");
    log.WriteLine();
    log.WriteLine("Current minimum found at these " + std::to_string(n_) + " adjusted parameter values: ");
    log.WriteLine();
    WriteLogGroups(log, ws_, problem_.free.FreeValues);
    log.WriteLine();
    log.WriteLine();
    log.WriteLine(MinLine(newValue, previousValue));
    log.WriteLine();
    EndLogOnWriteError(ws_, run_.Ui());
  }

  void FinalReports(double finalValue) {
    std::string minimum = "Minimum of " + FormatNumber(finalValue, "####0.#####") + " found at these " +
                          std::to_string(n_) + " adjusted parameter values:";
    std::string counts = std::to_string(kernel_->Iterations()) + " iterations and " +
                         std::to_string(problem_.calls) + " function calls";
    ShowAndWait(std::string(kCrLf) + minimum + kCrLf + kCrLf + ParameterLines(ws_, problem_.free.FreeValues) + kCrLf +
                "This result required " + counts + kCrLf);
    window_.MinimumReported();
    run_.Ui().Message("Marquardt minimum", "Minimum found using Marquardt!", style::kInformation);
    if (ws_.Alg.FileFrequency > 0 && ws_.Log.IsOpen()) {
      ws_.Log.WriteLine(minimum);
      ws_.Log.WriteLine();
      WriteLogGroups(ws_.Log, ws_, problem_.free.FreeValues);
      ws_.Log.WriteLine();
      ws_.Log.WriteLine();
      ws_.Log.WriteLine("after " + counts);
      ws_.Log.WriteLine();
      EndLogOnWriteError(ws_, run_.Ui());
    }
  }

  RunContext& run_;
  MinimizerWindow& window_;
  Workspace& ws_;
  const Problem& problem_;
  const MinimizeOptions& options_;
  int n_;
  const MarquardtKernel* kernel_ = nullptr;
};

class MarquardtOnWindow : public WindowMinimizer {
 public:
  MarquardtOnWindow(Workspace& ws, ui::Frontend& ui, Problem& problem, const MinimizeOptions& options)
      : window_(options.window ? *options.window : noWindow_),
        run_(ws, ui, kMarquardtRun),
        settings_(MarquardtOptions::Of(ws)),
        driver_(run_, window_, problem, options),
        kernel_(problem, settings_, driver_) {
    driver_.Watch(kernel_);
  }

  MinimizeResult Run() override {
    if (std::optional<MinimizeResult> refused = RefuseSettings(run_, settings_.Validate())) return *refused;
    MinimizeResult result = kernel_.Run();
    EndRun();
    run_.ClearActivity();
    run_.Pump(true);
    return result;
  }

  const std::vector<double>& FaultVector() const override { return kernel_.FaultVector(); }
  // The values still hold the last accepted point.
  MinimizeResult AfterFault() override { return kernel_.ResultAfterFault(); }
  RunContext& Context() override { return run_; }

  // However it ended, the window is left as after a finished run: no
  // interrupt to press, no step buttons, nothing waiting.
  void EndRun() {
    window_.RunEnded();
    run_.Interrupt().Clear();
  }

 private:
  MinimizerWindow noWindow_;
  MinimizerWindow& window_;
  RunContext run_;
  MarquardtOptions settings_;
  MarquardtDriver driver_;
  MarquardtKernel kernel_;
};

}  // namespace

std::unique_ptr<WindowMinimizer> MakeMarquardtOnWindow(Workspace& ws, ui::Frontend& ui, Problem& problem,
                                                       const MinimizeOptions& options) {
  return std::make_unique<MarquardtOnWindow>(ws, ui, problem, options);
}

std::unique_ptr<WindowMinimizer> MakeWindowMinimizer(MinimizerKind kind, Workspace& ws, ui::Frontend& ui,
                                                     Problem& problem, const MinimizeOptions& options) {
  return kind == MinimizerKind::Simplex ? MakeSimplexOnWindow(ws, ui, problem, options)
                                        : MakeMarquardtOnWindow(ws, ui, problem, options);
}

MinimizeResult RunMarquardt(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  if (ws.Free.FreeCount == 0) {
    MinimizeResult result;
    result.end = RunEnd::NothingToDo;
    return result;
  }
  Problem problem = ProblemOf(ws);
  MarquardtOnWindow minimizer(ws, ui, problem, options);
  MinimizeResult result;
  RunOutcome outcome = minimizer.Context().Run(
      [&] { result = minimizer.Run(); },
      {.describe = [&](const NumericFault& fault) {
         return NumericFaultText(ws, fault.what(), minimizer.FaultVector());
       },
       .restore = {}});
  TakeProblemValues(ws, problem);
  if (outcome.faulted) {
    minimizer.EndRun();
    result = minimizer.AfterFault();
    result.message = outcome.fault;
    result.faulted = true;
  }
  return result;
}

}  // namespace kalvex
