#include "ui/RunContext.h"

#include <gtest/gtest.h>

#include "minimize/Marquardt.h"
#include "minimize/Simplex.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

// (x - 3)^2 + (y + 1)^2 that faults at its k-th evaluation.
std::unique_ptr<Workspace> FaultingAt(int k, int& calls) {
  auto objective = [k, &calls](std::span<double> v) {
    if (++calls == k) throw NumericFault(kOverflow);
    return (v[1] - 3) * (v[1] - 3) + (v[2] + 1) * (v[2] + 1);
  };
  auto ws = std::make_unique<Workspace>(std::make_unique<testing::FunctionModel>(2, objective));
  InitializeModel(*ws, {});
  SetDefaultAlgorithmData(*ws);
  ws->Alg.Values = {0, 0, 0};
  ws->Alg.Steps = {0, 1, 1};
  ws->DerivativeMode = "N";
  NormalizeLinks(*ws);
  CollectFreeParameters(*ws);
  return ws;
}

TEST(RunContext, AFaultAtAnyCallEndsTheRunRestoresAndClearsThePanels) {
  for (bool simplex : {true, false}) {
    for (int k : {1, 2, 7, 15}) {
      int calls = 0;
      auto ws = FaultingAt(k, calls);
      ws->SimplexStateKept = true;
      ui::ScriptedFrontend ui;
      ui.ExpectMessage(simplex ? "Simplex minimization" : "Marquardt minimization");
      MinimizeResult result = simplex ? RunSimplex(*ws, ui) : RunMarquardt(*ws, ui);
      SCOPED_TRACE((simplex ? "Simplex at call " : "Marquardt at call ") + std::to_string(k));
      EXPECT_EQ(result.end, RunEnd::Error);
      EXPECT_EQ(result.message, "Overflow");
      EXPECT_EQ(calls, k);  // nothing was evaluated after the fault
      EXPECT_EQ(ui.LastMessage().text.rfind("Numeric fault: Overflow\r\n", 0), 0u);
      for (int panel = 1; panel <= 4; ++panel) EXPECT_EQ(ui.Status(kActivityBar, panel), "") << panel;
      if (simplex) {
        // Values hold the lowest point evaluated; the half-moved simplex is dropped.
        EXPECT_FALSE(ws->SimplexStateKept);
        if (ws->Simplex.HasLowest) {
          std::vector<double> lowest = ws->Alg.Values;
          EXPECT_EQ(EvaluateObjectiveWithCode(*ws, lowest, 1), result.objective);
        }
      } else {
        EXPECT_TRUE(ws->SimplexStateKept);  // Marquardt keeps the last accepted point only
      }
    }
  }
}

TEST(RunContext, RestoresDescribesAndClearsEveryPanelItUsed) {
  Workspace ws;
  ui::ScriptedFrontend ui;
  ui.ExpectMessage("Test fault");
  std::vector<std::string> steps;
  {
    RunContext run(ws, ui, {"frmSimplex", "Test fault", "", InterruptFlag::ML}, [] { return 0.0; });
    RunOutcome outcome = run.Run(
        [&] {
          run.Activity(2, "busy");
          run.Progress(ProgressBar::Remaining, 2, "1:00");
          throw NumericFault(kDivisionByZero);
        },
        {.describe = [&](const NumericFault& f) { steps.push_back("describe"); return "text " + std::string(f.what()); },
         .restore = [&] { steps.push_back("restore"); }});
    EXPECT_TRUE(outcome.faulted);
    EXPECT_EQ(outcome.fault, "Division by zero");
    EXPECT_EQ(ui.LastMessage().text, "text Division by zero");
    EXPECT_EQ(ui.LastMessage().style, 16);
    EXPECT_EQ(ui.Status(kActivityBar, 2), "");
    EXPECT_EQ(ui.Status(4, 2), "1:00");  // progress bars are cleared when the run ends
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"describe", "restore"}));
  EXPECT_EQ(ui.Status(4, 2), "");

  // Any other way out also leaves no panel behind.
  try {
    RunContext run(ws, ui, {"frmSimplex", "Test fault", "", InterruptFlag::None});
    run.Activity(4, "working");
    throw std::runtime_error("elsewhere");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(ui.Status(kActivityBar, 4), "");
}

TEST(RunContext, InterruptTokensAreTheWorkspaceFlags) {
  Workspace ws;
  InterruptToken(ws, InterruptFlag::Simplex).Raise();
  InterruptToken(ws, InterruptFlag::Bayes).Raise();
  EXPECT_EQ(ws.SimplexInterrupt, -1);
  EXPECT_TRUE(ws.InterruptBayes);
  EXPECT_FALSE(InterruptToken(ws, InterruptFlag::Marquardt).Pending());
  EXPECT_FALSE(InterruptToken(ws, InterruptFlag::ML).Pending());
  InterruptToken(ws, InterruptFlag::Simplex).Clear();
  EXPECT_EQ(ws.SimplexInterrupt, 0);
  EXPECT_FALSE(InterruptToken(ws, InterruptFlag::None).Pending());
}

TEST(RunContext, RemainingTimeIsMinutesAndTwoDigitSeconds) {
  struct Case {
    double elapsed;
    int64_t done, count;
    const char* text;
  };
  for (const Case& c : {Case{10, 1, 7, "1:00"}, Case{3, 2, 7, "0:08"}, Case{125, 5, 10, "2:05"},
                        Case{5, 0, 10, "0:00"}, Case{9, 3, 3, "0:00"}}) {
    EXPECT_EQ(RemainingTimeText(c.elapsed, c.done, c.count), c.text) << c.elapsed << " " << c.done;
  }
  double now = 100;
  Workspace ws;
  ui::ScriptedFrontend ui;
  RunContext run(ws, ui, {}, [&] { return now; });
  now = 130;
  EXPECT_EQ(run.TimeRemaining(3, 9), "1:00");
}

}  // namespace
}  // namespace kalvex
