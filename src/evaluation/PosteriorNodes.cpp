#include "evaluation/PosteriorNodes.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

// Nodes per worker in a block: enough to make a job's start-up small, few
// enough that a block's values stay in memory and a replay stays short.
constexpr int64_t kChunkNodes = 16384;
// The progress counter is bumped this often.
constexpr int64_t kCountEvery = 256;

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

class SpreadWalk {
 public:
  SpreadWalk(const IntegrationGrid& grid, const std::vector<double>& values, double reference, NodeSpreader& spreader,
             IntegrationObserver& observer, const NodeObjective& throughWorkspace)
      : grid_(grid),
        values_(values),
        reference_(reference),
        spreader_(spreader),
        observer_(observer),
        throughWorkspace_(throughWorkspace),
        cursor_(grid, values) {}

  PointIntegral Walk() {
    const int64_t total = NodeTotal(grid_);
    const int64_t points = grid_.points;
    // Blocks hold whole sweeps: a sweep's weights are summed once all its
    // nodes are evaluated, so a fault in any of them comes first.
    const int64_t block = std::min(total, points * std::max<int64_t>(1, kChunkNodes * spreader_.Workers() / points));
    weights_.resize(static_cast<std::size_t>(block));
    std::vector<double> start = values_;
    cursor_.Seek(0);
    cursor_.WriteAll(start);
    for (int64_t first = 0; first < total; first += block) {
      const int64_t last = std::min(total, first + block);
      if (observer_.NodesDone(first)) return Abandoned();
      std::optional<int64_t> fault = Settle(first, last, start);
      if (stopped_) return Abandoned();
      const int64_t summed = fault ? first + (*fault - first) / points * points : last;
      for (int64_t sweep = first; sweep < summed; sweep += points) {
        const auto weights = std::span<const double>(weights_).subspan(static_cast<std::size_t>(sweep - first),
                                                                       static_cast<std::size_t>(points));
        try {
          SumSweepWeights(weights, result_.sum);
        } catch (const NumericFault&) {
          ReplayThrough(sweep + points - 1);
          throw;
        }
        observer_.SweepWeights(weights);
      }
      if (fault) {
        // The faulting chunk replays from its start; one starting at the
        // fault needs the node before it first.
        if (*fault == verified_.back().begin && *fault > 0) ReplayThrough(*fault - 1);
        ReplayThrough(*fault);
        throw NumericFault(kInvalidCall);  // not reached: the node faults through the workspace too
      }
      if (last < total) {
        start = verified_.back().lastPost;
        cursor_.Seek(last - 1);
        cursor_.Next(start);
      }
    }
    ReplayThrough(total - 1);
    return result_;
  }

 private:
  PointIntegral Abandoned() {
    result_.abandoned = true;
    return result_;
  }

  // Evaluates [first, last) until every chunk's start is the vector one
  // thread reaches there. Returns the first fault, if any; the chunks up to
  // it (or to last) are in verified_.
  std::optional<int64_t> Settle(int64_t first, int64_t last, const std::vector<double>& start) {
    // The previous block's last chunk stays: a fault at first replays its last node.
    if (verified_.size() > 1) verified_.erase(verified_.begin(), verified_.end() - 1);
    int64_t from = first;
    std::vector<double> fromStart = start;
    for (;;) {
      NodeJob job{&grid_, &values_, from, last, &fromStart, reference_,
                  std::span<double>(weights_).subspan(static_cast<std::size_t>(from - first),
                                                      static_cast<std::size_t>(last - from))};
      chunks_.clear();
      if (!spreader_.Evaluate(job, chunks_, [&](int64_t done) { return observer_.NodesDone(from + done); })) {
        stopped_ = true;
        return std::nullopt;
      }
      bool again = false;
      for (ChunkRecord& chunk : chunks_) {
        if (chunk.begin != from) {
          std::vector<double> expected = verified_.back().lastPost;
          cursor_.Seek(chunk.begin - 1);
          cursor_.Next(expected);
          if (!SameBits(expected, chunk.startPre)) {
            from = chunk.begin;
            fromStart = std::move(expected);
            again = true;
            break;
          }
        }
        verified_.push_back(std::move(chunk));
        const ChunkRecord& held = verified_.back();
        if (held.faulted) return held.doneEnd;
        if (!held.Complete()) {  // stopped by a fault below that did not hold: evaluate it again
          from = held.begin;
          fromStart = held.startPre;
          verified_.pop_back();
          again = true;
          break;
        }
      }
      if (!again) return std::nullopt;
    }
  }

  // Evaluates through the workspace what one thread evaluated up to node:
  // the nodes of its chunk from the chunk's start (only node itself when it
  // ends the chunk), so the workspace's last two evaluations are those of
  // one thread. A faulting node raises its fault here.
  void ReplayThrough(int64_t node) {
    const ChunkRecord* chunk = nullptr;
    for (const ChunkRecord& held : verified_)
      if (held.begin <= node && node < held.end) chunk = &held;
    if (!chunk) throw NumericFault(kInvalidCall);  // not reached: every node evaluated lies in a held chunk
    if (node == chunk->end - 1 && chunk->Complete()) {
      std::vector<double> trial = chunk->lastPre;
      throughWorkspace_(trial);
      return;
    }
    std::vector<double> trial = chunk->startPre;
    cursor_.Seek(chunk->begin);
    for (int64_t i = chunk->begin; i <= node; ++i) {
      if (i > chunk->begin) cursor_.Next(trial);
      throughWorkspace_(trial);
    }
  }

  const IntegrationGrid& grid_;
  const std::vector<double>& values_;
  double reference_;
  NodeSpreader& spreader_;
  IntegrationObserver& observer_;
  const NodeObjective& throughWorkspace_;
  NodeCursor cursor_;
  std::vector<double> weights_;  // the block's
  std::vector<ChunkRecord> chunks_, verified_;
  PointIntegral result_;
  bool stopped_ = false;
};

}  // namespace

int64_t NodeTotal(const IntegrationGrid& grid) {
  int64_t total = 1;
  for (int level = 1; level <= grid.Levels(); ++level) total *= grid.points;
  return total;
}

NodeCursor::NodeCursor(const IntegrationGrid& grid, const std::vector<double>& centres)
    : grid_(grid), centres_(centres), digits_(static_cast<std::size_t>(grid.Levels()), 1) {}

void NodeCursor::Seek(int64_t node) {
  for (int level = grid_.Levels(); level >= 1; --level) {
    digits_[level - 1] = static_cast<int>(node % grid_.points) + 1;
    node /= grid_.points;
  }
}

void NodeCursor::WriteAll(std::vector<double>& trial) const {
  for (int level = 1; level <= grid_.Levels(); ++level) {
    const int parameter = grid_.parameters[level - 1];
    trial[parameter] = grid_.Value(level, centres_[parameter], digits_[level - 1]);
  }
}

void NodeCursor::Next(std::vector<double>& trial) {
  for (int level = grid_.Levels(); level >= 1; --level) {
    int& digit = digits_[level - 1];
    const bool carries = digit == grid_.points;
    digit = carries ? 1 : digit + 1;
    const int parameter = grid_.parameters[level - 1];
    trial[parameter] = grid_.Value(level, centres_[parameter], digit);
    if (!carries) return;
  }
}

ChunkRecord EvaluateChunk(const NodeJob& job, int64_t begin, int64_t end, ObjectiveEvaluator& evaluator,
                          double scale, ThreadPool& pool, int worker, std::atomic<int64_t>& lowestFault) {
  ChunkRecord record;
  record.begin = record.doneEnd = begin;
  record.end = end;
  NodeCursor cursor(*job.grid, *job.centres);
  std::vector<double> trial = *job.start;
  cursor.Seek(begin);
  if (begin != job.first) cursor.WriteAll(trial);
  record.startPre = trial;
  int64_t uncounted = 0;
  for (int64_t node = begin; node < end; ++node) {
    if (node > begin) cursor.Next(trial);
    // Past a fault only the nodes below it still matter.
    if (pool.StopRequested() || node > lowestFault.load(std::memory_order_relaxed)) break;
    if (node == end - 1) record.lastPre = trial;
    try {
      // The weights, not the values, come back: their exp runs on the workers.
      job.weights[static_cast<std::size_t>(node - job.first)] =
          NodeWeight(evaluator.Evaluate(trial) / scale, job.reference);
    } catch (const NumericFault&) {
      record.faulted = true;
      int64_t lowest = lowestFault.load(std::memory_order_relaxed);
      while (node < lowest && !lowestFault.compare_exchange_weak(lowest, node, std::memory_order_relaxed)) {
      }
      break;
    }
    record.doneEnd = node + 1;
    if (++uncounted == kCountEvery) {
      pool.CountDone(worker, uncounted);
      uncounted = 0;
    }
  }
  pool.CountDone(worker, uncounted);
  if (record.Complete()) record.lastPost = std::move(trial);
  return record;
}

ThreadedNodes::ThreadedNodes(std::vector<ObjectiveEvaluator> evaluators, double scale)
    : evaluators_(std::move(evaluators)), scale_(scale), pool_(static_cast<int>(evaluators_.size())) {}

bool ThreadedNodes::EvaluateRange(const NodeJob& job, int64_t begin, int64_t end, std::vector<ChunkRecord>& chunks,
                                  const NodesTick& tick) {
  std::vector<ChunkRecord> records(static_cast<std::size_t>(pool_.Threads()));
  alignas(64) std::atomic<int64_t> lowestFault{end};
  bool stopped = false;
  pool_.Run(
      end - begin,
      [&](int worker, int64_t from, int64_t to) {
        records[static_cast<std::size_t>(worker)] =
            EvaluateChunk(job, begin + from, begin + to, evaluators_[static_cast<std::size_t>(worker)], scale_,
                          pool_, worker, lowestFault);
      },
      [&] {
        if (tick(pool_.Done())) {
          stopped = true;
          pool_.RequestStop();
        }
      });
  for (ChunkRecord& record : records)
    if (record.end > record.begin) chunks.push_back(std::move(record));
  return !stopped;
}

std::unique_ptr<NodeSpreader> MakeThreadedNodes(const Problem& problem) {
  if (problem.settings.threads <= 1) return nullptr;
  std::vector<ObjectiveEvaluator> evaluators = MakeEvaluators(problem.objective, problem.settings.threads);
  if (evaluators.empty()) return nullptr;
  return std::make_unique<ThreadedNodes>(std::move(evaluators), problem.objective.Terms().objectiveScale);
}

PointIntegral IntegratePointSpread(const IntegrationGrid& grid, const std::vector<double>& values, double reference,
                                   NodeSpreader& spreader, IntegrationObserver& observer,
                                   const NodeObjective& throughWorkspace) {
  if (grid.Levels() == 0 || grid.points < 1) return {};
  return SpreadWalk(grid, values, reference, spreader, observer, throughWorkspace).Walk();
}

}  // namespace kalvex
