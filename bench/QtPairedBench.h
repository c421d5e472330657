#pragma once
// What the paired benchmarks of the Qt workbench share: dialogs answered by
// policy, letting the event loop settle, and the batch and Qt runs timed
// back to back in every iteration.
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>

#include <time.h>

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

// A run's wall-clock time and the processor time of all the process's
// threads meanwhile.
struct Timed {
  double wall = 0, cpu = 0;
  Timed& operator+=(const Timed& other) {
    wall += other.wall;
    cpu += other.cpu;
    return *this;
  }
};

inline double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

inline Timed Measure(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu = ProcessCpuSeconds();
  work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), ProcessCpuSeconds() - cpu};
}

// Each iteration times one batch run and one Qt run, alternating which goes
// first so neither always runs on the other's caches; qt_extra_pct is the
// figure held against the 5 % targets. On a machine that other work keeps
// busy the wall clocks wander with the share of a core the run gets, the
// processor times much less: qt_cpu_extra_pct is the same comparison in
// processor time (all threads).
inline void RunPaired(benchmark::State& state, const std::function<Timed(bool qt)>& timedRun) {
  Timed batch, qt;
  bool batchFirst = true;
  for (auto _ : state) {
    if (batchFirst) batch += timedRun(false);
    qt += timedRun(true);
    if (!batchFirst) batch += timedRun(false);
    batchFirst = !batchFirst;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["batch_ms"] = 1000 * batch.wall / n;
  state.counters["qt_ms"] = 1000 * qt.wall / n;
  state.counters["qt_extra_pct"] = 100 * (qt.wall / batch.wall - 1);
  state.counters["qt_cpu_extra_pct"] = 100 * (qt.cpu / batch.cpu - 1);
}

}  // namespace kalvex::bench
