#pragma once
// A Hessian grid with its points spread over worker threads. The calling
// thread ticks the observer with the number of points done (status, events,
// the interrupt question) while the workers evaluate; then it walks the
// values in point order. Whatever the number of threads, the grid's values,
// sums and outcome are those of the loop on one thread, and the workspace's
// model ends as that loop leaves it: the last point (the one before an
// interrupt, or the faulting one) is evaluated again through the problem.
#include <vector>

#include "covariance/HessianGrids.h"
#include "workspace/ObjectiveEvaluator.h"
#include "workspace/ThreadPool.h"

namespace kalvex {

// One evaluator per thread, made once for the three grids of a run.
struct GridWorkers {
  explicit GridWorkers(std::vector<ObjectiveEvaluator> evaluatorsPerThread)
      : evaluators(std::move(evaluatorsPerThread)), pool(static_cast<int>(evaluators.size())) {}
  std::vector<ObjectiveEvaluator> evaluators;
  ThreadPool pool;
};

// ComputeGrid on the workers. An interrupt the user confirms abandons the
// grid as one thread would have after the unbroken run of points finished
// from the first (at least the first). A numeric fault is the one of the
// lowest-numbered failing point, raised through the problem.
bool ComputeGridOnPool(Problem& problem, CovarianceResults& results, int grid, GridValues& values,
                       GridObserver& observer, GridWorkers& workers);

}  // namespace kalvex
