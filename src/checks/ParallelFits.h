#pragma once
// Independent fits (jittered starts, hindcast peels) spread over every core.
// Each fit gets an objective of its own, cloned from one prototype for it
// alone, so no fit sees what another left in its model. The workers take the
// fits in order from one counter (fits differ in length, and contiguous
// chunks would leave a thread idle at the end) and each fit writes its
// result into the caller's slot for it: the results are the same, in the
// same order, for any number of threads. A model that cannot be cloned fits
// on the calling thread, on the prototype's own model.
//
//   std::vector<Outcome> outcomes(count);
//   FitsRun run = RunFits(problem.objective, problem.settings.threads, count,
//       [&](int k, ObjectiveEvaluator objective, const StopRequested& stop) {
//         Problem fit(std::move(objective), StartOf(k), steps, settings);
//         outcomes[k] = Fit(fit, stop);            // a kernel whose observer polls stop()
//       },
//       [&](int done) { return ShowProgressAndAsk(done); });
#include <functional>
#include <vector>

#include "workspace/ObjectiveEvaluator.h"

namespace kalvex::checks {

// Whether the fit should end now; a kernel's observer polls it between
// iterations. On a worker it reads the stop flag; on the calling thread it
// runs the tick (at most every 20 ms) and gives its answer.
using StopRequested = std::function<bool()>;

// Fit number task (0-based) on objective, made for it alone. It must catch
// what its fit may throw as a result of that fit (a numeric fault); anything
// else it throws ends the run and is thrown again by RunFits.
using FitTask = std::function<void(int task, ObjectiveEvaluator objective, const StopRequested& stop)>;

// On the calling thread while fits run: done fits have ended. True stops
// the run: no new fit starts, and running ones see stop() true.
using FitsTick = std::function<bool(int done)>;

struct FitsRun {
  // Per task: its fit ran to its end with no stop requested.
  std::vector<char> finished;
  bool stopped = false;
  // The tasks from the first on that all finished: after a stop, the run
  // that a smaller count would have made.
  int FinishedPrefix() const;
};

// Runs task for 0..count-1 on threads workers (at least 1), or on the
// calling thread when the prototype's model cannot be cloned.
FitsRun RunFits(const ObjectiveEvaluator& prototype, int threads, int count, const FitTask& task, const FitsTick& tick);

}  // namespace kalvex::checks
