// The three Hessian grids of a numerical covariance run through the batch
// front end (as kalvex-batch covariance runs them): 25 species x 100 periods
// with every estimated parameter free, and the report collated from them.
#include <benchmark/benchmark.h>

#include <sstream>

#include "OskaneBenchData.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "covariance/LikelihoodConstant.h"

namespace {

using kalvex::Workspace;

void Grids(benchmark::State& state) {
  Workspace ws(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(ws, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  frontend.AnswerInput(kalvex::kEnterConstantTitle, "0.5");
  for (auto _ : state) {
    if (kalvex::RunNumericalCovariance(ws, frontend) != kalvex::CovarianceRunEnd::Completed)
      state.SkipWithError("the run did not complete");
  }
  int n = ws.Covariance.Results.FreeCount();
  state.counters["free"] = n;
  state.counters["evaluations"] = 1 + 3 * n * (n + 1);
}

void Report(benchmark::State& state) {
  Workspace ws(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(ws, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  frontend.AnswerInput(kalvex::kEnterConstantTitle, "0.5");
  kalvex::RunNumericalCovariance(ws, frontend);
  for (auto _ : state) benchmark::DoNotOptimize(kalvex::CovarianceReportText(ws.Covariance.Results));
}

BENCHMARK(Grids)->Args({2, 40})->Args({25, 100})->Unit(benchmark::kMillisecond);
BENCHMARK(Report)->Args({25, 100})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
