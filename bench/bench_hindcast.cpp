// The hindcast of each example, fitted first by Marquardt from its
// algorithm file, on one thread and on every core. The peels are
// independent fits handed to the workers as they come free. Target on a
// 2-core machine: two threads at least 1.8 times as fast as one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <sstream>

#include "algorithm/AlgorithmCommands.h"
#include "checks/Hindcast.h"
#include "model/OskaneModel.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/ThreadPool.h"
#include "workspace/Workspace.h"
#include "batch/BatchFrontend.h"

namespace {

using kalvex::Workspace;
using kalvex::checks::FitMinimizer;

const char* const kExamples[] = {"", "one_species", "two_species", "three_species"};

// The example loaded and fitted by Marquardt, as kalvex-batch marquardt leaves it.
std::unique_ptr<Workspace> FittedExample(int species) {
  auto ws = std::make_unique<Workspace>(kalvex::MakeOskaneModel());
  const std::string base = std::string(KALVEX_EXAMPLES) + "/" + kExamples[species];
  kalvex::InitializeModel(*ws, {species, base + ".dat"});
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  kalvex::LoadAlgorithmFile(*ws, frontend, base + ".alg");
  kalvex::NormalizeLinks(*ws);
  kalvex::CollectFreeParameters(*ws);
  kalvex::Problem problem = kalvex::ProblemOf(*ws);
  kalvex::checks::FitQuietly(problem, {FitMinimizer::Marquardt});
  kalvex::TakeProblemValues(*ws, problem);
  return ws;
}

// Args: species, peels, minimizer (0 Simplex, 1 Marquardt). Both thread
// counts in each iteration, alternating which goes first, so that both meet
// the same load on a shared machine; speed_up = one_thread_s / threads_s.
void HindcastPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0));
  kalvex::checks::HindcastSettings settings;
  settings.peels = static_cast<int>(state.range(1));
  settings.method.minimizer = state.range(2) == 0 ? FitMinimizer::Simplex : FitMinimizer::Marquardt;
  const std::unique_ptr<Workspace> ws = FittedExample(species);
  const int threads = kalvex::EveryCore();
  double oneSeconds = 0, manySeconds = 0;
  auto timedRun = [&](int count, double& seconds) {
    std::optional<kalvex::checks::HindcastInputs> inputs = kalvex::checks::HindcastInputsOf(*ws);
    inputs->settings.threads = count;
    const auto start = std::chrono::steady_clock::now();
    if (!kalvex::checks::ComputeHindcast(*inputs, settings).run) state.SkipWithError("the hindcast gave no result");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  bool oneFirst = true;
  for (auto _ : state) {
    if (oneFirst) timedRun(1, oneSeconds);
    timedRun(threads, manySeconds);
    if (!oneFirst) timedRun(1, oneSeconds);
    oneFirst = !oneFirst;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["threads"] = threads;
  state.counters["one_thread_s"] = oneSeconds / n;
  state.counters["threads_s"] = manySeconds / n;
  state.counters["speed_up"] = oneSeconds / manySeconds;
}

BENCHMARK(HindcastPaired)
    ->ArgNames({"species", "peels", "marquardt"})
    ->Args({1, 5, 0})
    ->Args({2, 5, 0})
    ->Args({2, 10, 0})
    ->Args({3, 5, 0})
    ->Args({1, 5, 1})
    ->Args({2, 5, 1})
    ->Args({2, 10, 1})
    ->Args({3, 5, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
