// The exact derivatives of the Oskane objective against what they replace,
// paired in every iteration so that the ratios come from one run on a shared
// machine (times are the thread's processor time, which other sessions on
// the cores do not inflate):
//  - Derivatives/S/n: a block of evaluations, the gradient, the gradient with
//    the Hessian (NF = -2) and one numerical Hessian grid of the covariance
//    calculator (p(p + 1) evaluations); every estimated parameter free.
//    Counters: each one's microseconds, the gradient and the Hessian in
//    evaluations, and each against the grid.
//  - Fit/25x100: Marquardt from the same start with analytical ("A") and
//    with numerical ("N") derivatives, alternately: calls, milliseconds and
//    the minimum reached by each.
#include <benchmark/benchmark.h>

#include <time.h>

#include <sstream>
#include <vector>

#include "OskaneBenchData.h"
#include "batch/BatchFrontend.h"
#include "covariance/HessianGrids.h"
#include "minimize/Marquardt.h"
#include "model/LikelihoodDerivatives.h"
#include "model/OskaneModel.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"

namespace {

using kalvex::Workspace;

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Processor seconds of one call of f, averaged over repeats calls.
template <class F>
double Timed(int repeats, F f) {
  const double start = ThreadSeconds();
  for (int r = 0; r < repeats; ++r) f();
  return (ThreadSeconds() - start) / repeats;
}

// Args: species, periods.
void Derivatives(benchmark::State& state) {
  Workspace ws(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(ws, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  auto& model = static_cast<kalvex::OskaneModel&>(*ws.model);
  const int count = model.NumParameters();
  std::vector<double> values = ws.Alg.Values, gradient(count + 1);
  kalvex::Matrix hessian(count, count);
  const kalvex::model::ResidualJacobian jacobian = kalvex::model::ResidualJacobian::Of(model.Data());
  const kalvex::model::PeriodBlocks blocks =
      kalvex::model::PackPeriodBlocks(model.Data(), kalvex::model::FastestVectorUnit());
  kalvex::CovarianceResults grid;
  grid.GridFactors = {0, 1.0, 0.1, 0.01};
  kalvex::Problem problem = kalvex::ProblemOf(ws);
  kalvex::StartCovarianceRun(problem, ws.Alg.Descriptions, grid);
  kalvex::GridValues gridValues;
  kalvex::GridObserver quiet;

  double evaluation = 0, gradientTime = 0, hessianTime = 0, gridTime = 0;
  int32_t nf = 1;
  for (auto _ : state) {
    evaluation += Timed(1000, [&] { benchmark::DoNotOptimize(model.Evaluate(values, ++nf)); });
    gradientTime += Timed(100, [&] {
      benchmark::DoNotOptimize(
          kalvex::model::LikelihoodDerivatives(model.Data(), blocks, jacobian, values, gradient, nullptr));
    });
    hessianTime += Timed(2, [&] { model.Derivatives(values, gradient, hessian); });
    gridTime += Timed(1, [&] {
      kalvex::ComputeGrid(problem, grid, 2, gridValues, quiet);
      benchmark::DoNotOptimize(kalvex::BuildHessian(grid, 2, gridValues));
    });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["free"] = grid.FreeCount();
  state.counters["evaluation_us"] = 1e6 * evaluation / n;
  state.counters["gradient_us"] = 1e6 * gradientTime / n;
  state.counters["hessian_us"] = 1e6 * hessianTime / n;
  state.counters["grid_us"] = 1e6 * gridTime / n;
  state.counters["gradient_in_evaluations"] = gradientTime / evaluation;
  state.counters["hessian_in_evaluations"] = hessianTime / evaluation;
  state.counters["gradient_per_grid"] = gradientTime / gridTime;
  state.counters["hessian_per_grid"] = hessianTime / gridTime;
}

// Marquardt on the 25 x 100 model from the same start, "A" then "N" (or the
// other way round) in every iteration.
void Fit(benchmark::State& state) {
  std::ostringstream sink;
  kalvex::batch::BatchFrontend ui(sink);
  Workspace ws(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(ws, 25, 100);
  const std::vector<double> start = ws.Alg.Values;
  struct Side {
    double seconds = 0, objective = 0;
    int64_t calls = 0;
    int32_t iterations = 0;
    bool converged = true;
  } analytical, numerical;
  auto run = [&](const char* mode, Side& side) {
    ws.Alg.Values = start;
    kalvex::NormalizeLinks(ws);
    kalvex::CollectFreeParameters(ws);
    ws.DerivativeMode = mode;
    const double begin = ThreadSeconds();
    const kalvex::MinimizeResult result = kalvex::RunMarquardt(ws, ui);
    side.seconds += ThreadSeconds() - begin;
    side.calls = result.totalFunctionCalls;
    side.iterations = result.iterations;
    side.objective = result.objective;
    side.converged = side.converged && result.end == kalvex::RunEnd::Converged;
  };
  bool analyticalFirst = true;
  for (auto _ : state) {
    if (analyticalFirst) run("A", analytical);
    run("N", numerical);
    if (!analyticalFirst) run("A", analytical);
    analyticalFirst = !analyticalFirst;
  }
  if (!analytical.converged || !numerical.converged) state.SkipWithError("a fit did not converge");
  const double n = static_cast<double>(state.iterations());
  state.counters["A_ms"] = 1000 * analytical.seconds / n;
  state.counters["N_ms"] = 1000 * numerical.seconds / n;
  state.counters["A_calls"] = static_cast<double>(analytical.calls);
  state.counters["N_calls"] = static_cast<double>(numerical.calls);
  state.counters["A_iterations"] = analytical.iterations;
  state.counters["N_iterations"] = numerical.iterations;
  state.counters["A_neg2lnL"] = analytical.objective;
  state.counters["N_neg2lnL"] = numerical.objective;
  state.counters["A_below_N"] = numerical.objective - analytical.objective;
  state.counters["N_over_A_time"] = numerical.seconds / analytical.seconds;
}

BENCHMARK(Derivatives)->Args({2, 40})->Args({25, 100})->Unit(benchmark::kMillisecond);
BENCHMARK(Fit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
