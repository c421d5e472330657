#include "workspace/ThreadPool.h"

#include <algorithm>

namespace kalvex {

int EveryCore() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

ThreadPool::ThreadPool(int threads) {
  const int count = std::max(1, threads);
  errors_.resize(static_cast<std::size_t>(count));
  done_ = std::vector<Counter>(static_cast<std::size_t>(count));
  workers_.reserve(static_cast<std::size_t>(count));
  for (int w = 0; w < count; ++w)
    workers_.emplace_back([this, w](std::stop_token stop) { WorkerLoop(stop, w); });
}

ThreadPool::~ThreadPool() {
  for (std::jthread& worker : workers_) worker.request_stop();
  wake_.notify_all();
  // The jthreads join as the vector goes.
}

void ThreadPool::WorkerLoop(std::stop_token stop, int worker) {
  uint64_t seen = 0;
  for (;;) {
    int64_t begin = 0, end = 0;
    const Work* work = nullptr;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [&] { return generation_ != seen; })) return;
      seen = generation_;
      const int64_t threads = Threads();
      begin = count_ * worker / threads;
      end = count_ * (worker + 1) / threads;
      work = work_;
    }
    std::exception_ptr error;
    try {
      if (begin < end) (*work)(worker, begin, end);
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(mutex_);
    errors_[static_cast<std::size_t>(worker)] = error;
    if (--running_ == 0) finished_.notify_one();
  }
}

int64_t ThreadPool::Done() const {
  int64_t done = 0;
  for (const Counter& counter : done_) done += counter.value.load(std::memory_order_relaxed);
  return done;
}

void ThreadPool::Run(int64_t count, const Work& work, const Tick& tick, std::chrono::milliseconds interval) {
  stop_.store(false);
  for (Counter& counter : done_) counter.value.store(0);
  std::unique_lock lock(mutex_);
  count_ = count;
  work_ = &work;
  running_ = Threads();
  std::fill(errors_.begin(), errors_.end(), nullptr);
  ++generation_;
  wake_.notify_all();
  std::exception_ptr tickError;
  while (!finished_.wait_for(lock, interval, [this] { return running_ == 0; })) {
    if (tickError) continue;
    lock.unlock();
    try {
      tick();
    } catch (...) {
      tickError = std::current_exception();
      RequestStop();
    }
    lock.lock();
  }
  work_ = nullptr;
  if (tickError) std::rethrow_exception(tickError);
  for (const std::exception_ptr& error : errors_)
    if (error) std::rethrow_exception(error);
}

}  // namespace kalvex
