#pragma once
// The Marquardt minimizer, quiet: damped Newton steps from numerical (or the
// model's analytical) derivatives, with an axial search confirming
// convergence. An observer hears of each step and answers whether the run
// goes on; the interactive driver (Marquardt.h) is one such observer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "minimize/LuDecomposition.h"
#include "minimize/MinimizeResult.h"
#include "workspace/Matrix.h"

namespace kalvex {
class Problem;
struct ProblemSettings;
struct Workspace;

// The relative step of the numerical derivatives.
inline constexpr double kRelativeStep = 0.001;

enum class Derivatives { Numerical, Analytical };

struct MarquardtOptions {
  double tolerance = 1e-6;          // > 0 absolute, < 0 relative, 0 never proposes convergence
  int32_t maxIterations = 9999;     // accepted iterations
  double reductionFraction = 0.1;   // of the steps, for the axial search
  double relativeStep = kRelativeStep;
  Derivatives derivatives = Derivatives::Numerical;

  // The algorithm data's settings and the derivative choice (DerivativeMode).
  static MarquardtOptions Of(const Workspace& ws);
  static MarquardtOptions Of(const ProblemSettings& settings, Derivatives derivatives);
  std::optional<std::string> Validate() const;
};

// One step of the axial search that verifies a proposed convergence.
struct AxialStep {
  int parameter = 0;     // the model parameter moved
  bool upward = true;    // + ReductionFraction x step, then -
  bool improved = false; // the point is better than the reference by more than the tolerance
  int done = 0, total = 0;
};

class MarquardtObserver {
 public:
  virtual ~MarquardtObserver() = default;
  virtual void Starting() {}  // before the first evaluation
  virtual void Started() {}   // after it
  // Before each trial: Stop ends the run now (interrupted); FinishIteration
  // ends it once the current iteration is accepted; Declined drops such a
  // request again.
  enum class Answer { GoOn, Declined, Stop, FinishIteration };
  virtual Answer Trial(int trialCount, double trialObjective) {
    (void)trialCount, (void)trialObjective;
    return Answer::GoOn;
  }
  virtual void HessianCall(int done, int total) { (void)done, (void)total; }
  // Between rows of the derivatives and of the decomposition.
  virtual void Pause() {}
  virtual void DerivativesMissing() {}
  virtual void Solving(double damping, int trialCount) { (void)damping, (void)trialCount; }
  virtual void DecompositionFailed(int zeroRow) { (void)zeroRow; }
  virtual void Accepted(double newValue, double previousValue) { (void)newValue, (void)previousValue; }
  virtual void VerifyingConvergence() {}
  virtual void AxialCall(const AxialStep& step) { (void)step; }
  virtual void ConvergenceRejected() {}
  virtual void CalculatingDerivatives() {}
  // The iteration limit or a requested end was reached after an accepted iteration.
  virtual void IterationsEnded() {}
  // 25 rejected trials, a better axial point, and a requested end.
  virtual void EndedAfterTrials() {}
  virtual void Converged(double finalValue) { (void)finalValue; }
  virtual void GaveUp() {}
};

// One minimization of the problem's free parameters; evaluations are
// counted in problem.calls, the final value is evaluated with a literal
// NF = 1 and analytical derivatives come from the problem's objective.
// problem.values (and free.FreeValues) hold the last accepted point, links
// expanded, whatever way the run ends; the result's point is that vector. A
// NumericFault passes through; ResultAfterFault then gives the counts.
class MarquardtKernel {
 public:
  MarquardtKernel(Problem& problem, const MarquardtOptions& options, MarquardtObserver& observer);
  MinimizeResult Run();
  MinimizeResult ResultAfterFault() const;
  // The full vector being evaluated when a fault came (the values outside an evaluation).
  const std::vector<double>& FaultVector() const;

  int32_t Iterations() const { return IterationCount_; }
  // The derivatives the last solve started from.
  const std::vector<double>& ShownGradient() const { return ShownGradient_; }
  const Matrix& ShownCurvature() const { return ShownCurvature_; }

 private:
  enum class Step { NextTrial, Solve, End, Final, GiveUp };
  Step Start();
  Step TryTrial();
  Step Accept();
  Step SolveUntilTrial();
  Step AfterTrialLimit();
  Step Rederive();
  void Finish(Step how);
  double Evaluate(std::vector<double>& vector);
  double EvaluateWithCodeOne(std::vector<double>& vector);
  bool ComputeDerivatives();
  void NumericalDerivatives();
  bool AnalyticalDerivatives();
  bool AxialSearch(double reference);
  bool Improves(double f, double reference) const;
  void SyncFreeValuesFromValues();
  MinimizeResult Result() const;

  Problem& p_;
  MarquardtOptions options_;
  MarquardtObserver& observer_;
  int n_;

  double CurrentObjective_ = 0;
  double TrialObjective_ = 0;
  double AcceptedObjective_ = 0;  // the value of the point in Values
  double Damping_ = 0;
  int TrialCount_ = 0;
  int VerifyCount_ = 0;
  bool QuitRequested_ = false;
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

inline constexpr const char* kAnalyticalMissingMessage = "Sorry, analytical derivatives seem not to have been provided";

}  // namespace kalvex
