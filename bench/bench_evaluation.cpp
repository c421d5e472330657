// The evaluations through the batch front end, as kalvex-batch runs them: a
// 25-point Simplex profile of parameter 1 of each example, and a posterior
// of about a million grid nodes on the 2-species example (target: < 5 s).
#include <benchmark/benchmark.h>

#include <sstream>

#include "EvaluationBenchSetUp.h"
#include "batch/BatchFrontend.h"

namespace {

using kalvex::Workspace;

void Profile(benchmark::State& state) {
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  Workspace ws(kalvex::MakeOskaneModel());
  if (!kalvex::bench::SetUpExample(ws, frontend, static_cast<int>(state.range(0))))
    return state.SkipWithError("the example could not be loaded");
  for (auto _ : state)
    if (kalvex::bench::ProfileRun(ws, frontend) != kalvex::EvaluationEnd::Results)
      state.SkipWithError("the profile gave no results");
  state.counters["species"] = static_cast<double>(state.range(0));
}

void Posterior(benchmark::State& state) {
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  Workspace ws(kalvex::MakeOskaneModel());
  if (!kalvex::bench::SetUpPosteriorExample(ws, frontend)) return state.SkipWithError("the example could not be loaded");
  for (auto _ : state)
    if (kalvex::bench::PosteriorRun(ws, frontend) != kalvex::EvaluationEnd::Results)
      state.SkipWithError("the posterior gave no results");
  state.counters["nodes"] = kalvex::bench::kPosteriorNodes;
}

BENCHMARK(Profile)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(Posterior)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
