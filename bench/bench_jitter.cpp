// Fifty jittered starts of the 25 species x 100 periods example (every
// estimated parameter free, fitted first by Marquardt) through the batch
// front end, as kalvex-batch jitter runs them: one thread against every
// core, paired. Target on a 2-core machine: two threads at least 1.8 times
// as fast as one. The two tables must be the same; with KALVEX_JITTER_REPORT
// set, the last one is written to that path.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sstream>

#include "OskaneBenchData.h"
#include "PairedThreads.h"
#include "batch/BatchFrontend.h"
#include "checks/JitterCheck.h"
#include "workflow/JitterWindow.h"
#include "minimize/MarquardtKernel.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/TextFile.h"
#include "workspace/ThreadPool.h"

namespace {

using kalvex::Workspace;

// The example fitted once, quietly; the workspace then holds the fit.
void SetUpFitted(Workspace& ws, int species, int periods, int threads) {
  kalvex::bench::SetUpEveryParameterFree(ws, species, periods);
  ws.Alg.Tolerance = 1e-6;
  ws.Alg.MaxFunctionCalls = 200;
  ws.WorkerThreads = threads;
  kalvex::NormalizeLinks(ws);
  kalvex::CollectFreeParameters(ws);
  kalvex::Problem problem = kalvex::ProblemOf(ws);
  kalvex::MarquardtObserver quiet;
  kalvex::MarquardtKernel(problem, kalvex::MarquardtOptions::Of(problem.settings, kalvex::Derivatives::Numerical),
                          quiet)
      .Run();
  kalvex::TakeProblemValues(ws, problem);
  ws.Alg.MaxFunctionCalls = 50000;
}

// Args: species, periods, starts, minimizer (0 Simplex, 1 Marquardt: the
// choice for 55 free parameters, where the Simplex mostly meets its call
// limit). speed_up = one_thread_s / threads_s (wall clock); cpu_efficiency =
// one_thread_cpu_s / threads_cpu_s (processor time of the whole process): on
// idle cores the speed-up approaches threads x cpu_efficiency.
void JitterPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0)), periods = static_cast<int>(state.range(1));
  const int threads = kalvex::EveryCore();
  kalvex::checks::JitterSettings settings;
  settings.starts = static_cast<int>(state.range(2));
  settings.minimizer = state.range(3) ? kalvex::checks::FitMinimizer::Marquardt : kalvex::checks::FitMinimizer::Simplex;
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  Workspace one(kalvex::MakeOskaneModel()), many(kalvex::MakeOskaneModel());
  SetUpFitted(one, species, periods, 1);
  SetUpFitted(many, species, periods, threads);
  std::string oneReport, manyReport;
  int64_t calls = 0;
  auto run = [&](Workspace& ws, std::string& report) {
    std::optional<kalvex::checks::JitterCheck> check = kalvex::workflow::RunJitterCheck(ws, frontend, settings);
    if (!check) return state.SkipWithError("the jitter gave no table");
    report = check->report;
    calls = 0;
    for (const auto& start : check->run.starts) calls += start.calls;
  };
  kalvex::bench::Spent oneSpent, manySpent;
  kalvex::bench::AlternatePaired(
      state, oneSpent, [&] { run(one, oneReport); }, manySpent, [&] { run(many, manyReport); });
  if (oneReport != manyReport) state.SkipWithError("the tables differ between one thread and several");
  if (const char* path = std::getenv("KALVEX_JITTER_REPORT")) kalvex::SaveTextFile(path, manyReport);
  const double n = static_cast<double>(state.iterations());
  state.counters["free"] = one.Free.FreeCount;
  state.counters["calls"] = static_cast<double>(calls);
  state.counters["threads"] = threads;
  state.counters["one_thread_s"] = oneSpent.wall / n;
  state.counters["threads_s"] = manySpent.wall / n;
  state.counters["speed_up"] = oneSpent.wall / manySpent.wall;
  state.counters["cpu_efficiency"] = oneSpent.cpu / manySpent.cpu;
}

BENCHMARK(JitterPaired)->Args({2, 40, 50, 0})->Args({25, 100, 50, 1})->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
