// A posterior of about a million grid nodes (25 profile points x 201 x 201)
// through the batch front end, at 2 species x 40 periods and 25 x 100, on
// one thread and on every core. Targets on a 2-core machine: 0.3 s (2 x 40)
// and 1.4 s (25 x 100) on one thread; two threads at least 1.8 times as fast.
#include <benchmark/benchmark.h>

#include <sstream>

#include "OskaneBenchData.h"
#include "PairedThreads.h"
#include "batch/BatchFrontend.h"
#include "evaluation/PosteriorIntegration.h"
#include "workspace/ThreadPool.h"

namespace {

using kalvex::Workspace;

constexpr double kNodes = 25.0 * 201 * 201;

// Parameter 1 profiled, 2 and 3 integrated; the objective is -2 ln L.
void SetUp(Workspace& ws, int species, int periods, int threads) {
  kalvex::bench::SetUpEveryParameterFree(ws, species, periods);
  for (int i = 4; i <= ws.Alg.NumParameters; ++i) ws.Alg.Steps[i] = 0;
  ws.ObjectiveScale = 2;
  ws.WorkerThreads = threads;
}

bool Run(Workspace& ws, kalvex::ui::Frontend& frontend) {
  ws.PosteriorEvaluationActive = kalvex::kOn;
  const kalvex::EvaluationEnd end = kalvex::RunPosterior(ws, frontend, {1, 25, 201});
  ws.PosteriorEvaluationActive = kalvex::kOff;
  return end == kalvex::EvaluationEnd::Results;
}

// Args: species, periods. One thread and every core in each iteration,
// alternating which goes first, so that both meet the same load on a shared
// machine. speed_up = one_thread_s / threads_s (wall clock); per_thread =
// speed_up / threads; cpu_efficiency = one_thread_cpu_s / threads_cpu_s
// (processor time of the whole process): below 1 by what the threads spend
// beyond the nodes' own work. On busy cores the wall clock shows what the
// threads were given; on idle ones the speed-up approaches threads x
// cpu_efficiency.
void PosteriorPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0)), periods = static_cast<int>(state.range(1));
  const int threads = kalvex::EveryCore();
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  Workspace one(kalvex::MakeOskaneModel()), many(kalvex::MakeOskaneModel());
  SetUp(one, species, periods, 1);
  SetUp(many, species, periods, threads);
  kalvex::bench::Spent oneSpent, manySpent;
  auto run = [&](Workspace& ws) {
    if (!Run(ws, frontend)) state.SkipWithError("the posterior gave no results");
  };
  kalvex::bench::AlternatePaired(state, oneSpent, [&] { run(one); }, manySpent, [&] { run(many); });
  const double n = static_cast<double>(state.iterations());
  state.counters["nodes"] = kNodes;
  state.counters["threads"] = threads;
  state.counters["one_thread_s"] = oneSpent.wall / n;
  state.counters["threads_s"] = manySpent.wall / n;
  state.counters["one_thread_ns_per_node"] = 1e9 * oneSpent.wall / n / kNodes;
  state.counters["speed_up"] = oneSpent.wall / manySpent.wall;
  state.counters["per_thread"] = oneSpent.wall / manySpent.wall / threads;
  state.counters["one_thread_cpu_s"] = oneSpent.cpu / n;
  state.counters["threads_cpu_s"] = manySpent.cpu / n;
  state.counters["cpu_efficiency"] = oneSpent.cpu / manySpent.cpu;
}

BENCHMARK(PosteriorPaired)->Args({2, 40})->Args({25, 100})->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
