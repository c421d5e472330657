#include "checks/ParallelFits.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "minimize/SimplexKernel.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/ThreadPool.h"

namespace kalvex::checks {
namespace {

class QuietSimplex : public SimplexObserver {
 public:
  explicit QuietSimplex(const StopAsked& stop) : stop_(stop) {}
  Verdict IterationDone() override { return stop_ && stop_() ? Verdict::Stop : Verdict::GoOn; }

 private:
  const StopAsked& stop_;
};

class QuietMarquardt : public MarquardtObserver {
 public:
  explicit QuietMarquardt(const StopAsked& stop) : stop_(stop) {}
  Answer Trial(int, double) override { return stop_ && stop_() ? Answer::Stop : Answer::GoOn; }

 private:
  const StopAsked& stop_;
};

}  // namespace

const char* FitMethod::Name() const { return minimizer == FitMinimizer::Simplex ? "Simplex" : "Marquardt"; }

MinimizeResult FitQuietly(Problem& problem, const FitMethod& method, const StopAsked& stop) {
  if (method.minimizer == FitMinimizer::Simplex) {
    SimplexState state;
    QuietSimplex observer(stop);
    return SimplexKernel(problem, state, SimplexOptions::Of(problem.settings), observer).Run();
  }
  QuietMarquardt observer(stop);
  return MarquardtKernel(problem, MarquardtOptions::Of(problem.settings, method.derivatives), observer).Run();
}

std::string FitEndText(const MinimizeResult& fit, const FitMethod& method) {
  switch (fit.end) {
    case RunEnd::Converged: return "converged";
    case RunEnd::Limit: return method.minimizer == FitMinimizer::Simplex ? "call limit" : "iter limit";
    case RunEnd::Interrupted: return "interrupted";
    case RunEnd::GaveUp: return "gave up";
    case RunEnd::DecompositionFailed: return "singular";
    case RunEnd::NothingToDo: return "nothing free";
    default: return "error";
  }
}

FitsRun RunFits(int count, int threads, const FitTask& task, const FitsTick& tick) {
  FitsRun run;
  // An interrupt already pending stops the run before any fit starts.
  if (count <= 0 || (tick && tick(0))) {
    run.stopped = count > 0;
    return run;
  }
  ThreadPool pool(std::clamp(threads, 1, count));
  // Tasks are handed out in order; a fault lowers the ceiling so that only
  // the tasks below it go on.
  alignas(64) std::atomic<int> next{0};
  alignas(64) std::atomic<int> lowestFault{count};
  std::vector<std::string> faults(static_cast<std::size_t>(count));
  auto work = [&](int worker, int64_t, int64_t) {
    for (;;) {
      const int k = next.fetch_add(1, std::memory_order_relaxed);
      if (k >= count || pool.StopRequested() || k > lowestFault.load(std::memory_order_relaxed)) return;
      const StopAsked stop = [&, k] { return pool.StopRequested() || k > lowestFault.load(std::memory_order_relaxed); };
      try {
        task(k, stop);
      } catch (const NumericFault& fault) {
        faults[static_cast<std::size_t>(k)] = fault.what();
        int lowest = lowestFault.load(std::memory_order_relaxed);
        while (k < lowest && !lowestFault.compare_exchange_weak(lowest, k, std::memory_order_relaxed)) {
        }
      }
      pool.CountDone(worker);
    }
  };
  // One item per worker: each then takes tasks until none is left.
  pool.Run(pool.Threads(), work, [&] {
    if (!run.stopped && tick && tick(static_cast<int>(pool.Done()))) {
      run.stopped = true;
      pool.RequestStop();
    }
  });
  run.done = static_cast<int>(pool.Done());
  if (lowestFault.load() < count) {
    run.faultTask = lowestFault.load();
    run.fault = faults[static_cast<std::size_t>(*run.faultTask)];
  }
  return run;
}

FitsRun RunFitsHere(int count, const FitTask& task, const FitsTick& tick) {
  FitsRun run;
  auto lastTick = std::chrono::steady_clock::now();
  const StopAsked stop = [&] {
    if (run.stopped || !tick) return run.stopped;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick < std::chrono::milliseconds(20)) return false;
    lastTick = now;
    run.stopped = tick(run.done);
    return run.stopped;
  };
  for (int k = 0; k < count && !run.stopped; ++k) {
    try {
      task(k, stop);
    } catch (const NumericFault& fault) {
      run.faultTask = k;
      run.fault = fault.what();
      return run;
    }
    ++run.done;
    if (!run.stopped && tick) run.stopped = tick(run.done);
  }
  return run;
}

FitsTick RunContextTick(RunContext& run, int count, std::string what) {
  run.RestartClock();
  return [&run, count, what = std::move(what)](int done) {
    if (run.StatusDue()) {
      run.Activity(1, what + ": " + std::to_string(done) + " of " + std::to_string(count) + " fits done");
      run.Progress(ProgressBar::Remaining, 1, "Fits remaining: " + std::to_string(count - done));
      run.Progress(ProgressBar::Remaining, 2, "Estimated time remaining (m:s): " + run.TimeRemaining(done, count));
      run.StatusShown();
    }
    run.Pump();
    return run.QuitAsked();
  };
}

}  // namespace kalvex::checks
