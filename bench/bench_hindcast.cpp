// The hindcast of each example, fitted first by Marquardt from its
// algorithm file, and of 25 species x 100 periods (every estimated
// parameter free, five Marquardt iterations per peel), on one thread and on
// every core. The peels are independent fits handed to the workers as they
// come free. Target on a 2-core machine: two threads at least 1.8 times as
// fast as one. The examples' hindcasts take a few milliseconds, so their
// ratio shows the overhead of the threads more than their gain.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "OskaneBenchData.h"
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

// The example loaded and fitted by Marquardt, as kalvex-batch marquardt
// leaves it; 25 species: the large data set at its start values.
std::unique_ptr<Workspace> FittedExample(int species) {
  auto ws = std::make_unique<Workspace>(kalvex::MakeOskaneModel());
  if (species == 25) {
    kalvex::bench::SetUpEveryParameterFree(*ws, 25, 100);
    ws->Alg.MaxFunctionCalls = 5;  // Marquardt iterations
    kalvex::NormalizeLinks(*ws);
    kalvex::CollectFreeParameters(*ws);
    return ws;
  }
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

double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// What the peels' unequal lengths leave of the ideal speed-up on `workers`
// idle cores: each peel's fit timed alone (processor time of its thread),
// then handed out in order to the first worker free, as the hindcast does;
// the sum of the fits over the longest worker's share.
double BalancedSpeedUp(const Workspace& ws, const kalvex::checks::HindcastSettings& settings, int workers) {
  const auto& model = static_cast<const kalvex::OskaneModel&>(*ws.model);
  std::vector<double> finish(static_cast<std::size_t>(workers), 0.0);
  double total = 0;
  for (int h = 1; h <= settings.peels; ++h) {
    kalvex::Problem problem(kalvex::ObjectiveEvaluator(model.CloneFirstPeriods(model.NumPeriods() - h),
                                                       kalvex::ObjectiveTermsOf(ws)),
                            ws.Alg.Values, ws.Alg.Steps, kalvex::ProblemSettings::Of(ws.Alg));
    const double start = ThreadSeconds();
    kalvex::checks::FitQuietly(problem, settings.method);
    const double seconds = ThreadSeconds() - start;
    total += seconds;
    *std::min_element(finish.begin(), finish.end()) += seconds;
  }
  return total / *std::max_element(finish.begin(), finish.end());
}

// Args: species, peels, minimizer (0 Simplex, 1 Marquardt). Both thread
// counts in each iteration, alternating which goes first, so that both meet
// the same load on a shared machine; speed_up = one_thread_s / threads_s
// (wall clock), cpu_efficiency = the processor time of the whole process on
// one thread over that on every core: below 1 by what the threads cost
// beyond the fits' own work. On busy cores the wall clock shows what the
// threads were given; on idle ones the speed-up approaches cpu_efficiency x
// balanced_speed_up (the peels' fit times over the longest worker's share:
// at most 5/3 for five equal peels on two cores, 2 for ten).
void HindcastPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0));
  kalvex::checks::HindcastSettings settings;
  settings.peels = static_cast<int>(state.range(1));
  settings.method.minimizer = state.range(2) == 0 ? FitMinimizer::Simplex : FitMinimizer::Marquardt;
  const std::unique_ptr<Workspace> ws = FittedExample(species);
  const int threads = kalvex::EveryCore();
  struct Spent {
    double wall = 0, cpu = 0;
  } one, many;
  auto timedRun = [&](int count, Spent& spent) {
    std::optional<kalvex::checks::HindcastInputs> inputs = kalvex::checks::HindcastInputsOf(*ws);
    inputs->settings.threads = count;
    const double cpu = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (!kalvex::checks::ComputeHindcast(*inputs, settings).run) state.SkipWithError("the hindcast gave no result");
    spent.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    spent.cpu += ProcessSeconds() - cpu;
  };
  bool oneFirst = true;
  for (auto _ : state) {
    if (oneFirst) timedRun(1, one);
    timedRun(threads, many);
    if (!oneFirst) timedRun(1, one);
    oneFirst = !oneFirst;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["threads"] = threads;
  state.counters["one_thread_s"] = one.wall / n;
  state.counters["threads_s"] = many.wall / n;
  state.counters["speed_up"] = one.wall / many.wall;
  state.counters["cpu_efficiency"] = one.cpu / many.cpu;
  state.counters["balanced_speed_up"] = BalancedSpeedUp(*ws, settings, threads);
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
    ->Args({25, 4, 1})
    ->Args({25, 5, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
