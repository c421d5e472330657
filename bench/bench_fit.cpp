// Complete Simplex and Marquardt fits of NIST StRD problems through a front
// end that never blocks, as the batch front end runs them. Counters: the
// evaluations per fit and the smallest log relative error of the parameters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "minimize/Marquardt.h"
#include "minimize/Simplex.h"
#include "ui/Frontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace {

using kalvex::Workspace;
namespace ui = kalvex::ui;

// Answers every question No and every box OK; shows nothing.
class QuietFrontend : public ui::Frontend {
 public:
  ui::Answer Message(std::string_view, std::string_view, int style) override {
    int buttons = ui::style::Buttons(style);
    return buttons == ui::style::kYesNo || buttons == ui::style::kYesNoCancel ? ui::Answer::No : ui::Answer::OK;
  }
  std::optional<std::string> Input(std::string_view, std::string_view, std::string_view) override { return {}; }
  std::optional<std::string> OpenFile(const ui::FileDialog&) override { return {}; }
  std::optional<std::string> SaveFile(const ui::FileDialog&) override { return {}; }
  void SetStatus(int, int, std::string_view) override {}
  void ClearStatusBars() override {}
  void ShowWindow(std::string_view) override {}
  void HideWindow(std::string_view) override {}
  void CloseWindow(std::string_view) override {}
  bool IsWindowOpen(std::string_view) const override { return true; }
  void SetPaneText(std::string_view, std::string_view, std::string_view) override {}
  std::string PaneText(std::string_view, std::string_view) const override { return {}; }
  void SetEnabled(std::string_view, std::string_view, bool) override {}
  void SetVisible(std::string_view, std::string_view, bool) override {}
  void SetCaption(std::string_view, std::string_view, std::string_view) override {}
  void SetToolTip(std::string_view, std::string_view, std::string_view) override {}
  void SetFocus(std::string_view, std::string_view) override {}
  void PumpEvents(bool) override {}
  ui::LocalDateTime Now() const override { return {}; }
};

struct Problem {
  std::vector<double> start, certified, x, y;
};

// The start-2 values, certified values and data of a NIST .dat file.
Problem ReadProblem(const std::string& name) {
  // The NIST folder is shared/nist beside the source tree, whose examples/ folder we know.
  std::string source = KALVEX_EXAMPLES;
  source = source.substr(0, source.find_last_of('/'));
  std::ifstream in(source + "/../shared/nist/" + name + ".dat");
  if (!in) throw std::runtime_error("no NIST file for " + name);
  Problem problem;
  std::string line;
  bool data = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    if (data) {
      double y = 0, x = 0;
      if (fields >> y >> x) problem.y.push_back(y), problem.x.push_back(x);
      continue;
    }
    std::string label, equals;
    double start1 = 0, start2 = 0, certified = 0;
    if (line.find(" = ") != std::string::npos && fields >> label >> equals >> start1 >> start2 >> certified &&
        label.size() >= 2 && label[0] == 'b' && equals == "=") {
      problem.start.push_back(start2);
      problem.certified.push_back(certified);
    } else if (line.rfind("Data:", 0) == 0 && line.find("Response") == std::string::npos) {
      data = true;
    }
  }
  return problem;
}

using Function = std::function<double(const double* b, double x)>;

class SumOfSquares : public kalvex::Model {
 public:
  SumOfSquares(Problem problem, Function f) : problem_(std::move(problem)), f_(std::move(f)) {}
  kalvex::ModelShape Initialize(const kalvex::ModelInitOptions&) override {
    kalvex::ModelShape shape;
    shape.numParameters = static_cast<int16_t>(problem_.start.size());
    shape.numEstimated = shape.numParameters;
    shape.dataPointCount = static_cast<int32_t>(problem_.x.size());
    shape.descriptions.assign(problem_.start.size() + 1, "b");
    best_.assign(problem_.start.size() + 1, 0.0);
    return shape;
  }
  double Evaluate(std::span<double> values, int32_t nf) override {
    kalvex::FloatingPointGuard guard;
    double sum = 0;
    for (std::size_t k = 0; k < problem_.x.size(); ++k) {
      double r = problem_.y[k] - f_(values.data() + 1, problem_.x[k]);
      sum += r * r;
    }
    guard.Check();
    if (nf == 1 || sum < bestValue_) bestValue_ = sum, best_.assign(values.begin(), values.end());
    return sum;
  }
  double BestObjective() const override { return bestValue_; }
  const std::vector<double>& BestValues() const override { return best_; }

 private:
  Problem problem_;
  Function f_;
  double bestValue_ = 0;
  std::vector<double> best_;
};

Function FunctionOf(const std::string& name) {
  if (name == "Misra1a") return [](const double* b, double x) { return b[0] * (1 - std::exp(-b[1] * x)); };
  if (name == "Chwirut2") return [](const double* b, double x) { return std::exp(-b[0] * x) / (b[1] + b[2] * x); };
  return [](const double* b, double x) {  // Thurber
    return (b[0] + b[1] * x + b[2] * x * x + b[3] * x * x * x) / (1 + b[4] * x + b[5] * x * x + b[6] * x * x * x);
  };
}

void Fit(benchmark::State& state, const std::string& name, bool simplex) {
  Problem problem = ReadProblem(name);
  QuietFrontend ui;
  int64_t calls = 0;
  double minLre = 0;
  for (auto _ : state) {
    Workspace ws(std::make_unique<SumOfSquares>(problem, FunctionOf(name)));
    kalvex::InitializeModel(ws, {});
    kalvex::SetDefaultAlgorithmData(ws);
    for (std::size_t i = 1; i <= problem.start.size(); ++i) {
      ws.Alg.Values[i] = problem.start[i - 1];
      ws.Alg.Steps[i] = 0.1 * std::fabs(problem.start[i - 1]);
    }
    ws.Alg.Tolerance = -1e-12;
    ws.Alg.MaxFunctionCalls = 20000;
    ws.Alg.TerminalFrequency = 10;
    kalvex::NormalizeLinks(ws);
    kalvex::CollectFreeParameters(ws);
    ws.DerivativeMode = "N";
    kalvex::MinimizeResult result = simplex ? kalvex::RunSimplex(ws, ui) : kalvex::RunMarquardt(ws, ui);
    calls = result.totalFunctionCalls;
    minLre = 15;
    for (std::size_t i = 1; i <= problem.start.size(); ++i) {
      double c = problem.certified[i - 1];
      double relative = std::fabs(ws.Alg.Values[i] - c) / std::fabs(c);
      minLre = std::min(minLre, relative == 0 ? 15.0 : -std::log10(relative));
    }
    benchmark::DoNotOptimize(ws.Alg.Values.data());
  }
  state.counters["calls"] = static_cast<double>(calls);
  state.counters["minLRE"] = minLre;
}

void BM_SimplexMisra1a(benchmark::State& state) { Fit(state, "Misra1a", true); }
void BM_MarquardtMisra1a(benchmark::State& state) { Fit(state, "Misra1a", false); }
void BM_SimplexChwirut2(benchmark::State& state) { Fit(state, "Chwirut2", true); }
void BM_MarquardtChwirut2(benchmark::State& state) { Fit(state, "Chwirut2", false); }
void BM_SimplexThurber(benchmark::State& state) { Fit(state, "Thurber", true); }

BENCHMARK(BM_SimplexMisra1a);
BENCHMARK(BM_MarquardtMisra1a);
BENCHMARK(BM_SimplexChwirut2);
BENCHMARK(BM_MarquardtChwirut2);
BENCHMARK(BM_SimplexThurber);

}  // namespace

BENCHMARK_MAIN();
