#include "workspace/ParallelPoints.h"

#include <atomic>

#include "workspace/NumericFault.h"

namespace kalvex {

int64_t ParallelPoints::DonePrefix() const {
  int64_t prefix = 0;
  while (prefix < static_cast<int64_t>(states.size()) && states[prefix] == PointState::Done) ++prefix;
  return prefix;
}

ParallelPoints EvaluatePoints(ThreadPool& pool, std::vector<ObjectiveEvaluator>& evaluators, int64_t count,
                              const TrialMaker& makeTrial, const PointsTick& tick) {
  ParallelPoints points;
  points.values.assign(static_cast<std::size_t>(count), 0.0);
  points.states.assign(static_cast<std::size_t>(count), PointState::Pending);
  alignas(64) std::atomic<int64_t> firstFault{count};
  auto work = [&](int worker, int64_t begin, int64_t end) {
    ObjectiveEvaluator& evaluator = evaluators[static_cast<std::size_t>(worker)];
    std::vector<double> trial;
    for (int64_t point = begin; point < end; ++point) {
      // Past a fault, only points below it still matter.
      if (pool.StopRequested() || point > firstFault.load(std::memory_order_relaxed)) return;
      makeTrial(point, trial);
      try {
        points.values[point] = evaluator.Evaluate(trial);
      } catch (const NumericFault&) {
        points.states[point] = PointState::Faulted;
        int64_t lowest = firstFault.load(std::memory_order_relaxed);
        while (point < lowest && !firstFault.compare_exchange_weak(lowest, point, std::memory_order_relaxed)) {
        }
        return;
      }
      points.states[point] = PointState::Done;
      pool.CountDone(worker);
    }
  };
  pool.Run(count, work, [&] {
    if (tick(pool.Done())) {
      points.stopped = true;
      pool.RequestStop();
    }
  });
  if (firstFault.load() < count) points.firstFault = firstFault.load();
  return points;
}

}  // namespace kalvex
