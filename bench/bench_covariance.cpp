// The three Hessian grids of a numerical covariance run through the batch
// front end (as kalvex-batch covariance runs them): 25 species x 100 periods
// with every estimated parameter free, and the report collated from them;
// and the grids on one thread against the grids on several, paired.
#include <benchmark/benchmark.h>

#include <sstream>

#include "OskaneBenchData.h"
#include "PairedThreads.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "covariance/LikelihoodConstant.h"

namespace {

using kalvex::Workspace;

// The settings kalvex-batch gives: the constant 0.5 of an objective -2 ln L.
kalvex::CovarianceSettings HalfConstant(Workspace& ws) {
  ws.ObjectiveScale = 2;
  kalvex::CovarianceSettings settings;
  settings.objectiveScale = 2;
  return settings;
}

// Args: species, periods, threads.
void Grids(benchmark::State& state) {
  Workspace ws(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(ws, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  ws.WorkerThreads = static_cast<int>(state.range(2));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  const kalvex::CovarianceSettings settings = HalfConstant(ws);
  for (auto _ : state) {
    if (kalvex::RunCovariance(ws, frontend, settings) != kalvex::CovarianceRunEnd::Completed)
      state.SkipWithError("the run did not complete");
  }
  int n = ws.Covariance.Results.FreeCount();
  state.counters["free"] = n;
  state.counters["evaluations"] = 1 + 3 * n * (n + 1);
}

// One thread and `threads` threads in every iteration, alternating which
// goes first, so that both see the same load on a shared machine. Each
// side runs a block of kBlockRuns grids: a scheduler that shares the cores
// among busy sessions takes tens of milliseconds to give a process that
// just went from one busy thread to two its second core, and alternating
// single runs would measure that lag rather than the grids.
// speed_up = one_thread_ms / threads_ms (wall clock, per run); per_thread =
// speed_up / threads. Where other work keeps the cores busy the wall clock
// shows what the threads were given: cpu_efficiency = one_thread_cpu_ms /
// threads_cpu_ms (processor time of all threads) is the part of the threads'
// work that was the grids' own, and on idle cores the speed-up approaches
// threads x cpu_efficiency.
constexpr int kBlockRuns = 8;

void GridsThreadsPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0)), periods = static_cast<int>(state.range(1));
  const int threads = static_cast<int>(state.range(2));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  Workspace one(kalvex::MakeOskaneModel()), many(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(one, species, periods);
  kalvex::bench::SetUpEveryParameterFree(many, species, periods);
  many.WorkerThreads = threads;
  auto block = [&](Workspace& ws) {
    for (int run = 0; run < kBlockRuns; ++run)
      if (kalvex::RunCovariance(ws, frontend, HalfConstant(ws)) != kalvex::CovarianceRunEnd::Completed)
        state.SkipWithError("the run did not complete");
  };
  kalvex::bench::Spent oneSpent, manySpent;
  kalvex::bench::AlternatePaired(state, oneSpent, [&] { block(one); }, manySpent, [&] { block(many); });
  const double n = static_cast<double>(state.iterations()) * kBlockRuns;
  state.counters["one_thread_ms"] = 1000 * oneSpent.wall / n;
  state.counters["threads_ms"] = 1000 * manySpent.wall / n;
  state.counters["speed_up"] = oneSpent.wall / manySpent.wall;
  state.counters["per_thread"] = oneSpent.wall / manySpent.wall / threads;
  state.counters["one_thread_cpu_ms"] = 1000 * oneSpent.cpu / n;
  state.counters["threads_cpu_ms"] = 1000 * manySpent.cpu / n;
  state.counters["cpu_efficiency"] = oneSpent.cpu / manySpent.cpu;
}

void Report(benchmark::State& state) {
  Workspace ws(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(ws, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  kalvex::RunCovariance(ws, frontend, HalfConstant(ws));
  for (auto _ : state) benchmark::DoNotOptimize(kalvex::CovarianceReportText(ws.Covariance.Results));
}

BENCHMARK(Grids)->Args({2, 40, 1})->Args({25, 100, 1})->Args({25, 100, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(GridsThreadsPaired)->Args({25, 100, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(Report)->Args({25, 100})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
