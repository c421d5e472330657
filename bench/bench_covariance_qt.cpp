// The cost of the real windows for a covariance run: the same three grids
// (25 species x 100 periods, every estimated parameter free) through the
// batch front end and through the Qt workbench (offscreen), back to back in
// every iteration after the same trip through the event loop. qt_extra_pct
// is the figure to hold against the 5% target: the grids pump events only
// through the front end's rate-limited pump and rebuild their status texts
// at most every 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>
#include <sstream>

#include "OskaneBenchData.h"
#include "app/Workbench.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/LikelihoodConstant.h"
#include "ui/qt/DialogProvider.h"

namespace {

using kalvex::Workspace;
namespace ui = kalvex::ui;

// The constant prompt gets 0.5 (the objective is -2 ln L); questions get No.
class PolicyDialogs : public ui::qt::DialogProvider {
 public:
  ui::Answer Message(QWidget*, const std::string&, const std::string&, int style) override {
    int buttons = ui::style::Buttons(style);
    return buttons == ui::style::kYesNo || buttons == ui::style::kYesNoCancel ? ui::Answer::No : ui::Answer::OK;
  }
  std::optional<std::string> Input(QWidget*, const std::string&, const std::string& title, const std::string&) override {
    if (title == kalvex::kEnterConstantTitle) return "0.5";
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(QWidget*, const ui::FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(QWidget*, const ui::FileDialog&) override { return std::nullopt; }
};

void Settle() {
  QEventLoop loop;
  QTimer::singleShot(0, &loop, &QEventLoop::quit);
  loop.exec();
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void GridsPaired(benchmark::State& state) {
  const int species = static_cast<int>(state.range(0)), periods = static_cast<int>(state.range(1));
  std::ostringstream sink;
  kalvex::batch::BatchFrontend batchFrontend(sink);
  batchFrontend.AnswerInput(kalvex::kEnterConstantTitle, "0.5");
  Workspace batchWs(kalvex::MakeOskaneModel());
  kalvex::bench::SetUpEveryParameterFree(batchWs, species, periods);

  static PolicyDialogs dialogs;
  kalvex::app::Workbench wb(kalvex::MakeOskaneModel(), &dialogs);
  wb.Start();
  kalvex::bench::SetUpEveryParameterFree(wb.ws, species, periods);

  double batchSeconds = 0, qtSeconds = 0;
  auto timedRun = [&](Workspace& ws, ui::Frontend& frontend, double& seconds) {
    Settle();
    seconds += Seconds([&] { kalvex::RunNumericalCovariance(ws, frontend); });
  };
  bool batchFirst = true;  // alternating, so neither always runs on the other's caches
  for (auto _ : state) {
    if (batchFirst) timedRun(batchWs, batchFrontend, batchSeconds);
    timedRun(wb.ws, wb.ui, qtSeconds);
    if (!batchFirst) timedRun(batchWs, batchFrontend, batchSeconds);
    batchFirst = !batchFirst;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["batch_ms"] = 1000 * batchSeconds / n;
  state.counters["qt_ms"] = 1000 * qtSeconds / n;
  state.counters["qt_extra_pct"] = 100 * (qtSeconds / batchSeconds - 1);
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
