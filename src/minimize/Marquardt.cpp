#include "minimize/Marquardt.h"

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "minimize/LuDecomposition.h"
#include "minimize/MinimizerReports.h"
#include "ui/Frontend.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

constexpr double kInitialDamping = 0.001;
constexpr double kDampingLimit = 1e20;
constexpr int kTrialsBeforeAxialSearch = 25;
constexpr int kVerificationsBeforeGivingUp = 5;

// How the loop goes on after one of its steps.
enum class Step { NextTrial, Solve, End, Final, GiveUp };

class MarquardtRun {
 public:
  MarquardtRun(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options)
      : ws_(ws), ui_(ui), options_(options), n_(ws.Free.FreeCount) {}

  MinimizeResult Run();

 private:
  // Loop steps.
  Step Start();
  bool HandleInterrupt();  // true: the run ends at once
  Step TryTrial();
  Step Accept();
  Step SolveUntilTrial();
  Step AfterTrialLimit();
  void Finish(Step how);

  // Pieces.
  double Evaluate(std::vector<double>& vector);
  double EvaluateWithCodeOne(std::vector<double>& vector);
  bool ComputeDerivatives();
  // After a rejected convergence: damping and trials start again at the new point.
  Step Rederive();
  void NumericalDerivatives();
  bool AnalyticalDerivatives();
  bool AxialSearch(double reference);
  bool Improves(double f, double reference) const;
  void SyncFreeValuesFromValues();
  void ScreenReport(double newValue, double previousValue);
  void LogReport(double newValue, double previousValue);
  void FinalReports(double finalValue);
  std::string DerivativeDisplay();
  bool DisplayWanted() const;
  void ShowAndWait(const std::string& text);
  std::string MinLine(double newValue, double previousValue) const;

  Workspace& ws_;
  ui::Frontend& ui_;
  const MinimizeOptions& options_;
  int n_;

  double CurrentObjective_ = 0;
  double TrialObjective_ = 0;
  double AcceptedObjective_ = 0;  // the value of the point in Values
  double Damping_ = kInitialDamping;
  double RelativeStep_ = kRelativeStep;
  int TrialCount_ = 0;
  int VerifyCount_ = 0;
  int16_t QuitRequested_ = 0;
  int32_t IterationCount_ = 0;
  bool FirstSolve_ = false;
  RunEnd end_ = RunEnd::Error;
  std::string message_;
  double finalValue_ = 0;

  std::vector<double> FreeGradient_, ShownGradient_;
  Matrix CurvatureMatrix_, ShownCurvature_;
  Matrix GridPlus_, GridMinus_;  // DerivativeGrid(1, j, i) and (2, j, i)
  Matrix StepSolution_;
  LuWork lu_;
  std::vector<double> trialPoint_, gridPoint_, axialPoint_, finalPoint_;
  std::vector<double> modelGradient_;
  Matrix modelSecond_;
  const std::vector<double>* evaluating_ = nullptr;  // the vector a fault belongs to
};

double MarquardtRun::Evaluate(std::vector<double>& vector) {
  evaluating_ = &vector;
  double value = EvaluateObjective(ws_, vector);
  evaluating_ = nullptr;
  return value;
}

double MarquardtRun::EvaluateWithCodeOne(std::vector<double>& vector) {
  evaluating_ = &vector;
  double value = EvaluateObjectiveWithCode(ws_, vector, 1);
  evaluating_ = nullptr;
  return value;
}

void MarquardtRun::SyncFreeValuesFromValues() {
  for (int k = 1; k <= n_; ++k) ws_.Free.FreeValues[k] = ws_.Alg.Values[ws_.Free.FreeIndex[k]];
}

// ---- derivatives ----------------------------------------------------------

void MarquardtRun::NumericalDerivatives() {
  const std::vector<double>& x = ws_.Free.FreeValues;
  const auto& index = ws_.Free.FreeIndex;
  double f0 = CurrentObjective_;
  std::vector<double> h(static_cast<std::size_t>(n_) + 1, 0.0);
  for (int i = 1; i <= n_; ++i) h[i] = x[i] != 0 ? x[i] * RelativeStep_ : RelativeStep_;
  int count = 0;
  std::string ofTotal = " of " + FormatNumber(n_ * (n_ + 1), "###0");
  bool profiling = ws_.ProfileEvaluationActive == kOn;
  for (int i = 1; i <= n_; ++i) {
    for (int j = i; j <= n_; ++j) {
      for (int sign = 1; sign <= 2; ++sign) {
        gridPoint_ = ws_.Alg.Values;
        gridPoint_[index[i]] = sign == 1 ? x[i] + h[i] : x[i] - h[i];
        if (j != i) gridPoint_[index[j]] = sign == 1 ? x[j] + h[j] : x[j] - h[j];
        double value = Evaluate(gridPoint_);
        (sign == 1 ? GridPlus_ : GridMinus_)(j, i) = value;
        ++count;
        if (!profiling) {
          SetPanel(ui_, 2, "Hessian function call " + FormatNumber(count, "###0") + ofTotal);
          ui_.PumpEvents();
        }
        if (sign == 2 && j == i)
          FreeGradient_[i] = CheckFinite(SafeDivide(GridPlus_(i, i) - GridMinus_(i, i), 2 * h[i]));
      }
    }
  }
  auto d = [&](int i, int j) { return (GridPlus_(j, i) - f0) + (GridMinus_(j, i) - f0); };
  for (int i = 1; i <= n_; ++i) {
    CurvatureMatrix_(i, i) = CheckFinite(SafeDivide(d(i, i), h[i] * h[i]));
    for (int j = i + 1; j <= n_; ++j) {
      double a = CheckFinite(SafeDivide(d(i, j) - d(i, i) - d(j, j), 2 * h[i] * h[j]));
      CurvatureMatrix_(i, j) = a;
      CurvatureMatrix_(j, i) = a;
    }
    ui_.PumpEvents();
  }
}

bool MarquardtRun::AnalyticalDerivatives() {
  int parameters = ws_.Alg.NumParameters;
  ExpandLinks(ws_, ws_.Alg.Values);
  modelGradient_.assign(static_cast<std::size_t>(parameters) + 1, 0.0);
  modelSecond_.Resize(parameters, parameters);
  ws_.model->Derivatives(std::span<const double>(ws_.Alg.Values), std::span<double>(modelGradient_), modelSecond_);
  const auto& index = ws_.Free.FreeIndex;
  bool supplied = false;
  for (int i = 1; i <= n_ && !supplied; ++i)
    for (int j = i; j <= n_; ++j)
      if (modelSecond_(index[i], index[j]) != 0) supplied = true;
  if (!supplied) return false;
  for (int i = 1; i <= n_; ++i) {
    FreeGradient_[i] = CheckFinite(modelGradient_[index[i]]);
    for (int j = 1; j <= n_; ++j) CurvatureMatrix_(i, j) = CheckFinite(modelSecond_(index[i], index[j]));
  }
  return true;
}

// False when analytical derivatives were asked for and the model has none
// (the run then ends with its message).
bool MarquardtRun::ComputeDerivatives() {
  FirstSolve_ = true;
  if (ws_.DerivativeMode == "A") {
    if (AnalyticalDerivatives()) return true;
    ui_.Message("Analytical derivatives missing", "Sorry, analytical derivatives seem not to have been provided",
                style::kInformation);
    message_ = "Sorry, analytical derivatives seem not to have been provided";
    return false;
  }
  NumericalDerivatives();
  return true;
}

// ---- axial search ---------------------------------------------------------

bool MarquardtRun::Improves(double f, double reference) const {
  double tolerance = ws_.Alg.Tolerance;
  if (!(f < reference)) return false;
  if (tolerance > 0) return std::fabs(reference - f) > tolerance;
  if (tolerance < 0) return std::fabs(SafeDivide(reference - f, reference)) > std::fabs(tolerance);
  return false;
}

bool MarquardtRun::AxialSearch(double reference) {
  AlgorithmData& alg = ws_.Alg;
  double best = reference;
  bool failure = false;
  int bestParameter = 0;
  double bestDirection = 0;
  int count = 0;
  std::string ofTotal = " of " + FormatNumber(2 * n_, "###0");
  for (int a = 1; a <= alg.NumParameters; ++a) {
    if (alg.Steps[a] == 0) continue;
    for (double direction : {1.0, -1.0}) {
      axialPoint_ = alg.Values;
      axialPoint_[a] = direction > 0 ? alg.Values[a] + alg.ReductionFraction * alg.Steps[a]
                                     : alg.Values[a] - alg.ReductionFraction * alg.Steps[a];
      double f = EvaluateWithCodeOne(axialPoint_);
      if (Improves(f, reference)) {
        if (f < best) {
          best = f;
          bestParameter = a;
          bestDirection = direction;
        }
        failure = true;
        SetPanel(ui_, 4, "Last failure of convergence verification caused by parameter # " + std::to_string(a));
      }
      ++count;
      SetPanel(ui_, 3, "Axial function call " + FormatNumber(count, "###0") + ofTotal);
      if (direction > 0) ui_.PumpEvents();
    }
  }
  if (failure) {
    alg.Values[bestParameter] = alg.Values[bestParameter] + bestDirection * alg.ReductionFraction * alg.Steps[bestParameter];
    ExpandLinks(ws_, alg.Values);
    CurrentObjective_ = best;
    AcceptedObjective_ = best;
    SyncFreeValuesFromValues();
  }
  return failure;
}

// ---- reports --------------------------------------------------------------

std::string MarquardtRun::MinLine(double newValue, double previousValue) const {
  return "Current Min> " + FormatNumber(newValue, "####0.#####     ") + " Last Min> " +
         FormatNumber(previousValue, "####0.#####     ") +
         ToleranceFigure(ws_.Alg.Tolerance, newValue - previousValue, previousValue);
}

bool MarquardtRun::DisplayWanted() const {
  return ws_.ProfileEvaluationActive != kOn && ws_.ShowDerivatives == "yes" && ws_.MarquardtInterrupt != -1;
}

std::string MarquardtRun::DerivativeDisplay() {
  SetPanel(ui_, 1, "Please be patient while derivative output is collated");
  ws_.DerivativeWait = 0;
  for (const char* button : {"cmdIteration", "cmdContinue"}) {
    ui_.SetVisible(kMarquardtForm, button, true);
    ui_.SetEnabled(kMarquardtForm, button, true);
  }
  bool analytical = ws_.DerivativeMode == "A";
  const char* first = analytical ? "Analytical 1st derivative wrt Parameter      " : "Numerical 1st derivative wrt Parameter      ";
  const char* second = analytical ? "Analytical 2nd derivative wrt Parameters " : "Numerical 2nd derivative wrt Parameters ";
  const auto& index = ws_.Free.FreeIndex;
  std::string text = std::string(kCrLf) +
                     "1st & 2nd partial derivatives of the objective function wrt to the previous parameter estimates:" +
                     kCrLf + kCrLf;
  for (int i = 1; i <= n_; ++i) {
    text += first + FormatNumber(index[i], "000)") + RightJustify(FormatNumber(ShownGradient_[i], "0.00000E+00"), 13) +
            kCrLf;
    for (int j = i; j <= n_; ++j)
      text += second + FormatNumber(index[i], "000") + "," + FormatNumber(index[j], "000)") +
              RightJustify(FormatNumber(ShownCurvature_(i, j), "0.00000E+00"), 13) + kCrLf;
  }
  return text;
}

void MarquardtRun::ShowAndWait(const std::string& text) {
  bool display = DisplayWanted();
  std::string shown = display ? text + DerivativeDisplay() : text;
  ui_.SetPaneText(kMarquardtForm, kMarquardtPane, shown);
  if (!display) {
    for (const char* button : {"cmdIteration", "cmdContinue"}) {
      ui_.SetVisible(kMarquardtForm, button, false);
      ui_.SetEnabled(kMarquardtForm, button, false);
    }
    return;
  }
  // Closing the window also releases the wait.
  while (ws_.DerivativeWait == 0 && ui_.IsWindowOpen(kMarquardtForm)) ui_.WaitForEvents();
}

void MarquardtRun::ScreenReport(double newValue, double previousValue) {
  SetPanel(ui_, 1, "");
  SetPanel(ui_, 3, "");
  std::string text = std::string(kCrLf) + "Note: " + std::to_string(IterationCount_) + " iterations and " +
                     std::to_string(ws_.FunctionCallCount) + " function calls" + kCrLf + kCrLf +
                     MinLine(newValue, previousValue) + kCrLf + kCrLf + "Current minimum found at these " +
                     std::to_string(n_) + " adjusted parameter values: " + kCrLf + kCrLf +
                     ParameterLines(ws_, ws_.Free.FreeValues) + kCrLf;
  ShowAndWait(text);
}

void MarquardtRun::LogReport(double newValue, double previousValue) {
  if (!ws_.Log.IsOpen()) return;
  LogWriter& log = ws_.Log;
  log.WriteLine();
  log.WriteLine("Note: " + std::to_string(IterationCount_) + " iterations and " +
                std::to_string(ws_.FunctionCallCount) + " function calls");
  log.WriteLine();
  log.WriteLine("Current minimum found at these " + std::to_string(n_) + " adjusted parameter values: ");
  log.WriteLine();
  WriteLogGroups(log, ws_, ws_.Free.FreeValues);
  log.WriteLine();
  log.WriteLine();
  log.WriteLine(MinLine(newValue, previousValue));
  log.WriteLine();
}

void MarquardtRun::FinalReports(double finalValue) {
  std::string minimum = "Minimum of " + FormatNumber(finalValue, "####0.#####") + " found at these " +
                        std::to_string(n_) + " adjusted parameter values:";
  std::string counts = std::to_string(IterationCount_) + " iterations and " + std::to_string(ws_.FunctionCallCount) +
                       " function calls";
  ShowAndWait(std::string(kCrLf) + minimum + kCrLf + kCrLf + ParameterLines(ws_, ws_.Free.FreeValues) + kCrLf +
              "This result required " + counts + kCrLf);
  ws_.DerivativeWait = 1;
  ws_.ShowDerivatives = "no";
  ui_.SetVisible(kMarquardtForm, "cmdIteration", false);
  ui_.SetVisible(kMarquardtForm, "cmdContinue", false);
  ui_.Message("Marquardt minimum", "Minimum found using Marquardt!", style::kInformation);
  if (ws_.Alg.FileFrequency > 0 && ws_.Log.IsOpen()) {
    ws_.Log.WriteLine(minimum);
    ws_.Log.WriteLine();
    WriteLogGroups(ws_.Log, ws_, ws_.Free.FreeValues);
    ws_.Log.WriteLine();
    ws_.Log.WriteLine();
    ws_.Log.WriteLine("after " + counts);
    ws_.Log.WriteLine();
  }
}

// ---- the loop -------------------------------------------------------------

Step MarquardtRun::Start() {
  ui_.ShowWindow(kMarquardtForm);
  ui_.SetEnabled(kMarquardtForm, "cmdStop", false);
  ui_.SetPaneText(kMarquardtForm, kMarquardtPane, "");
  SetPanel(ui_, 1, "Initial function call, one moment please...");
  ui_.PumpEvents(true);

  ws_.FunctionCallCount = 0;
  IterationCount_ = 0;
  RelativeStep_ = kRelativeStep;
  VerifyCount_ = 0;
  int size = n_ + 1;
  FreeGradient_.assign(static_cast<std::size_t>(size), 0.0);
  CurvatureMatrix_.Resize(n_, n_);
  GridPlus_.Resize(n_, n_);
  GridMinus_.Resize(n_, n_);
  StepSolution_.Resize(n_, 1);
  lu_.Resize(n_);

  trialPoint_ = ws_.Alg.Values;
  TrialObjective_ = Evaluate(trialPoint_);
  CurrentObjective_ = TrialObjective_;
  AcceptedObjective_ = TrialObjective_;
  QuitRequested_ = 0;
  ws_.MarquardtInterrupt = 0;
  ui_.SetEnabled(kMarquardtForm, "cmdStop", true);
  ui_.SetCaption(kMarquardtForm, "cmdStop", "&Interrupt this minimization");
  SetPanel(ui_, 2, "");
  SetPanel(ui_, 1, "");
  TrialCount_ = 0;
  return Step::NextTrial;
}

bool MarquardtRun::HandleInterrupt() {
  if (ws_.MarquardtInterrupt != -1) return false;
  ws_.MarquardtInterrupt = 0;
  ui_.SetEnabled(kMarquardtForm, "cmdStop", true);
  SetPanel(ui_, 2, "");
  const int yesNo = style::kYesNo + style::kQuestion;
  if (ws_.ProfileEvaluationActive != kOn) {
    if (ui_.Message("Marquardt interrupt", "Interrupt received. Do you want to quit minimizing?", yesNo) ==
        Answer::Yes) {
      QuitRequested_ = -1;
      SetPanel(ui_, 1, "Interrupt will occur once this iteration is complete");
    } else {
      QuitRequested_ = 0;
    }
    return false;
  }
  if (ui_.Message("Marquardt interrupt", "Interrupt received. Do you want to quit the ML procedure?", yesNo) ==
      Answer::Yes) {
    if (ProfilePoint* point = options_.profile) {
      point->PointReached = point->PointIndex;
      point->PointIndex = point->PointCount + 2;
    }
    return true;
  }
  if (ui_.Message("Marquardt interrupt", "Do you want to continue starting with the NEXT point?",
                  yesNo + style::kSecondDefault) == Answer::Yes)
    return true;
  QuitRequested_ = 0;
  return false;
}

Step MarquardtRun::TryTrial() {
  SetPanel(ui_, 3, "Working to improve estimates. Objective function for trial # " + std::to_string(TrialCount_) +
                       ", is : " + FormatNumber(TrialObjective_, " 0.00000E+00"));
  if (HandleInterrupt()) {
    end_ = RunEnd::Interrupted;
    return Step::End;
  }
  if (TrialCount_ == 0) {
    Damping_ = kInitialDamping;
    if (!ComputeDerivatives()) {
      end_ = RunEnd::Error;
      return Step::End;
    }
    return Step::Solve;
  }
  TrialObjective_ = Evaluate(trialPoint_);
  if (TrialObjective_ > CurrentObjective_) {
    Damping_ = Damping_ * 10;
    return Step::Solve;
  }
  return Accept();  // an equal value counts as success
}

Step MarquardtRun::Accept() {
  ++IterationCount_;
  TrialCount_ = 0;
  for (int k = 1; k <= n_; ++k) {
    int parameter = ws_.Free.FreeIndex[k];
    ws_.Alg.Values[parameter] = trialPoint_[parameter];
    ws_.Free.FreeValues[k] = trialPoint_[parameter];
  }
  AcceptedObjective_ = TrialObjective_;
  ScreenReport(TrialObjective_, CurrentObjective_);
  ui_.PumpEvents();
  if (ws_.Alg.FileFrequency > 0) LogReport(TrialObjective_, CurrentObjective_);

  double d = CurrentObjective_ - TrialObjective_;
  double tolerance = ws_.Alg.Tolerance;
  bool proposed = false;
  if (tolerance > 0) {
    proposed = std::fabs(d) < tolerance;
  } else if (tolerance < 0) {
    // A current value of 0 cannot give a relative change.
    proposed = std::fabs(tolerance) >= std::fabs(SafeDivide(d, CurrentObjective_));
  }

  if (proposed) {
    SetPanel(ui_, 3, "Verifying convergence by performing an axial search");
    bool better = AxialSearch(CurrentObjective_);
    ++VerifyCount_;
    if (!better) return Step::Final;
    if (VerifyCount_ == kVerificationsBeforeGivingUp) return Step::GiveUp;
    if (QuitRequested_ == -1) {
      end_ = RunEnd::Interrupted;
      return Step::End;
    }
    SetPanel(ui_, 3, "Convergence rejected");
    SetPanel(ui_, 3, "Calculating derivatives, one moment please...");
    return Rederive();
  }

  // The limit counts accepted iterations; reaching or passing it stops.
  if (QuitRequested_ == -1 || IterationCount_ >= ws_.Alg.MaxFunctionCalls) {
    ui_.SetEnabled(kMarquardtForm, "cmdStop", true);
    SetPanel(ui_, 2, "");
    SetPanel(ui_, 3, "");
    ui_.Message("Marquart minimization stopped", "Maximum number of iterations reached or an interrupt was received",
                style::kInformation);
    end_ = QuitRequested_ == -1 ? RunEnd::Interrupted : RunEnd::Limit;
    return Step::End;
  }
  CurrentObjective_ = TrialObjective_;
  SetPanel(ui_, 3, "Calculating derivatives, one moment please...");
  if (!ComputeDerivatives()) {
    end_ = RunEnd::Error;
    return Step::End;
  }
  Damping_ = Damping_ * 0.1;
  return Step::Solve;
}

Step MarquardtRun::SolveUntilTrial() {
  for (;;) {
    if (FirstSolve_) {
      ShownGradient_ = FreeGradient_;
      ShownCurvature_ = CurvatureMatrix_;
      FirstSolve_ = false;
    }
    if (Damping_ > kDampingLimit) return Step::GiveUp;
    if (options_.onSolve) options_.onSolve(Damping_, TrialCount_);
    for (int u = 1; u <= n_; ++u) {
      for (int v = 1; v <= n_; ++v) lu_.DecompMatrix(u, v) = CurvatureMatrix_(u, v);
      lu_.DecompMatrix(u, u) = std::fabs(CurvatureMatrix_(u, u)) * (Damping_ + 1);
      StepSolution_(u, 1) = FreeGradient_[u];
    }
    auto pump = [this] { ui_.PumpEvents(); };
    if (LuStatus status = LuDecompose(lu_, n_, pump); !status.Ok()) {
      ReportDecompositionFailure(ws_, status.ZeroRow, ui_);
      ui_.CloseWindow(kMarquardtForm);
      end_ = RunEnd::DecompositionFailed;
      return Step::End;
    }
    LuSolve(lu_, n_, 1, StepSolution_, pump);
    trialPoint_ = ws_.Alg.Values;
    for (int k = 1; k <= n_; ++k)
      trialPoint_[ws_.Free.FreeIndex[k]] = ws_.Free.FreeValues[k] - StepSolution_(k, 1);
    if (TrialCount_ < kTrialsBeforeAxialSearch) {
      ++TrialCount_;
      return Step::NextTrial;
    }
    Step next = AfterTrialLimit();
    if (next != Step::Solve) return next;
  }
}

// 25 trials without an improvement: an axial search decides whether to go on.
Step MarquardtRun::AfterTrialLimit() {
  bool better = AxialSearch(CurrentObjective_);
  ++VerifyCount_;
  if (!better || VerifyCount_ == kVerificationsBeforeGivingUp) return Step::GiveUp;
  if (QuitRequested_ == -1) {
    ui_.CloseWindow(kMarquardtForm);
    end_ = RunEnd::Interrupted;
    return Step::End;
  }
  SetPanel(ui_, 3, "Convergence rejected");
  return Rederive();
}

Step MarquardtRun::Rederive() {
  Damping_ = kInitialDamping;
  TrialCount_ = 0;
  if (!ComputeDerivatives()) {
    end_ = RunEnd::Error;
    return Step::End;
  }
  return Step::Solve;
}

void MarquardtRun::Finish(Step how) {
  if (how == Step::Final) {
    finalPoint_ = ws_.Alg.Values;
    finalValue_ = EvaluateWithCodeOne(finalPoint_);
    ui_.SetEnabled(kMarquardtForm, "cmdStop", false);
    if (ws_.ProfileEvaluationActive != kOn) {
      FinalReports(finalValue_);
    } else if (ProfilePoint* point = options_.profile) {
      point->HasResult = true;
      point->ResultObjective = finalValue_;
      int evaluated = ws_.EvaluatedParameter;
      point->ResultValue = evaluated >= 1 && evaluated <= ws_.Alg.NumParameters ? ws_.Alg.Values[evaluated] : 0.0;
    }
    end_ = RunEnd::Converged;
  } else if (how == Step::GiveUp) {
    ClearPanels(ui_, 1, 4);
    ui_.Message("Marquardt quits in frustration",
                std::string("Consider that:") + kCrLf + "      (1) you're already at an acceptable minimum," + kCrLf +
                    "      (2) at least one parameter is too near a boundary," + kCrLf +
                    "      (3) at least one parameter is dead wrt the likelihood function," + kCrLf +
                    "      (4) a penalty function is affecting performance of the derivatives or parameter "
                    "improvements," +
                    kCrLf + "      (5) there are numerical inaccuracies near the current minimum, or" + kCrLf +
                    "      (6) the model, or its implementation, is flawed",
                style::kInformation);
    ui_.CloseWindow(kMarquardtForm);
    end_ = RunEnd::GaveUp;
  }
  ClearPanels(ui_, 1, 4);
  ui_.PumpEvents(true);
}

MinimizeResult MarquardtRun::Run() {
  MinimizeResult result;
  if (n_ == 0) {
    result.end = RunEnd::NothingToDo;
    return result;
  }
  try {
    Step step = Start();
    while (step == Step::NextTrial || step == Step::Solve) {
      if (step == Step::NextTrial) step = TryTrial();
      if (step == Step::Solve) step = SolveUntilTrial();
    }
    Finish(step);
    result.objective = end_ == RunEnd::Converged ? finalValue_ : AcceptedObjective_;
  } catch (const NumericFault& fault) {
    // Values still holds the last accepted point.
    const std::vector<double>& vector = evaluating_ ? *evaluating_ : ws_.Alg.Values;
    std::string text = NumericFaultText(ws_, fault.what(), vector);
    evaluating_ = nullptr;
    ClearPanels(ui_, 1, 4);
    ui_.Message("Marquardt minimization", text, style::kCritical);
    end_ = RunEnd::Error;
    message_ = fault.what();
    result.objective = AcceptedObjective_;
  }
  result.end = end_;
  result.message = message_;
  result.iterations = IterationCount_;
  result.functionCalls = ws_.FunctionCallCount;
  result.totalFunctionCalls = ws_.FunctionCallCount;
  result.restarts = static_cast<int16_t>(VerifyCount_);
  return result;
}

}  // namespace

MinimizeResult RunMarquardt(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  MarquardtRun run(ws, ui, options);
  return run.Run();
}

}  // namespace kalvex
