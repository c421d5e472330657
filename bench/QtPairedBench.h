#pragma once
// What the paired benchmarks of the Qt workbench share: dialogs answered by
// policy, letting the event loop settle, and the batch and Qt runs timed
// back to back in every iteration.
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "covariance/LikelihoodConstant.h"
#include "ui/qt/DialogProvider.h"

namespace kalvex::bench {

// Questions get No, other boxes OK, input boxes nothing, except the
// "Enter constant" prompt when a constant is given.
class PolicyDialogs : public ui::qt::DialogProvider {
 public:
  explicit PolicyDialogs(std::optional<std::string> constant = std::nullopt) : constant_(std::move(constant)) {}
  ui::Answer Message(QWidget*, const std::string&, const std::string&, int style) override {
    int buttons = ui::style::Buttons(style);
    return buttons == ui::style::kYesNo || buttons == ui::style::kYesNoCancel ? ui::Answer::No : ui::Answer::OK;
  }
  std::optional<std::string> Input(QWidget*, const std::string&, const std::string& title, const std::string&) override {
    if (constant_ && title == kEnterConstantTitle) return constant_;
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(QWidget*, const ui::FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(QWidget*, const ui::FileDialog&) override { return std::nullopt; }

 private:
  std::optional<std::string> constant_;
};

// Lets the event loop finish what the last command left for it.
inline void Settle() {
  QEventLoop loop;
  QTimer::singleShot(0, &loop, &QEventLoop::quit);
  loop.exec();
}

inline double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration times one batch run and one Qt run (timedRun(qt) returns
// seconds), alternating which goes first so neither always runs on the
// other's caches; qt_extra_pct is the figure held against the 5 % targets.
inline void RunPaired(benchmark::State& state, const std::function<double(bool qt)>& timedRun) {
  double batchSeconds = 0, qtSeconds = 0;
  bool batchFirst = true;
  for (auto _ : state) {
    if (batchFirst) batchSeconds += timedRun(false);
    qtSeconds += timedRun(true);
    if (!batchFirst) batchSeconds += timedRun(false);
    batchFirst = !batchFirst;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["batch_ms"] = 1000 * batchSeconds / n;
  state.counters["qt_ms"] = 1000 * qtSeconds / n;
  state.counters["qt_extra_pct"] = 100 * (qtSeconds / batchSeconds - 1);
}

}  // namespace kalvex::bench
