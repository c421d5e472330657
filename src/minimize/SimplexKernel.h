#pragma once
// The downhill Simplex over the FreeParameters, quiet: no window, no
// question, no report. An observer hears of each step and answers whether
// the run goes on; the interactive driver (Simplex.h) is one such observer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "minimize/MinimizeResult.h"

namespace kalvex {
class Problem;
struct ProblemSettings;
struct SimplexState;

struct SimplexOptions {
  double tolerance = 1e-6;         // > 0 absolute, < 0 relative, 0 never proposes convergence
  int32_t maxFunctionCalls = 9999;  // the observer is asked once the count passes it
  double reductionFraction = 0.1;  // of the steps, for the axial search and a rebuilt simplex
  // Go on from the simplex the state holds when it fits the free count
  // (SimplexStateKept); otherwise a new one is built around the start.
  bool continueKept = false;

  static SimplexOptions Of(const ProblemSettings& settings);
  // A message when the options cannot drive a run.
  std::optional<std::string> Validate() const;
};

// Whether a run goes on after the observer has had its say.
enum class Verdict { GoOn, Stop };

class SimplexObserver {
 public:
  virtual ~SimplexObserver() = default;
  virtual void BuildingSimplex() {}  // before the initial simplex is evaluated
  virtual void SimplexReady() {}     // the simplex (new or kept) is ordered
  virtual void Moved() {}            // after each move, IterationCount counted
  // FunctionCallCount passed the limit. GoOn starts the count again.
  virtual Verdict LimitReached() { return Verdict::Stop; }
  virtual void VerifyingConvergence() {}
  virtual void AxialCall(int done, int total) { (void)done, (void)total; }
  virtual void AxialSearchEnded() {}
  // The verification failed at this model parameter; the simplex is rebuilt.
  virtual void Restarting(int parameter) { (void)parameter; }
  virtual void Converged() {}
  // A zero best value under a relative tolerance ends the run (end Error).
  virtual void ZeroBestValue() {}
  // Once per iteration, last: Stop ends the run as interrupted.
  virtual Verdict IterationDone() { return Verdict::GoOn; }
};

// One minimization of the problem's free parameters with state as its
// storage (the caller's: a kept simplex lives on in it between runs).
// Evaluations are counted in problem.calls. The best vertex is written back
// into problem.values with the links expanded, except when a zero best value
// stops a relative tolerance (end Error); the result's point is
// problem.values. A NumericFault passes through; RestoreAfterFault then
// repairs the state.
class SimplexKernel {
 public:
  SimplexKernel(Problem& problem, SimplexState& state, const SimplexOptions& options, SimplexObserver& observer);
  MinimizeResult Run();
  // After a fault: the simplex is not kept and the values hold the lowest
  // point evaluated; returns the counts with that point's value.
  MinimizeResult RestoreAfterFault();
  // The full vector of the last evaluation (the one a fault belongs to).
  const std::vector<double>& LastVector() const;
  int64_t TotalFunctionCalls() const;
  // Whether the state holds a simplex the next run may go on from.
  bool Kept() const { return kept_; }

 private:
  MinimizeResult Result(RunEnd end) const;
  Problem& problem_;
  SimplexState& s_;
  SimplexOptions options_;
  SimplexObserver& observer_;
  int64_t callsBeforeReset_ = 0;
  bool kept_ = false;
};

// The text of a zero best value under a relative tolerance.
inline constexpr const char* kZeroBestMessage = "A function value of zero has caused a division by zero error.";

}  // namespace kalvex
