// The buttons and the closing of the minimizer windows, through their
// controllers as the main menu holds them.
#include <gtest/gtest.h>

#include "minimize/MinimizeFixture.h"
#include "workflow/MainMenu.h"

namespace kalvex {
namespace {

using testing::Bowl;
using testing::MakeWorkspace;
using testing::RecordingFrontend;

TEST(SimplexWindow, ClosingWhileTheCommandRunsKeepsTheWindow) {
  auto ws = MakeWorkspace(Bowl({1}), {0}, {1});
  RecordingFrontend ui;
  MainMenu menu(*ws, ui);
  SimplexWindow& window = menu.SimplexWindowControl();
  ui.SetPaneText("frmSimplex", "rtbSimplex", "report");
  ui.SetStatus(5, 3, "busy");
  window.CommandRuns(true);
  EXPECT_FALSE(window.Closing());
  EXPECT_EQ(ui.PaneText("frmSimplex", "rtbSimplex"), "");
  EXPECT_EQ(ui.Status(5, 3), "");
  EXPECT_FALSE(ui.IsWindowOpen("frmMenu"));
  window.CommandRuns(false);
  EXPECT_TRUE(window.Closing());
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
}

TEST(MarquardtWindow, ButtonsReleaseTheWaitAndClosingWaitsForTheRun) {
  auto ws = MakeWorkspace(Bowl({1}), {0}, {1});
  RecordingFrontend ui;
  MainMenu menu(*ws, ui);
  MarquardtWindow& window = menu.MarquardtWindowControl();
  window.DisplayDerivatives(true);
  window.StepAwaited(true);
  EXPECT_TRUE(ui.visible["frmMarquardt.cmdContinue"]);
  window.NextIteration();
  EXPECT_FALSE(window.Waiting());
  EXPECT_TRUE(window.DerivativesWanted());
  EXPECT_FALSE(ui.visible["frmMarquardt.cmdContinue"]);

  window.StepAwaited(true);
  window.InterruptPressed(*ws);
  EXPECT_EQ(ws->MarquardtInterrupt, -1);
  EXPECT_FALSE(window.Waiting());
  EXPECT_FALSE(window.DerivativesWanted());
  EXPECT_FALSE(ui.IsEnabled("frmMarquardt", "cmdStop"));
  EXPECT_EQ(ui.Status(5, 2), "Interrupt pending...");

  ui.SetPaneText("frmMarquardt", "rtbMarquardt", "report");
  window.CommandRuns(true);
  EXPECT_FALSE(window.Closing());
  EXPECT_EQ(ui.PaneText("frmMarquardt", "rtbMarquardt"), "");
  EXPECT_EQ(ui.Status(5, 2), "");
  window.CommandRuns(false);
  EXPECT_TRUE(window.Closing());
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
}

}  // namespace
}  // namespace kalvex
