#include "minimize/MarquardtKernel.h"

#include <cmath>

#include "workspace/NumericFault.h"
#include "workspace/ObjectiveDerivatives.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

constexpr double kInitialDamping = 0.001;
constexpr double kDampingLimit = 1e20;
constexpr int kTrialsBeforeAxialSearch = 25;
constexpr int kVerificationsBeforeGivingUp = 5;

}  // namespace

MarquardtOptions MarquardtOptions::Of(const Workspace& ws) {
  MarquardtOptions options;
  options.tolerance = ws.Alg.Tolerance;
  options.maxIterations = ws.Alg.MaxFunctionCalls;
  options.reductionFraction = ws.Alg.ReductionFraction;
  options.derivatives = ws.DerivativeMode == "A" ? Derivatives::Analytical : Derivatives::Numerical;
  return options;
}

MarquardtOptions MarquardtOptions::Of(const ProblemSettings& settings, Derivatives derivatives) {
  MarquardtOptions options;
  options.tolerance = settings.tolerance;
  options.maxIterations = settings.maxFunctionCalls;
  options.reductionFraction = settings.reductionFraction;
  options.derivatives = derivatives;
  return options;
}

std::optional<std::string> MarquardtOptions::Validate() const {
  if (!std::isfinite(tolerance)) return "The tolerance must be a finite number";
  if (!std::isfinite(reductionFraction)) return "The step size reduction fraction must be a finite number";
  if (!(relativeStep > 0) || !std::isfinite(relativeStep)) return "The relative derivative step must be positive";
  return std::nullopt;
}

MarquardtKernel::MarquardtKernel(Problem& problem, const MarquardtOptions& options, MarquardtObserver& observer)
    : p_(problem), options_(options), observer_(observer), n_(problem.free.FreeCount) {}

const std::vector<double>& MarquardtKernel::FaultVector() const { return evaluating_ ? *evaluating_ : p_.values; }

double MarquardtKernel::Evaluate(std::vector<double>& vector) {
  evaluating_ = &vector;
  double value = p_.Evaluate(vector);
  evaluating_ = nullptr;
  return value;
}

double MarquardtKernel::EvaluateWithCodeOne(std::vector<double>& vector) {
  evaluating_ = &vector;
  double value = p_.EvaluateWithCode(vector, 1);
  evaluating_ = nullptr;
  return value;
}

void MarquardtKernel::SyncFreeValuesFromValues() {
  for (int k = 1; k <= n_; ++k) p_.free.FreeValues[k] = p_.values[p_.free.FreeIndex[k]];
}

// ---- derivatives ----------------------------------------------------------

void MarquardtKernel::NumericalDerivatives() {
  const std::vector<double>& x = p_.free.FreeValues;
  const auto& index = p_.free.FreeIndex;
  double f0 = CurrentObjective_;
  double step = options_.relativeStep;
  std::vector<double> h(static_cast<std::size_t>(n_) + 1, 0.0);
  for (int i = 1; i <= n_; ++i) h[i] = x[i] != 0 ? x[i] * step : step;
  int count = 0;
  int total = n_ * (n_ + 1);
  for (int i = 1; i <= n_; ++i) {
    for (int j = i; j <= n_; ++j) {
      for (int sign = 1; sign <= 2; ++sign) {
        gridPoint_ = p_.values;
        gridPoint_[index[i]] = sign == 1 ? x[i] + h[i] : x[i] - h[i];
        if (j != i) gridPoint_[index[j]] = sign == 1 ? x[j] + h[j] : x[j] - h[j];
        double value = Evaluate(gridPoint_);
        (sign == 1 ? GridPlus_ : GridMinus_)(j, i) = value;
        observer_.HessianCall(++count, total);
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
    observer_.Pause();
  }
}

bool MarquardtKernel::AnalyticalDerivatives() {
  const auto& index = p_.free.FreeIndex;
  if (!EvaluateObjectiveDerivatives(p_.objective, p_.values, index, modelGradient_, modelSecond_)) return false;
  for (int i = 1; i <= n_; ++i) {
    FreeGradient_[i] = modelGradient_[index[i]];
    for (int j = 1; j <= n_; ++j) CurvatureMatrix_(i, j) = modelSecond_(index[i], index[j]);
  }
  return true;
}

// False when analytical derivatives were asked for and the model has none
// (the run then ends with its message).
bool MarquardtKernel::ComputeDerivatives() {
  FirstSolve_ = true;
  if (options_.derivatives == Derivatives::Analytical) {
    if (AnalyticalDerivatives()) return true;
    observer_.DerivativesMissing();
    message_ = kAnalyticalMissingMessage;
    return false;
  }
  NumericalDerivatives();
  return true;
}

// ---- axial search ---------------------------------------------------------

bool MarquardtKernel::Improves(double f, double reference) const {
  double tolerance = options_.tolerance;
  if (!(f < reference)) return false;
  if (tolerance > 0) return std::fabs(reference - f) > tolerance;
  if (tolerance < 0) return std::fabs(SafeDivide(reference - f, reference)) > std::fabs(tolerance);
  return false;
}

bool MarquardtKernel::AxialSearch(double reference) {
  std::vector<double>& values = p_.values;
  double fraction = options_.reductionFraction;
  double best = reference;
  bool failure = false;
  int bestParameter = 0;
  double bestStep = 0;
  double bestDirection = 0;
  AxialStep step;
  step.total = 2 * n_;
  // The free parameters in parameter order, each with its step.
  for (int k = 1; k <= n_; ++k) {
    const int a = p_.free.FreeIndex[k];
    const double stepSize = p_.free.FreeSteps[k];
    for (double direction : {1.0, -1.0}) {
      axialPoint_ = values;
      axialPoint_[a] = direction > 0 ? values[a] + fraction * stepSize : values[a] - fraction * stepSize;
      double f = EvaluateWithCodeOne(axialPoint_);
      step.parameter = a;
      step.upward = direction > 0;
      step.improved = Improves(f, reference);
      if (step.improved) {
        if (f < best) {
          best = f;
          bestParameter = a;
          bestStep = stepSize;
          bestDirection = direction;
        }
        failure = true;
      }
      ++step.done;
      observer_.AxialCall(step);
    }
  }
  if (failure) {
    values[bestParameter] = values[bestParameter] + bestDirection * fraction * bestStep;
    p_.objective.ExpandLinks(values);
    CurrentObjective_ = best;
    AcceptedObjective_ = best;
    SyncFreeValuesFromValues();
  }
  return failure;
}

// ---- the loop -------------------------------------------------------------

MarquardtKernel::Step MarquardtKernel::Start() {
  observer_.Starting();
  p_.calls = 0;
  IterationCount_ = 0;
  VerifyCount_ = 0;
  FreeGradient_.assign(static_cast<std::size_t>(n_) + 1, 0.0);
  CurvatureMatrix_.Resize(n_, n_);
  GridPlus_.Resize(n_, n_);
  GridMinus_.Resize(n_, n_);
  StepSolution_.Resize(n_, 1);
  lu_.Resize(n_);

  trialPoint_ = p_.values;
  TrialObjective_ = Evaluate(trialPoint_);
  CurrentObjective_ = TrialObjective_;
  AcceptedObjective_ = TrialObjective_;
  QuitRequested_ = false;
  observer_.Started();
  TrialCount_ = 0;
  return Step::NextTrial;
}

MarquardtKernel::Step MarquardtKernel::TryTrial() {
  switch (observer_.Trial(TrialCount_, TrialObjective_)) {
    case MarquardtObserver::Answer::Stop: end_ = RunEnd::Interrupted; return Step::End;
    case MarquardtObserver::Answer::FinishIteration: QuitRequested_ = true; break;
    case MarquardtObserver::Answer::Declined: QuitRequested_ = false; break;
    case MarquardtObserver::Answer::GoOn: break;
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

MarquardtKernel::Step MarquardtKernel::Accept() {
  ++IterationCount_;
  TrialCount_ = 0;
  for (int k = 1; k <= n_; ++k) {
    int parameter = p_.free.FreeIndex[k];
    p_.values[parameter] = trialPoint_[parameter];
    p_.free.FreeValues[k] = trialPoint_[parameter];
  }
  // A follower takes its leader's value, as every evaluation of the point gave it.
  p_.objective.ExpandLinks(p_.values);
  AcceptedObjective_ = TrialObjective_;
  observer_.Accepted(TrialObjective_, CurrentObjective_);

  double d = CurrentObjective_ - TrialObjective_;
  double tolerance = options_.tolerance;
  bool proposed = false;
  if (tolerance > 0) {
    proposed = std::fabs(d) < tolerance;
  } else if (tolerance < 0) {
    // A current value of 0 cannot give a relative change.
    proposed = std::fabs(tolerance) >= std::fabs(SafeDivide(d, CurrentObjective_));
  }

  if (proposed) {
    observer_.VerifyingConvergence();
    bool better = AxialSearch(CurrentObjective_);
    ++VerifyCount_;
    if (!better) return Step::Final;
    if (VerifyCount_ == kVerificationsBeforeGivingUp) return Step::GiveUp;
    if (QuitRequested_) {
      end_ = RunEnd::Interrupted;
      return Step::End;
    }
    observer_.ConvergenceRejected();
    observer_.CalculatingDerivatives();
    return Rederive();
  }

  // The limit counts accepted iterations; reaching or passing it stops.
  if (QuitRequested_ || IterationCount_ >= options_.maxIterations) {
    observer_.IterationsEnded();
    end_ = QuitRequested_ ? RunEnd::Interrupted : RunEnd::Limit;
    return Step::End;
  }
  CurrentObjective_ = TrialObjective_;
  observer_.CalculatingDerivatives();
  if (!ComputeDerivatives()) {
    end_ = RunEnd::Error;
    return Step::End;
  }
  Damping_ = Damping_ * 0.1;
  return Step::Solve;
}

MarquardtKernel::Step MarquardtKernel::SolveUntilTrial() {
  auto pause = [this] { observer_.Pause(); };
  for (;;) {
    if (FirstSolve_) {
      ShownGradient_ = FreeGradient_;
      ShownCurvature_ = CurvatureMatrix_;
      FirstSolve_ = false;
    }
    if (Damping_ > kDampingLimit) return Step::GiveUp;
    observer_.Solving(Damping_, TrialCount_);
    for (int u = 1; u <= n_; ++u) {
      for (int v = 1; v <= n_; ++v) lu_.DecompMatrix(u, v) = CurvatureMatrix_(u, v);
      lu_.DecompMatrix(u, u) = std::fabs(CurvatureMatrix_(u, u)) * (Damping_ + 1);
      StepSolution_(u, 1) = FreeGradient_[u];
    }
    if (LuStatus status = LuDecompose(lu_, n_, pause); !status.Ok()) {
      observer_.DecompositionFailed(status.ZeroRow);
      end_ = RunEnd::DecompositionFailed;
      return Step::End;
    }
    LuSolve(lu_, n_, 1, StepSolution_, pause);
    trialPoint_ = p_.values;
    for (int k = 1; k <= n_; ++k) trialPoint_[p_.free.FreeIndex[k]] = p_.free.FreeValues[k] - StepSolution_(k, 1);
    if (TrialCount_ < kTrialsBeforeAxialSearch) {
      ++TrialCount_;
      return Step::NextTrial;
    }
    Step next = AfterTrialLimit();
    if (next != Step::Solve) return next;
  }
}

// 25 trials without an improvement: an axial search decides whether to go on.
MarquardtKernel::Step MarquardtKernel::AfterTrialLimit() {
  bool better = AxialSearch(CurrentObjective_);
  ++VerifyCount_;
  if (!better || VerifyCount_ == kVerificationsBeforeGivingUp) return Step::GiveUp;
  if (QuitRequested_) {
    observer_.EndedAfterTrials();
    end_ = RunEnd::Interrupted;
    return Step::End;
  }
  observer_.ConvergenceRejected();
  return Rederive();
}

// After a rejected convergence: damping and trials start again at the new point.
MarquardtKernel::Step MarquardtKernel::Rederive() {
  Damping_ = kInitialDamping;
  TrialCount_ = 0;
  if (!ComputeDerivatives()) {
    end_ = RunEnd::Error;
    return Step::End;
  }
  return Step::Solve;
}

void MarquardtKernel::Finish(Step how) {
  if (how == Step::Final) {
    finalPoint_ = p_.values;
    finalValue_ = EvaluateWithCodeOne(finalPoint_);
    end_ = RunEnd::Converged;
    observer_.Converged(finalValue_);
  } else if (how == Step::GiveUp) {
    end_ = RunEnd::GaveUp;
    observer_.GaveUp();
  }
}

MinimizeResult MarquardtKernel::Result() const {
  MinimizeResult result;
  result.end = end_;
  result.message = message_;
  result.objective = end_ == RunEnd::Converged ? finalValue_ : AcceptedObjective_;
  result.iterations = IterationCount_;
  result.functionCalls = p_.calls;
  result.totalFunctionCalls = p_.calls;
  result.restarts = static_cast<int16_t>(VerifyCount_);
  result.point = p_.values;
  return result;
}

MinimizeResult MarquardtKernel::ResultAfterFault() const {
  MinimizeResult result = Result();
  result.end = RunEnd::Error;
  result.objective = AcceptedObjective_;
  return result;
}

MinimizeResult MarquardtKernel::Run() {
  if (n_ == 0) {
    MinimizeResult result;
    result.end = RunEnd::NothingToDo;
    result.point = p_.values;
    return result;
  }
  Step step = Start();
  while (step == Step::NextTrial || step == Step::Solve) {
    if (step == Step::NextTrial) step = TryTrial();
    if (step == Step::Solve) step = SolveUntilTrial();
  }
  Finish(step);
  return Result();
}

}  // namespace kalvex
