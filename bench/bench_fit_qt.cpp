// The cost of the real windows: the same complete Simplex and Marquardt fits
// of each example through the batch front end and through the Qt workbench
// (offscreen). The Qt run should cost at most a few percent more: the fits
// pump events at a rate-limited pace, so repainting must not dominate.
//
// A Qt command starts, as a click does, from an event loop that has just
// drawn everything. BM_FitQt times the command; BM_FitQtDrawn also the
// event loop's drawing of the end state once the command is over.
// BM_FitPaired runs the batch fit and the Qt fit back to back in every
// iteration, each after the same trip through the event loop, so the
// machine's drift and the caches the drawing cools touch both alike; its
// qt_extra_pct counter is the figure to hold against the 5% target.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>
#include <sstream>
#include <string>

#include "QtPairedBench.h"
#include "algorithm/AlgorithmCommands.h"
#include "app/Workbench.h"
#include "batch/BatchFrontend.h"
#include "workflow/MinimizeCommands.h"
#include "model/OskaneModel.h"

namespace {

using kalvex::Workspace;
namespace ui = kalvex::ui;

struct Example {
  int species;
  const char* name;
};
constexpr Example kExamples[] = {{1, "one_species"}, {2, "two_species"}, {3, "three_species"}};

// longCalls > 0: a tolerance of 0 keeps the run going until that many calls,
// which shows the per-evaluation cost of the windows apart from opening them.
void Prepare(Workspace& ws, ui::Frontend& frontend, const Example& example, int64_t longCalls) {
  std::string base = std::string(KALVEX_EXAMPLES) + "/" + example.name;
  kalvex::InitializeModel(ws, {example.species, base + ".dat"});
  kalvex::LoadAlgorithmFile(ws, frontend, base + ".alg");
  if (longCalls > 0) {
    ws.Alg.Tolerance = 0;
    ws.Alg.MaxFunctionCalls = static_cast<int32_t>(longCalls);
  }
}

kalvex::MinimizeResult Fit(Workspace& ws, ui::Frontend& frontend, bool simplex) {
  return simplex ? kalvex::SimplexCommand(ws, frontend) : kalvex::MarquardtCommand(ws, frontend);
}

void Run(benchmark::State& state, Workspace& ws, ui::Frontend& frontend, void (*settle)() = nullptr,
         bool timeDrawing = false) {
  const Example& example = kExamples[state.range(0)];
  bool simplex = state.range(1) == 0;
  long calls = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Prepare(ws, frontend, example, state.range(2));
    if (settle) settle();
    state.ResumeTiming();
    calls += Fit(ws, frontend, simplex).totalFunctionCalls;
    if (settle && timeDrawing) settle();
  }
  state.counters["calls"] = benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
  state.SetLabel(std::string(example.name) + (simplex ? " simplex" : " marquardt"));
}

void BM_FitBatch(benchmark::State& state) {
  std::ostringstream sink;
  kalvex::batch::BatchFrontend frontend(sink);
  Workspace ws(kalvex::MakeOskaneModel());
  Run(state, ws, frontend);
}

kalvex::app::Workbench& SharedWorkbench() {
  // Questions get No: numerical derivatives, no derivative display, no more calls after the limit.
  static kalvex::bench::PolicyDialogs dialogs;
  static kalvex::app::Workbench* workbench = [] {
    auto* wb = new kalvex::app::Workbench(kalvex::MakeOskaneModel(), &dialogs);
    wb->Start();
    return wb;
  }();
  return *workbench;
}

void BM_FitQt(benchmark::State& state) {
  kalvex::app::Workbench& wb = SharedWorkbench();
  Run(state, wb.ws, wb.ui, kalvex::bench::Settle);
}

void BM_FitQtDrawn(benchmark::State& state) {
  kalvex::app::Workbench& wb = SharedWorkbench();
  Run(state, wb.ws, wb.ui, kalvex::bench::Settle, true);
}

void BM_FitPaired(benchmark::State& state) {
  const Example& example = kExamples[state.range(0)];
  bool simplex = state.range(1) == 0;
  std::ostringstream sink;
  kalvex::batch::BatchFrontend batchFrontend(sink);
  Workspace batchWs(kalvex::MakeOskaneModel());
  kalvex::app::Workbench& wb = SharedWorkbench();
  kalvex::bench::RunPaired(state, [&](bool qt) {
    Workspace& ws = qt ? wb.ws : batchWs;
    ui::Frontend& frontend = qt ? static_cast<ui::Frontend&>(wb.ui) : batchFrontend;
    Prepare(ws, frontend, example, state.range(2));
    kalvex::bench::Settle();
    return kalvex::bench::Measure([&] { Fit(ws, frontend, simplex); });
  });
  state.SetLabel(std::string(example.name) + (simplex ? " simplex" : " marquardt"));
}

void Arguments(benchmark::internal::Benchmark* b) {
  for (int example = 0; example < 3; ++example)
    for (int minimizer = 0; minimizer < 2; ++minimizer) b->Args({example, minimizer, 0});
  b->Args({2, 0, 100000});  // long Simplex runs: 100000 and 400000 calls, then the limit
  b->Args({2, 0, 400000});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FitBatch)->Apply(Arguments);
BENCHMARK(BM_FitQt)->Apply(Arguments);
BENCHMARK(BM_FitQtDrawn)->Apply(Arguments);
BENCHMARK(BM_FitPaired)->Apply(Arguments);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
