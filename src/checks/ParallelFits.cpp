#include "checks/ParallelFits.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

#include "workspace/ThreadPool.h"

namespace kalvex::checks {
namespace {

constexpr std::chrono::milliseconds kTickInterval{20};

// Every fit on the calling thread, on the prototype's own model, with the
// tick run from inside the fits so that the interface stays alive.
FitsRun RunOnCallingThread(const ObjectiveEvaluator& prototype, int count, const FitTask& task, const FitsTick& tick) {
  FitsRun run;
  run.finished.assign(static_cast<std::size_t>(count), 0);
  int done = 0;
  auto lastTick = std::chrono::steady_clock::now();
  const StopRequested stop = [&] {
    if (run.stopped) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick < kTickInterval) return false;
    lastTick = now;
    run.stopped = tick(done);
    return run.stopped;
  };
  for (int k = 0; k < count && !run.stopped; ++k) {
    task(k, ObjectiveEvaluator(prototype.GetModel(), prototype.Terms()), stop);
    run.finished[k] = !run.stopped;
    ++done;
    if (!run.stopped) run.stopped = tick(done);
  }
  return run;
}

}  // namespace

int FitsRun::FinishedPrefix() const {
  int prefix = 0;
  while (prefix < static_cast<int>(finished.size()) && finished[prefix]) ++prefix;
  return prefix;
}

FitsRun RunFits(const ObjectiveEvaluator& prototype, int threads, int count, const FitTask& task,
                const FitsTick& tick) {
  // The workers clone a private copy: the prototype's model may be the
  // workspace's, which the interface may read while they run.
  std::optional<ObjectiveEvaluator> source = prototype.Clone();
  if (!source) return RunOnCallingThread(prototype, count, task, tick);

  FitsRun run;
  run.finished.assign(static_cast<std::size_t>(count), 0);
  ThreadPool pool(std::clamp(threads, 1, std::max(count, 1)));
  std::mutex cloning;  // a model's copy need not be safe to make on two threads at once
  alignas(64) std::atomic<int> next{0};
  const StopRequested stop = [&pool] { return pool.StopRequested(); };
  // One item per worker: each then takes fits from the counter until none is left.
  auto work = [&](int worker, int64_t, int64_t) {
    for (;;) {
      if (pool.StopRequested()) return;
      const int k = next.fetch_add(1, std::memory_order_relaxed);
      if (k >= count) return;
      std::optional<ObjectiveEvaluator> objective;
      {
        std::lock_guard lock(cloning);
        objective = source->Clone();
      }
      try {
        task(k, std::move(*objective), stop);
      } catch (...) {
        pool.RequestStop();  // the others start no new fit: the run ends with this error
        throw;
      }
      run.finished[k] = !pool.StopRequested();
      pool.CountDone(worker);
    }
  };
  pool.Run(
      pool.Threads(), work,
      [&] {
        if (!run.stopped && tick(static_cast<int>(pool.Done()))) {
          run.stopped = true;
          pool.RequestStop();
        }
      },
      kTickInterval);
  return run;
}

}  // namespace kalvex::checks
