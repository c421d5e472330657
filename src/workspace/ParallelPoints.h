#pragma once
// The points of a grid evaluated on a thread pool: each worker takes a
// contiguous chunk and evaluates it in order on its own evaluator with its
// own trial vector. Only the values come back; the caller walks them in
// point order, as a run on one thread would, so sums and files do not depend
// on the number of threads.
//
// A numeric fault does not end the job at once: points below the lowest
// fault found so far are still evaluated, so that the fault a run on one
// thread would meet first is the one that is found.
#include <cstdint>
#include <functional>
#include <vector>

#include "workspace/ObjectiveEvaluator.h"
#include "workspace/ThreadPool.h"

namespace kalvex {

enum class PointState : uint8_t { Pending, Done, Faulted };

struct ParallelPoints {
  std::vector<double> values;      // the objective of each Done point
  std::vector<PointState> states;
  int64_t firstFault = -1;         // the lowest Faulted point; -1: none
  bool stopped = false;            // the tick asked to stop

  // The number of points from the first on that are all Done: the points a
  // run on one thread had evaluated when it stopped where this one did.
  int64_t DonePrefix() const;
};

// Fills vector with the trial point of point; called by the workers.
using TrialMaker = std::function<void(int64_t point, std::vector<double>& vector)>;
// Runs on the calling thread every interval with the number of points done;
// true stops the job.
using PointsTick = std::function<bool(int64_t done)>;

// Evaluates points 0..count-1, one evaluator per pool thread (evaluators
// has pool.Threads() entries).
ParallelPoints EvaluatePoints(ThreadPool& pool, std::vector<ObjectiveEvaluator>& evaluators, int64_t count,
                              const TrialMaker& makeTrial, const PointsTick& tick);

}  // namespace kalvex
