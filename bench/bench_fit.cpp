// Complete Simplex and Marquardt fits through the batch front end: NIST StRD
// problems (counters: evaluations per fit and the smallest log relative error
// of the parameters) and the three-species Oskane example from its algorithm
// file through the main-menu commands (counters: evaluations and -2 ln L).
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

#include "algorithm/AlgorithmCommands.h"
#include "batch/BatchFrontend.h"
#include "minimize/Marquardt.h"
#include "workflow/MinimizeCommands.h"
#include "model/OskaneModel.h"
#include "minimize/Simplex.h"
#include "ui/Frontend.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace {

using kalvex::Workspace;
namespace ui = kalvex::ui;

// The batch front end with its messages thrown away.
class QuietFrontend : public kalvex::batch::BatchFrontend {
 public:
  QuietFrontend() : BatchFrontend(sink_) {}

 private:
  static inline std::ostringstream sink_;
};

struct Problem {
  std::vector<double> start, certified, x, y;
};

// The blank-separated fields of a line.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  for (std::size_t at = line.find_first_not_of(' '); at != std::string::npos; at = line.find_first_not_of(' ', at)) {
    std::size_t end = std::min(line.find(' ', at), line.size());
    fields.push_back(line.substr(at, end - at));
    at = end;
  }
  return fields;
}

// The start-2 values, certified values and data of a NIST .dat file.
Problem ReadProblem(const std::string& name) {
  std::ifstream in(std::string(KALVEX_NIST) + "/" + name + ".dat");
  if (!in) throw std::runtime_error("no NIST file for " + name);
  auto number = [](const std::string& field) { return kalvex::ParseNumber(field).value_or(NAN); };
  Problem problem;
  std::string line;
  bool data = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields = Fields(line);
    if (data) {
      if (fields.size() == 2) problem.y.push_back(number(fields[0])), problem.x.push_back(number(fields[1]));
      continue;
    }
    if (fields.size() == 6 && fields[0].size() >= 2 && fields[0][0] == 'b' && fields[1] == "=") {
      problem.start.push_back(number(fields[3]));
      problem.certified.push_back(number(fields[4]));
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
    ws.DerivativeMode = std::string("N");  // a move: GCC 12 warns falsely (-Wrestrict) on the literal
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

// The example's own algorithm file, fitted by the main-menu command.
void FitExample(benchmark::State& state, bool simplex) {
  QuietFrontend ui;
  int64_t calls = 0;
  double objective = 0;
  for (auto _ : state) {
    Workspace ws(kalvex::MakeOskaneModel());
    kalvex::InitializeModel(ws, kalvex::ModelInitOptions{3, std::string(KALVEX_EXAMPLES) + "/three_species.dat"});
    kalvex::LoadAlgorithmFile(ws, ui, std::string(KALVEX_EXAMPLES) + "/three_species.alg");
    kalvex::MinimizeResult result = simplex ? kalvex::SimplexCommand(ws, ui) : kalvex::MarquardtCommand(ws, ui);
    calls = result.totalFunctionCalls;
    objective = result.objective;
  }
  state.counters["calls"] = static_cast<double>(calls);
  state.counters["neg2lnL"] = objective;
}

void BM_SimplexThreeSpecies(benchmark::State& state) { FitExample(state, true); }
void BM_MarquardtThreeSpecies(benchmark::State& state) { FitExample(state, false); }

BENCHMARK(BM_SimplexMisra1a);
BENCHMARK(BM_MarquardtMisra1a);
BENCHMARK(BM_SimplexChwirut2);
BENCHMARK(BM_MarquardtChwirut2);
BENCHMARK(BM_SimplexThurber);
BENCHMARK(BM_SimplexThreeSpecies);
BENCHMARK(BM_MarquardtThreeSpecies);

}  // namespace

BENCHMARK_MAIN();
