#include "workspace/ThreadPool.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace kalvex {
namespace {

// Three workers, jobs one after another on the same pool: every item is
// visited once, in contiguous chunks in worker order, and the progress
// counter says so; a job may have fewer items than workers.
TEST(ThreadPool, ContiguousChunksCoverEveryItemOnce) {
  ThreadPool pool(3);
  ASSERT_EQ(pool.Threads(), 3);
  for (int64_t count : {10, 2, 0, 7}) {
    SCOPED_TRACE(count);
    std::vector<int> visits(static_cast<std::size_t>(count), 0);
    std::vector<std::pair<int64_t, int64_t>> chunks(3, {-1, -1});
    pool.Run(count, [&](int worker, int64_t begin, int64_t end) {
      chunks[worker] = {begin, end};
      for (int64_t i = begin; i < end; ++i, pool.CountDone(worker)) ++visits[i];
    }, [] {});
    EXPECT_EQ(visits, std::vector<int>(static_cast<std::size_t>(count), 1));
    EXPECT_EQ(pool.Done(), count);
    int64_t next = 0;
    for (auto [begin, end] : chunks) {
      if (begin < 0) continue;  // an empty chunk is not run
      EXPECT_EQ(begin, next);
      EXPECT_LE(end - begin, count / 3 + 1);
      next = end;
    }
    EXPECT_EQ(next, count);
  }
}

// The calling thread ticks while the workers run; a tick that stops the job
// ends it early; an exception from a chunk or from a tick reaches the
// caller once every worker has ended, and the pool runs the next job.
TEST(ThreadPool, TicksStopsAndExceptions) {
  ThreadPool pool(2);
  int ticks = 0;
  const auto main = std::this_thread::get_id();
  pool.Run(1'000'000, [&](int worker, int64_t begin, int64_t end) {
    for (int64_t i = begin; i < end && !pool.StopRequested(); ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      pool.CountDone(worker);
    }
  }, [&] {
    EXPECT_EQ(std::this_thread::get_id(), main);
    if (++ticks == 3) pool.RequestStop();
  }, std::chrono::milliseconds(5));
  // A loaded machine may be slow to let the workers see the stop: more ticks may come.
  EXPECT_GE(ticks, 3);
  EXPECT_LT(pool.Done(), 1'000'000);

  auto failing = [](int worker, int64_t, int64_t) {
    if (worker == 1) throw std::runtime_error("worker 1");
  };
  EXPECT_THROW(pool.Run(4, failing, [] {}), std::runtime_error);
  auto slow = [&](int, int64_t, int64_t) {
    while (!pool.StopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  EXPECT_THROW(pool.Run(4, slow, [] { throw std::logic_error("tick"); }, std::chrono::milliseconds(1)),
               std::logic_error);
  int64_t visited = 0;
  pool.Run(4, [&](int worker, int64_t begin, int64_t end) { pool.CountDone(worker, end - begin); }, [] {});
  visited = pool.Done();
  EXPECT_EQ(visited, 4);
}

}  // namespace
}  // namespace kalvex
