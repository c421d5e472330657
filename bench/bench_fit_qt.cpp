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
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "algorithm/AlgorithmCommands.h"
#include "app/Workbench.h"
#include "batch/BatchFrontend.h"
#include "workflow/MinimizeCommands.h"
#include "model/OskaneModel.h"
#include "ui/qt/DialogProvider.h"

namespace {

using kalvex::Workspace;
namespace ui = kalvex::ui;

struct Example {
  int species;
  const char* name;
};
constexpr Example kExamples[] = {{1, "one_species"}, {2, "two_species"}, {3, "three_species"}};

// Questions get No (numerical derivatives, no derivative display, no more
// calls after the limit); every other box is acknowledged.
class PolicyDialogs : public ui::qt::DialogProvider {
 public:
  ui::Answer Message(QWidget*, const std::string&, const std::string&, int style) override {
    int buttons = ui::style::Buttons(style);
    return buttons == ui::style::kYesNo || buttons == ui::style::kYesNoCancel ? ui::Answer::No : ui::Answer::OK;
  }
  std::optional<std::string> Input(QWidget*, const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(QWidget*, const ui::FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(QWidget*, const ui::FileDialog&) override { return std::nullopt; }
};

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

// One trip through the event loop: everything posted, drawing included.
void Settle() {
  QEventLoop loop;
  QTimer::singleShot(0, &loop, &QEventLoop::quit);
  loop.exec();
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
  static PolicyDialogs dialogs;
  static kalvex::app::Workbench* workbench = [] {
    auto* wb = new kalvex::app::Workbench(kalvex::MakeOskaneModel(), &dialogs);
    wb->Start();
    return wb;
  }();
  return *workbench;
}

void BM_FitQt(benchmark::State& state) {
  kalvex::app::Workbench& wb = SharedWorkbench();
  Run(state, wb.ws, wb.ui, Settle);
}

void BM_FitQtDrawn(benchmark::State& state) {
  kalvex::app::Workbench& wb = SharedWorkbench();
  Run(state, wb.ws, wb.ui, Settle, true);
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_FitPaired(benchmark::State& state) {
  const Example& example = kExamples[state.range(0)];
  bool simplex = state.range(1) == 0;
  std::ostringstream sink;
  kalvex::batch::BatchFrontend batchFrontend(sink);
  Workspace batchWs(kalvex::MakeOskaneModel());
  kalvex::app::Workbench& wb = SharedWorkbench();
  double batchSeconds = 0, qtSeconds = 0;
  auto timedFit = [&](Workspace& ws, ui::Frontend& frontend, double& seconds) {
    Prepare(ws, frontend, example, state.range(2));
    Settle();
    seconds += Seconds([&] { Fit(ws, frontend, simplex); });
  };
  bool batchFirst = true;  // alternating, so neither always runs on the other's caches
  for (auto _ : state) {
    if (batchFirst) timedFit(batchWs, batchFrontend, batchSeconds);
    timedFit(wb.ws, wb.ui, qtSeconds);
    if (!batchFirst) timedFit(batchWs, batchFrontend, batchSeconds);
    batchFirst = !batchFirst;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["batch_ms"] = 1000 * batchSeconds / n;
  state.counters["qt_ms"] = 1000 * qtSeconds / n;
  state.counters["qt_extra_pct"] = 100 * (qtSeconds / batchSeconds - 1);
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
