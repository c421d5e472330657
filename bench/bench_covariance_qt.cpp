// The cost of the real windows for a covariance run: the same three grids
// (25 species x 100 periods, every estimated parameter free) through the
// batch front end and through the Qt workbench (offscreen), back to back in
// every iteration after the same trip through the event loop. qt_extra_pct
// is the figure to hold against the 5% target: the grids pump events only
// through the front end's rate-limited pump and rebuild their status texts
// at most every 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <sstream>

#include "OskaneBenchData.h"
#include "QtPairedBench.h"
#include "app/Workbench.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/LikelihoodConstant.h"

namespace {

using kalvex::Workspace;
namespace ui = kalvex::ui;

void GridsPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0)), periods = static_cast<int>(state.range(1));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend batchFrontend(sink);
  // Both sides run the computation kalvex-batch runs: the constant 0.5 of an objective -2 ln L.
  kalvex::CovarianceSettings settings;
  settings.objectiveScale = 2;
  Workspace batchWs(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(batchWs, species, periods);

  static kalvex::bench::PolicyDialogs dialogs("0.5");  // the objective is -2 ln L
  kalvex::app::Workbench wb(kalvex::MakeOskaneModel(), &dialogs);
  wb.Start();
  kalvex::bench::SetUpEveryParameterFree(wb.ws, species, periods);
  batchWs.WorkerThreads = wb.ws.WorkerThreads;  // the workbench's every core on both sides

  kalvex::bench::RunPaired(state, [&](bool qt) {
    kalvex::bench::Settle();
    return kalvex::bench::Measure([&] {
      Workspace& ws = qt ? wb.ws : batchWs;
      ws.ObjectiveScale = 2;
      // The workbench's run shows its log as the window does.
      if (qt) kalvex::RunCovariance(wb.ws, wb.ui, settings, {}, {}, &wb.menu.CovarianceCommands());
      else kalvex::RunCovariance(batchWs, batchFrontend, settings);
    });
  });
}

BENCHMARK(GridsPaired)->Args({25, 100})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
