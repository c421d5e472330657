// The posterior with its grid nodes on several threads against one thread:
// the .pos and .grd texts, the model's best-fit record and last evaluation,
// the prior terms; also when corrections of Omega carry from node to node,
// after a numeric fault and after an interrupt.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <thread>

#include "algorithm/AlgorithmCommands.h"
#include "batch/BatchFrontend.h"
#include "evaluation/EvaluationReport.h"
#include "evaluation/PosteriorIntegration.h"
#include "model/OskaneModel.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

// What a posterior leaves behind.
struct RunState {
  EvaluationEnd end = EvaluationEnd::NoResults;
  std::string pos, grd, box;
  std::vector<double> bestValues, priorTerms;
  double bestObjective = 0, lastObjective = 0, priorValue = 0;
  bool operator==(const RunState&) const = default;
};

RunState StateOf(const Workspace& ws, EvaluationEnd end, std::string box) {
  const EvaluationState& kept = ws.Evaluation;
  RunState state{end, EvaluationReportText(kBayesianReportTitle, kept.Table, kept.Summary, kept.Note),
                 kept.Bivariate.PointCount ? BivariateGridText(kept.Bivariate) : "", std::move(box),
                 ws.model->BestValues(), ws.PriorTerms, ws.model->BestObjective(), 0, ws.PriorValue};
  if (auto* oskane = dynamic_cast<const OskaneModel*>(ws.model.get()))
    state.lastObjective = oskane->LastEvaluation().Objective;
  return state;
}

PriorEntry Prior(const char* letter, double first, double second) {
  PriorEntry prior;
  prior.TypeLetters = letter;
  prior.FirstTerm = first;
  prior.SecondTerm = second;
  return prior;
}

// The fitted two-species example: profile parameter, points, grid points,
// and the steps of the integrated parameters (the rest are fixed). Omega is
// parameter 9; 10 is a forecast value the likelihood does not read.
struct OskaneCase {
  const char* name;
  int parameter, points, gridPoints;
  std::vector<std::pair<int, double>> steps;
  bool priors = false;
};

RunState OskanePosterior(const OskaneCase& c, int threads) {
  Workspace ws(MakeOskaneModel());
  std::ostringstream sink;
  batch::BatchFrontend ui(sink);
  InitializeModel(ws, {2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  LoadAlgorithmFile(ws, ui, testing::TestData("two_species_fitted.alg"));
  for (int i = 1; i <= ws.Alg.NumParameters; ++i) ws.Alg.Steps[i] = 0;
  for (auto [parameter, step] : c.steps) ws.Alg.Steps[parameter] = step;
  if (c.priors) {
    ws.PriorsActive = kOn;
    ws.Priors[1] = Prior("N", -0.4, 0.05);
    ws.Priors[9] = Prior("B", 0.4, 0.2);
  }
  ws.ObjectiveScale = 2;
  ws.WorkerThreads = threads;
  ws.PosteriorEvaluationActive = kOn;
  const EvaluationEnd end = RunPosterior(ws, ui, {c.parameter, c.points, c.gridPoints});
  ws.PosteriorEvaluationActive = kOff;
  return StateOf(ws, end, "");
}

// x1 profiled over 5 points, x2 and x3 integrated over 21 each: node
// (j2 - 1) x 21 + (j3 - 1) of a point. `odd` returns the objective of a
// node it marks (throwing or far below the rest), or nothing.
double Quadratic(std::span<double> v) { return 5000 + v[1] * v[1] + v[2] * v[2] + v[3] * v[3] - v[2] * v[3]; }
using Odd = std::function<std::optional<double>(std::span<double>)>;
std::unique_ptr<Workspace> QuadraticWorkspace(Odd odd, std::chrono::microseconds delay = {}) {
  auto objective = [odd, delay](std::span<double> v) {
    if (delay.count() > 0) std::this_thread::sleep_for(delay);
    if (odd)
      if (std::optional<double> value = odd(v)) return *value;
    return Quadratic(v);
  };
  auto ws = std::make_unique<Workspace>(std::make_unique<testing::FunctionModel>(3, objective));
  InitializeModel(*ws, {});
  SetDefaultAlgorithmData(*ws);
  ws->Alg.Values = {0, 0, 0, 0};
  ws->Alg.Steps = {0, 0.1, 0.1, 0.1};
  ws->ObjectiveScale = 1;
  return ws;
}

bool Near(double a, double b) { return std::fabs(a - b) < 1e-9; }

TEST(PosteriorThreads, SameFilesAndWorkspaceForAnyThreadCount) {
  const OskaneCase cases[] = {
      // One integrated parameter: the .grd file.
      {"Omega integrated", 1, 5, 201, {{1, 0.01}, {9, 0.004}}},
      // Three integrated parameters, more than one block a point, priors.
      {"three integrated", 1, 5, 41, {{1, 0.01}, {3, 0.02}, {8, 0.02}, {9, 0.01}}, true},
  };
  for (const OskaneCase& c : cases) {
    SCOPED_TRACE(c.name);
    const RunState one = OskanePosterior(c, 1);
    ASSERT_EQ(one.end, EvaluationEnd::Results);
    for (int threads : {2, 3}) EXPECT_TRUE(OskanePosterior(c, threads) == one) << threads << " threads";
  }
  // Corrections the model makes carry from node to node: x1 = 0.2 of the
  // last profile point is set back to 0.15 at its first node, x2 > -0.35 (the
  // outer level, across every chunk seam) to -0.35 at each outer step's
  // first node; a correction costs 1.
  auto correcting = [](std::span<double> v) -> std::optional<double> {
    double extra = 0;
    for (auto [i, limit] : {std::pair{1, 0.15}, std::pair{2, -0.35}})
      if (v[i] > limit + 1e-9) {
        v[i] = limit;
        extra += 1;
      }
    return Quadratic(v) + extra;
  };
  std::vector<RunState> states;
  for (int threads : {1, 2, 3}) {
    auto ws = QuadraticWorkspace(correcting);
    ws->WorkerThreads = threads;
    std::ostringstream sink;
    batch::BatchFrontend ui(sink);
    const EvaluationEnd end = RunPosterior(*ws, ui, {1, 5, 21});
    states.push_back(StateOf(*ws, end, ""));
  }
  EXPECT_EQ(states[0].end, EvaluationEnd::Results);
  EXPECT_TRUE(states[1] == states[0]);
  EXPECT_TRUE(states[2] == states[0]);
}


// A numeric fault ends the run with the box and the model of one thread:
// the lowest faulting node's fault, even when a later chunk meets its own
// fault first; a weight that overflows ends it after its sweep.
TEST(PosteriorThreads, AFaultIsTheLowestFailingNodes) {
  // In point 3 (x1 = 0): node 99 (x2 = -0.6, x3 = 0.5) and node 299 (x2 =
  // 0.4, x3 = -0.5); each thread count puts 299 early in a later chunk.
  auto node99 = [](std::span<double> v) { return Near(v[1], 0) && Near(v[2], -0.6) && Near(v[3], 0.5); };
  auto node299 = [](std::span<double> v) { return Near(v[1], 0) && Near(v[2], 0.4) && Near(v[3], -0.5); };
  const std::pair<const char*, Odd> cases[] = {
      {"two faults",
       [=](std::span<double> v) -> std::optional<double> {
         if (node99(v)) throw NumericFault(kOverflow);
         if (node299(v)) throw NumericFault(kInvalidCall);
         return std::nullopt;
       }},
      {"a weight overflows",
       [=](std::span<double> v) -> std::optional<double> {
         if (node299(v)) return -1e4;
         return std::nullopt;
       }},
  };
  for (const auto& [name, odd] : cases) {
    SCOPED_TRACE(name);
    std::vector<RunState> states;
    for (int threads : {1, 2, 3}) {
      auto ws = QuadraticWorkspace(odd);
      ws->WorkerThreads = threads;
      ui::ScriptedFrontend ui;
      ui.ExpectMessage(kPosteriorTitle);
      const EvaluationEnd end = RunPosterior(*ws, ui, {1, 5, 21});
      states.push_back(StateOf(*ws, end, ui.LastMessage().text));
    }
    EXPECT_EQ(states[0].end, EvaluationEnd::Faulted);
    EXPECT_TRUE(states[1] == states[0]);
    EXPECT_TRUE(states[2] == states[0]);
  }
}

// Raises the interrupt once the status shows profile point `point` of 7 and
// then after `pumps` more pumps (0: at once, before the point's first node);
// raisedIn is the profile point then under way.
class InterruptingFrontend : public ui::ScriptedFrontend {
 public:
  InterruptingFrontend(Workspace& ws, int point, int pumps) : ws_(ws), point_(point), pumps_(pumps) {
    onPump = [this] {
      if (armed_ && pumps_-- == 0) Raise();
    };
  }
  void SetStatus(int bar, int panel, std::string_view text) override {
    ScriptedFrontend::SetStatus(bar, panel, text);
    const std::size_t at = text.find("(point ");
    if (at == std::string_view::npos || text.find(" of 7)", at) == std::string_view::npos) return;
    current_ = std::stoi(std::string(text.substr(at + 7)));
    if (current_ != point_ || pumps_ < 0) return;
    armed_ = true;
    if (pumps_ == 0) Raise();
  }
  int raisedIn = 0;

 private:
  void Raise() {
    ws_.InterruptBayes = true;
    raisedIn = current_;
    armed_ = false;
    pumps_ = -1;
  }
  Workspace& ws_;
  int point_, pumps_, current_ = 0;
  bool armed_ = false;
};

// An interrupt confirmed while the workers evaluate a profile point leaves
// the table, the .grd and the model of one thread interrupted as that point
// starts.
TEST(PosteriorThreads, InterruptLeavesTheStateOfOneThread) {
  auto run = [](int threads, int point, int pumps, int* raisedIn) {
    auto ws = QuadraticWorkspace({}, std::chrono::microseconds(threads == 1 ? 0 : 1000));
    ws->Alg.Steps[3] = 0;  // one integrated parameter: 201 nodes a point
    ws->WorkerThreads = threads;
    InterruptingFrontend ui(*ws, point, pumps);
    ui.ExpectMessage(kPosteriorInterruptTitle, ui::Answer::Yes);
    const EvaluationEnd end = RunPosterior(*ws, ui, {1, 7, 201});
    EXPECT_EQ(ui.PendingPrompts(), 0u);
    if (raisedIn) *raisedIn = ui.raisedIn;
    return StateOf(*ws, end, "");
  };
  // Two threads take about 100 ms a point; the pump after the one before
  // point 5's first block is the first tick, 20 ms into it (on a machine too
  // busy for that, the pump before point 6).
  int raisedIn = 0;
  const RunState threaded = run(2, 5, 1, &raisedIn);
  ASSERT_GE(raisedIn, 5);
  const RunState one = run(1, raisedIn, 0, nullptr);
  EXPECT_EQ(one.end, EvaluationEnd::Results);
  EXPECT_TRUE(threaded == one);
  // The report says where the run stopped.
  const std::string note = "The run was interrupted at point " + std::to_string(raisedIn) + " of 7; the first " +
                           std::to_string(raisedIn - 2) + " points are kept.\r\n";
  EXPECT_TRUE(one.pos.ends_with(note)) << one.pos;
}

}  // namespace
}  // namespace kalvex
