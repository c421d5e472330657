#pragma once
// A small pool of worker threads for grids of independent evaluations. One
// job at a time: its items are cut into one contiguous chunk per worker,
// and the calling thread, the interface's, stays free to tick (show the
// progress counter, pump events, read the interrupt) until every chunk has
// ended. Workers never touch the interface; they poll the stop flag between
// items and count the items they finish.
//
//   ThreadPool pool(EveryCore());
//   pool.Run(count,
//            [&](int worker, int64_t begin, int64_t end) {
//              for (int64_t i = begin; i < end && !pool.StopRequested(); ++i) { ...; pool.CountDone(worker); }
//            },
//            [&] { if (ShowProgressAndAsk(pool.Done())) pool.RequestStop(); });
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace kalvex {

// The number of hardware threads, at least 1.
int EveryCore();

class ThreadPool {
 public:
  // The items [begin, end) of one worker's chunk.
  using Work = std::function<void(int worker, int64_t begin, int64_t end)>;
  using Tick = std::function<void()>;

  // Starts threads workers (at least 1); they wait for jobs.
  explicit ThreadPool(int threads);
  ~ThreadPool();
  ThreadPool(const ThreadPool&) = delete;
  ThreadPool& operator=(const ThreadPool&) = delete;

  int Threads() const { return static_cast<int>(workers_.size()); }

  // Runs work on chunk w of [0, count) in worker w (chunks differ in size
  // by at most one item, in worker order) and returns when all have ended.
  // Meanwhile the calling thread calls tick every interval. The stop flag
  // and the done counter start at zero. An exception from tick stops the
  // job and is rethrown once the workers have ended; an exception from work
  // ends that chunk and the lowest-numbered worker's is rethrown.
  void Run(int64_t count, const Work& work, const Tick& tick,
           std::chrono::milliseconds interval = std::chrono::milliseconds(20));

  // The stop flag of the running job.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
  bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }

  // The progress counter of the running job: each worker counts its own.
  void CountDone(int worker, int64_t items = 1) {
    done_[static_cast<std::size_t>(worker)].value.fetch_add(items, std::memory_order_relaxed);
  }
  int64_t Done() const;

 private:
  void WorkerLoop(std::stop_token stop, int worker);

  std::mutex mutex_;
  std::condition_variable_any wake_;      // workers: a new job
  std::condition_variable finished_;      // the calling thread: a chunk ended
  uint64_t generation_ = 0;               // jobs started
  int running_ = 0;                       // chunks of the current job still running
  int64_t count_ = 0;
  const Work* work_ = nullptr;
  std::vector<std::exception_ptr> errors_;
  // Each on a cache line of its own: the workers read the flag and bump
  // their counters after every item.
  struct alignas(64) Counter {
    std::atomic<int64_t> value{0};
  };
  alignas(64) std::atomic<bool> stop_{false};
  std::vector<Counter> done_;
  std::vector<std::jthread> workers_;     // last: they start once everything above exists
};

}  // namespace kalvex
