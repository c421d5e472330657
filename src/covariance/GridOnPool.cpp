#include "covariance/GridOnPool.h"

#include <algorithm>

#include "covariance/GridPoints.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/ParallelPoints.h"

namespace kalvex {

bool ComputeGridOnPool(Problem& problem, CovarianceResults& results, int grid, GridValues& values,
                       GridObserver& observer, GridWorkers& workers) {
  const int n = results.FreeCount();
  const double f0 = results.CentreObjective;
  const std::vector<GridPoint> points = GridPointsOf(results);
  const int total = static_cast<int>(points.size());
  // The points that are evaluated, by their 0-based place in the grid.
  std::vector<int> evaluated;
  for (int k = 0; k < total; ++k)
    if (points[k].evaluated) evaluated.push_back(k);
  const auto count = static_cast<int64_t>(evaluated.size());

  // What one thread leaves in the problem's model after evaluated point i.
  auto evaluateThroughProblem = [&](int64_t i) {
    std::vector<double> trial;
    MakeTrial(results, grid, points[evaluated[i]], trial);
    return problem.EvaluateWithCode(trial, 1);
  };

  ParallelPoints run = EvaluatePoints(
      workers.pool, workers.evaluators, count,
      [&](int64_t i, std::vector<double>& trial) { MakeTrial(results, grid, points[evaluated[i]], trial); },
      [&](int64_t done) {
        // The grid point due next, numbered as the loop on one thread numbers it.
        const int point = done < count ? evaluated[done] + 1 : total;
        observer.Calling(grid, point, total);
        return observer.Evaluated(grid, point, total);
      });
  if (run.stopped) {
    evaluateThroughProblem(std::max<int64_t>(run.DonePrefix(), 1) - 1);
    return false;
  }

  values.plus.Resize(n, n);
  values.minus.Resize(n, n);
  GridSummary summary;
  int64_t i = 0;  // evaluated points met so far
  for (const GridPoint& point : points) {
    double value = f0;
    if (point.evaluated) {
      if (run.states[i] != PointState::Done) {
        // The first fault in point order: one thread had evaluated the point
        // before it, then met this one.
        if (i > 0) evaluateThroughProblem(i - 1);
        evaluateThroughProblem(i);
        throw NumericFault(kInvalidCall);  // not reached: the point faults through the workspace too
      }
      value = run.values[i++];
    }
    try {
      summary.Add(value, f0);
    } catch (const NumericFault&) {
      if (i > 0) evaluateThroughProblem(i - 1);
      throw;
    }
    (point.sign > 0 ? values.plus : values.minus)(point.e, point.f) = value;
  }
  if (count > 0) evaluateThroughProblem(count - 1);
  summary.Finish(results, grid);
  return true;
}

}  // namespace kalvex
