#pragma once
// The nodes of one profile point's grid spread over workers (threads, and
// with MPI the ranks' threads) in contiguous chunks, with everything a run on
// one thread leaves behind.
//
// On one thread a node's vector is the previous node's vector after its
// evaluation, with the levels that step written: a correction the model makes
// (an Omega set back into range) carries on. A worker cannot know what the
// chunks before its own carry into it, so it starts from the block's first
// vector with its first node's grid values written, and records that vector;
// the walk then checks each chunk's start against the end of the chunk before
// it and evaluates again, from the true vector, wherever they differ. Without
// corrections every chunk holds at once.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "evaluation/PosteriorGrid.h"
#include "workspace/ObjectiveEvaluator.h"
#include "workspace/Problem.h"
#include "workspace/ThreadPool.h"

namespace kalvex {

// The number of nodes of a point: points ^ levels.
int64_t NodeTotal(const IntegrationGrid& grid);

// Node i of a point (0-based, in the order one thread visits them): level
// l's grid point is digit l of i in base points, level 1 the most significant.
class NodeCursor {
 public:
  NodeCursor(const IntegrationGrid& grid, const std::vector<double>& centres);
  void Seek(int64_t node);
  // Writes every level's grid value of the current node into trial.
  void WriteAll(std::vector<double>& trial) const;
  // Moves to the next node and writes the levels that step, as the nested
  // loops on one thread write them.
  void Next(std::vector<double>& trial);
  const std::vector<int>& Digits() const { return digits_; }

 private:
  const IntegrationGrid& grid_;
  const std::vector<double>& centres_;
  std::vector<int> digits_;  // 1-based grid points, level 1 first
};

// The nodes [first, last) of a point to evaluate; start is node first's
// vector exactly as one thread would evaluate it.
struct NodeJob {
  const IntegrationGrid* grid = nullptr;
  const std::vector<double>* centres = nullptr;  // the point's values: each level's centre
  int64_t first = 0, last = 0;
  const std::vector<double>* start = nullptr;
  double reference = 0;      // -ln[L] of the reference point
  std::span<double> weights;  // node i's NodeWeight at [i - first]
};

// What a worker's chunk [begin, end) did.
struct ChunkRecord {
  int64_t begin = 0, end = 0;
  int64_t doneEnd = 0;           // nodes [begin, doneEnd) were evaluated
  bool faulted = false;          // node doneEnd raised a numeric fault
  std::vector<double> startPre;  // the vector node begin was evaluated at
  std::vector<double> lastPre;   // node end - 1's vector (when the chunk completed)
  std::vector<double> lastPost;  // the same after its evaluation: what carries on
  bool Complete() const { return doneEnd == end; }
};

// Evaluates a chunk in node order on evaluator (-ln[L] = objective / scale)
// into its weights,
// stopping at the pool's stop flag, at its first fault or past lowestFault.
ChunkRecord EvaluateChunk(const NodeJob& job, int64_t begin, int64_t end, ObjectiveEvaluator& evaluator,
                          double scale, ThreadPool& pool, int worker, std::atomic<int64_t>& lowestFault);

// Runs on the calling thread while workers evaluate: done nodes of the job
// are evaluated; true stops the job.
using NodesTick = std::function<bool(int64_t done)>;

class NodeSpreader {
 public:
  virtual ~NodeSpreader() = default;
  // Every worker everywhere: blocks are sized from it.
  virtual int Workers() const = 0;
  // Evaluates job's nodes in contiguous chunks and appends their records in
  // node order (empty chunks left out). False when a tick stopped the job.
  virtual bool Evaluate(const NodeJob& job, std::vector<ChunkRecord>& chunks, const NodesTick& tick) = 0;
};

// The spreader of one process: one evaluator per pool thread.
class ThreadedNodes : public NodeSpreader {
 public:
  ThreadedNodes(std::vector<ObjectiveEvaluator> evaluators, double scale);
  int Workers() const override { return pool_.Threads(); }
  bool Evaluate(const NodeJob& job, std::vector<ChunkRecord>& chunks, const NodesTick& tick) override {
    return EvaluateRange(job, job.first, job.last, chunks, tick);
  }
  // The part [begin, end) of job's nodes.
  bool EvaluateRange(const NodeJob& job, int64_t begin, int64_t end, std::vector<ChunkRecord>& chunks,
                     const NodesTick& tick);

 private:
  std::vector<ObjectiveEvaluator> evaluators_;
  double scale_;
  ThreadPool pool_;
};

// Threads for a posterior on clones of the problem's objective: nullptr when
// the problem asks for one thread or its model cannot be cloned. Make it
// after the run's first evaluation.
std::unique_ptr<NodeSpreader> MakeThreadedNodes(const Problem& problem);

// IntegratePoint with the nodes on spreader. The sums, the observer's
// weights and the outcome are those of one thread, and so is the workspace:
// throughWorkspace evaluates again the node one thread would have evaluated
// last (the point's last node, the last of a sweep whose weights overflow,
// or the node before a fault and the faulting one, which raises the fault).
// The observer hears NodesDone before each block and on the ticks; a stop
// abandons the point before any of its nodes went through the workspace, as
// one thread does at the point's first step.
PointIntegral IntegratePointSpread(const IntegrationGrid& grid, const std::vector<double>& values, double reference,
                                   NodeSpreader& spreader, IntegrationObserver& observer,
                                   const NodeObjective& throughWorkspace);

}  // namespace kalvex
