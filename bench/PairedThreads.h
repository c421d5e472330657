#pragma once
// One thread against several, paired: both sides run in every iteration,
// alternating which goes first, so that both meet the same load on a shared
// machine. Each side sums its wall clock and the processor time of the
// whole process (every thread).
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>

namespace kalvex::bench {

// The processor time of the whole process, in seconds.
inline double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

struct Spent {
  double wall = 0, cpu = 0;
  template <typename Run>
  void Time(Run&& run) {
    const double startCpu = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    run();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu += ProcessSeconds() - startCpu;
  }
};

// Every iteration times one and many, the one first every other time.
template <typename One, typename Many>
void AlternatePaired(benchmark::State& state, Spent& oneSpent, One&& one, Spent& manySpent, Many&& many) {
  bool oneFirst = true;
  for (auto _ : state) {
    if (oneFirst) oneSpent.Time(one);
    manySpent.Time(many);
    if (!oneFirst) oneSpent.Time(one);
    oneFirst = !oneFirst;
  }
}

}  // namespace kalvex::bench
