#include "workflow/MinimizeCommands.h"

#include <gtest/gtest.h>

#include "minimize/MinimizeFixture.h"
#include "workflow/MainMenu.h"

namespace kalvex {
namespace {

using testing::Bowl;
using testing::MakeWorkspace;
using testing::RecordingFrontend;
using ui::Answer;

void ExpectMenuReady(const RecordingFrontend& ui) {
  for (std::string_view button : ui::names::kWorkflowButtons) EXPECT_TRUE(ui.IsEnabled("frmMenu", button)) << button;
  EXPECT_TRUE(ui.IsEnabled("frmMain", "mnuApplication"));
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
}

TEST(SimplexCommand, NothingToDoWithEveryStepZero) {
  auto ws = MakeWorkspace(Bowl({1}), {0}, {0});
  RecordingFrontend ui;
  ui.ExpectMessage("There is nothing to do!");
  EXPECT_EQ(SimplexCommand(*ws, ui).end, RunEnd::NothingToDo);
  EXPECT_EQ(ui.LastMessage().text, "All step sizes are zero");
  EXPECT_EQ(ui.LastMessage().style, 48);
  ExpectMenuReady(ui);
  EXPECT_FALSE(ui.IsWindowOpen("frmSimplex"));
}

TEST(SimplexCommand, RunsWithTheMenuBusyAndGivesItBack) {
  auto ws = MakeWorkspace(Bowl({1, 2}), {3, 3}, {1, 1});
  ws->CovarianceResultsValid = kOn;
  ws->Alg.Links = {"", "A", "A"};  // a link group: the follower gets step 0
  RecordingFrontend ui;
  ui.ShowWindow("frmOneFunction");
  ui.ShowWindow("frmMenu");
  MainMenu menu(*ws, ui);
  bool busySeen = false;
  ui.onPump = [&] {
    busySeen = menu.SimplexWindowControl().CommandRunning() && !ui.IsEnabled("frmMenu", "cmdSimplex") &&
               !ui.IsEnabled("frmMain", "mnuApplication") && !ui.IsWindowOpen("frmMenu");
  };
  ui.ExpectMessage("Simplex minimum");
  MinimizeResult result = menu.Simplex();
  EXPECT_EQ(result.end, RunEnd::Converged);
  EXPECT_TRUE(busySeen);
  EXPECT_FALSE(menu.SimplexWindowControl().CommandRunning());
  EXPECT_FALSE(ui.IsWindowOpen("frmOneFunction"));
  EXPECT_TRUE(ui.IsWindowOpen("frmSimplex"));  // stays open with the final report
  EXPECT_EQ(ws->CovarianceResultsValid, kOff);
  EXPECT_EQ(ws->Free.FreeCount, 1);
  // Both linked parameters share the minimum of (x-1)^2 + (x-2)^2, the
  // follower with the value every evaluation gave it.
  EXPECT_NEAR(ws->Alg.Values[1], 1.5, 1e-2);
  EXPECT_EQ(ws->Alg.Values[2], ws->Alg.Values[1]);
  ExpectMenuReady(ui);
}

TEST(SimplexCommand, WithPriorsOnItMinimizesThePosteriorAndReviewsItsMinimum) {
  auto ws = MakeWorkspace(Bowl({1}), {3}, {1});
  ws->Priors[1] = PriorEntry{"N", 0, 1, {}, {}};
  ws->PriorsActive = kOn;
  ws->ObjectiveScale = 1;
  ws->Alg.Tolerance = 1e-12;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum");
  EXPECT_EQ(SimplexCommand(*ws, ui).end, RunEnd::Converged);
  // (x - 1)^2 + x^2 / 2 is least at 2/3, where the prior adds 2/9.
  EXPECT_NEAR(ws->Alg.Values[1], 2.0 / 3, 1e-4);
  EXPECT_NE(ui.PaneText("frmReviewPriors", "rtbReviewPriors")
                .find("Parameter   1 at  6.667E-01 has a prior -ln[L] of     0.22 and a prior likelihood of 0.80"),
            std::string::npos);
}

// A prior that cannot be reviewed at the minimum fails the fit: a Beta mean
// above 1 draws the value to the edge of its support, where the prior
// likelihood overflows.
TEST(SimplexCommand, APriorThatCannotBeReviewedAtTheMinimumFailsTheFit) {
  auto ws = MakeWorkspace(Bowl({0.5}), {0.5}, {0.1});
  ws->Priors[1] = PriorEntry{"B", 1.5, 0.1, {}, {}};
  ws->PriorsActive = kOn;
  ws->ObjectiveScale = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum").ExpectMessage("Review priors ");
  MinimizeResult result = SimplexCommand(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Error);
  EXPECT_EQ(result.message, "Numeric fault: Overflow in the prior likelihood of parameter #1 (Beta)");
  EXPECT_EQ(ui.LastMessage().text, result.message);
  EXPECT_FALSE(ui.IsWindowOpen("frmReviewPriors"));
}

TEST(MarquardtCommand, CancelledSetupRunsNothing) {
  auto ws = MakeWorkspace(Bowl({1}), {3}, {1});
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimization", Answer::Cancel);
  EXPECT_EQ(MarquardtCommand(*ws, ui).end, RunEnd::Cancelled);
  EXPECT_EQ(ws->Alg.Values[1], 3);
  EXPECT_FALSE(ui.IsWindowOpen("frmMarquardt"));
  ExpectMenuReady(ui);
}

TEST(MarquardtCommand, NothingToDoAfterTheSetup) {
  auto ws = MakeWorkspace(Bowl({1}), {3}, {0});
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("There is nothing to do!");
  EXPECT_EQ(MarquardtCommand(*ws, ui).end, RunEnd::NothingToDo);
  ExpectMenuReady(ui);
}

TEST(MarquardtCommand, RunClearsTheKeptSimplexAndKeepsTheTerminalFrequency) {
  auto ws = MakeWorkspace(Bowl({1, 2}), {3, 3}, {1, 1});
  ws->SimplexStateKept = true;
  ws->CovarianceResultsValid = kOn;
  ws->Alg.TerminalFrequency = 7;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimum");
  MinimizeResult result = MarquardtCommand(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Converged);
  EXPECT_FALSE(ws->SimplexStateKept);
  EXPECT_EQ(ws->CovarianceResultsValid, kOff);
  EXPECT_EQ(ws->Alg.TerminalFrequency, 7);
  EXPECT_NEAR(ws->Alg.Values[2], 2, 1e-3);
  ExpectMenuReady(ui);
}

TEST(FitCommand, SettingsThatCannotDriveAFitAreRefusedBeforeAnythingRuns) {
  auto ws = MakeWorkspace(Bowl({1}), {3}, {1});
  RecordingFrontend ui;
  FitSettings settings;
  settings.method.derivatives = Derivatives::Analytical;
  ui.ExpectMessage("Simplex minimization");
  MinimizeResult result = FitCommand(*ws, ui, settings);
  EXPECT_EQ(result.end, RunEnd::Error);
  EXPECT_EQ(ui.LastMessage().text, "The Simplex uses no derivatives");
  EXPECT_EQ(ws->Alg.Values[1], 3);
  EXPECT_FALSE(ui.IsWindowOpen("frmSimplex"));
}

TEST(MinimizeResult, DescribesTheEndForTheBatchFrontEnd) {
  MinimizeResult result;
  result.end = RunEnd::GaveUp;
  result.objective = -2.5;
  result.iterations = 3;
  result.functionCalls = 40;
  result.totalFunctionCalls = 140;
  result.restarts = 1;
  EXPECT_EQ(DescribeResult(result),
            "gave_up objective=-2.5 iterations=3 function_calls=40 total_function_calls=140 restarts=1");
  result.end = RunEnd::Error;
  result.message = "Overflow";
  EXPECT_EQ(DescribeResult(result).substr(0, 6), "error ");
  EXPECT_EQ(DescribeResult(result).substr(DescribeResult(result).size() - 17), " message=Overflow");
}

}  // namespace
}  // namespace kalvex
