// One Oskane objective evaluation at the smallest typical size and at the
// largest the data file allows: through EvaluateObjective as the analyses
// call it, and the model alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "OskaneBenchData.h"
#include "model/OskaneModel.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace {

// A model of the benchmark's size with a trial vector of moderate coefficients.
struct Setup {
  explicit Setup(const benchmark::State& state) : ws(kalvex::MakeOskaneModel()) {
    const int species = static_cast<int>(state.range(0));
    const std::string path = kalvex::bench::WriteOskaneData(species, static_cast<int>(state.range(1)));
    kalvex::InitializeModel(ws, kalvex::ModelInitOptions{species, path});
    std::filesystem::remove(path);
    kalvex::SetDefaultAlgorithmData(ws);  // every parameter unlinked
    model = static_cast<kalvex::OskaneModel*>(ws.model.get());
    values.assign(model->NumParameters() + 1, 0.0);
    for (int i = 1; i <= model->NumEstimated(); ++i) values[i] = (i % 2 ? 0.11 : -0.05);
    values[model->Layout().Omega()] = 0.45;
  }
  // A new trial point each call; Omega stays, as in most calls of a profile or a grid.
  void Move(int call) { values[model->Layout().Intercept()] = 0.11 + 1e-9 * (call % 7); }

  kalvex::Workspace ws;
  kalvex::OskaneModel* model = nullptr;
  std::vector<double> values;
};

// Call counter, link expansion, model and prior switch. Every call is a
// run's first (NF = 1), so the model stores its best-fit record each time.
void EvaluateObjective(benchmark::State& state) {
  Setup setup(state);
  int call = 0;
  for (auto _ : state) {
    setup.Move(++call);
    setup.ws.FunctionCallCount = 0;
    benchmark::DoNotOptimize(kalvex::EvaluateObjective(setup.ws, setup.values));
  }
}

// The model alone, NF rising: the record is replaced only by a better value.
void ModelAlone(benchmark::State& state) {
  Setup setup(state);
  int32_t nf = 0;
  for (auto _ : state) {
    setup.Move(++nf);
    benchmark::DoNotOptimize(setup.model->Evaluate(setup.values, nf));
  }
}

BENCHMARK(EvaluateObjective)->Args({2, 40})->Args({25, 100});
BENCHMARK(ModelAlone)->Args({2, 40})->Args({25, 100});

}  // namespace

BENCHMARK_MAIN();
