#pragma once
// Independent fits side by side: the peels of a hindcast, the starts of a
// jitter. Each task fits a problem of its own (made on a clone of the model,
// so that it shares nothing) quietly on one of the pool's workers; a worker
// takes the next task as soon as its last one ends, so fits of uneven
// length keep every core busy. Each task writes only its own result slot,
// so the results, read in task order, are the same for any number of
// threads.
//
//   std::vector<MinimizeResult> fits(count);
//   FitsRun run = RunFits(count, threads,
//       [&](int k, const StopAsked& stop) { fits[k] = FitQuietly(problems[k],
//       method, stop); }, RunContextTick(context, count, "Hindcast"));
#include <functional>
#include <optional>
#include <string>

#include "checks/FitMinimizer.h"
#include "minimize/MarquardtKernel.h"
#include "minimize/MinimizeResult.h"

namespace kalvex {
class Problem;
class RunContext;
}  // namespace kalvex

namespace kalvex::checks {

struct FitMethod {
  FitMinimizer minimizer = FitMinimizer::Simplex;
  Derivatives derivatives = Derivatives::Numerical;  // Marquardt's
  const char* Name() const;                          // "Simplex", "Marquardt"
};

// Asked between iterations; true ends the fit as interrupted.
using StopAsked = std::function<bool()>;

// One fit of the problem's free parameters from its values with its
// settings (tolerance, call or iteration limit, reduction fraction), no
// window and no question: the call limit ends a Simplex fit. The problem's
// values hold the result. A NumericFault passes through.
MinimizeResult FitQuietly(Problem& problem, const FitMethod& method, const StopAsked& stop = {});

// How a fit ended, in a word or two for a report column: "converged",
// "call limit" (Simplex) or "iter limit" (Marquardt), "interrupted",
// "gave up", "singular", "error".
std::string FitEndText(const MinimizeResult& fit, const FitMethod& method);

// Task k (0-based) on the worker that took it; stop goes to FitQuietly.
using FitTask = std::function<void(int task, const StopAsked& stop)>;
// Called on the calling thread before the first fit and then about every
// 20 ms with the tasks ended; true stops the run.
using FitsTick = std::function<bool(int done)>;

struct FitsRun {
  int done = 0;          // tasks that ended
  bool stopped = false;  // the tick stopped the run
  // The lowest task a NumericFault ended, and the fault's text. Tasks below
  // it always run to their end, so it is the fault a run on one thread meets
  // first; tasks above it are stopped.
  std::optional<int> faultTask;
  std::string fault;
};

// Runs tasks 0..count-1 on min(threads, count) workers of a thread pool.
// Other exceptions from a task pass through once the workers have ended.
FitsRun RunFits(int count, int threads, const FitTask& task, const FitsTick& tick);

// Runs tasks 0..count-1 in turn on the calling thread, for a model that
// cannot be copied for other threads: the tick runs after each fit and,
// through stop, at most every 20 ms inside one.
FitsRun RunFitsHere(int count, const FitTask& task, const FitsTick& tick);

// The tick of a run context: "<what>: fit k of K running" in the activity
// bar, the fits remaining and the time remaining, events pumped, and the
// quit question once the interrupt is pending.
FitsTick RunContextTick(RunContext& run, int count, std::string what);

}  // namespace kalvex::checks
