#include "minimize/Simplex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "workflow/MinimizeCommands.h"
#include "workflow/SimplexWindow.h"
#include "minimize/MinimizeFixture.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

using testing::Bowl;
using testing::IterationsInReport;
using testing::MakeWorkspace;
using testing::RecordingFrontend;
using ui::Answer;

const std::string kProgress = "frmSimplex.rtbSimplex";

std::vector<std::string> ProgressReports(RecordingFrontend& ui) {
  std::vector<std::string> reports;
  for (const std::string& text : ui.History(kProgress))
    if (text.find("Note: ") != std::string::npos) reports.push_back(text);
  return reports;
}

// A run shown in its window, as the main menu shows it.
MinimizeResult RunShown(Workspace& ws, ui::Frontend& ui, MinimizeOptions options = {}) {
  SimplexWindow window(ui, {});
  options.window = &window;
  return RunSimplex(ws, ui, options);
}

bool StatusShown(const RecordingFrontend& ui, const std::string& text) {
  return std::find(ui.statusHistory.begin(), ui.statusHistory.end(), text) != ui.statusHistory.end();
}

TEST(Simplex, OneFreeParameterReflectsThroughTheBetterVertexAndExtends) {
  // Vertices 0 and 1 of (x-3)^2: the centroid is vertex 1, so the reflection is
  // 2 and the extension 3, the minimum itself.
  auto ws = MakeWorkspace(Bowl({3}), {0}, {1});
  ws->Alg.TerminalFrequency = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Converged);
  std::vector<std::string> reports = ProgressReports(ui);
  ASSERT_FALSE(reports.empty());
  EXPECT_NE(reports[0].find("Number of function values (parameter vectors) improved: 2; Action accepted: "
                            "Extension             \r\n"),
            std::string::npos);
  EXPECT_NE(reports[0].find("    001)  3.0000000E+00  ~~  Parameter 1\r\n"), std::string::npos);
  EXPECT_NEAR(ws->Alg.Values[1], 3, 1e-3);
}

TEST(Simplex, EqualExpansionKeepsTheReflectionAndTiesKeepTheLowerVertex) {
  // Flat at 1 from x = 2 on: the extension to 3 is no better than the
  // reflection to 2; the next reflection (3) betters one vertex only and the
  // move ends in a reduction to 2.5, whose value ties with vertex 1 at 2.
  auto ws = MakeWorkspace([](std::span<double> v) { return std::max(1.0, 10 - 4.5 * v[1]); }, {0}, {1});
  ws->Alg.TerminalFrequency = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum");
  MinimizeResult result = RunShown(*ws, ui);
  std::vector<std::string> reports = ProgressReports(ui);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_NE(reports[0].find("improved: 2; Action accepted: Reflection            \r\n"), std::string::npos);
  EXPECT_NE(reports[1].find("improved: 1; Action accepted: Reflection-Reduction  \r\n"), std::string::npos);
  EXPECT_EQ(ws->Alg.Values[1], 2);
  EXPECT_EQ(result.iterations, 2);
  EXPECT_EQ(result.functionCalls, 9);  // 2 initial, 2 + 3 in the moves, 2 axial
  EXPECT_EQ(ui.PaneText("frmSimplex", "rtbSimplex"),
            "\r\nMinimum of 1. found at these 1 adjusted parameter values:\r\n\r\n"
            "    001)  2.0000000E+00  ~~  Parameter 1\r\n\r\n"
            "This result required 2 iterations, 9 function calls, and 0 restarts\r\n");
  EXPECT_EQ(ui.LastMessage().text, "Minimum found using Simplex!");
  EXPECT_EQ(ui.LastMessage().style, 80);
}

TEST(Simplex, ReflectionBetterThanOneVertexIsContractedTowardsTheCentroid) {
  // Vertices 0 (0.81) and 2 (1.21); the reflection to -2 (1.0) betters only
  // the worst vertex, and its contraction to -1 (0.95) is lower still.
  auto ws = MakeWorkspace(
      [](std::span<double> v) { return v[1] >= 0 ? (v[1] - 0.9) * (v[1] - 0.9) : 1 - 0.05 * (v[1] + 2); }, {0},
      {2});
  ws->Alg.TerminalFrequency = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum");
  RunShown(*ws, ui);
  std::vector<std::string> reports = ProgressReports(ui);
  ASSERT_FALSE(reports.empty());
  EXPECT_NE(reports[0].find("improved: 1; Action accepted: Reflection-Contraction\r\n"), std::string::npos);
  EXPECT_NEAR(ws->Alg.Values[1], 0.9, 1e-3);
}

TEST(Simplex, AllValuesEqualKeepVertexOneAsBestAndWorst) {
  auto ws = MakeWorkspace([](std::span<double>) { return 5.0; }, {1, 2}, {0.5, 0.5});
  ws->Alg.TerminalFrequency = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.iterations, 1);
  // Vertex 1 stays best; the axial trials move its coordinates back and forth
  // by the offset, which may leave the last bit changed.
  EXPECT_NEAR(ws->Alg.Values[1], 1, 1e-12);
  EXPECT_NEAR(ws->Alg.Values[2], 2, 1e-12);
  EXPECT_NE(ProgressReports(ui)[0].find("improved: 0; Action accepted: Reduction             \r\n"),
            std::string::npos);
  EXPECT_EQ(ui.PaneText("frmSimplex", "rtbSimplexInitial"),
            "\r\nInitial Simplex: Starting function value> 5. Max> 5. Min> 5.\r\n\r\nInitial parameter values:\r\n\r\n"
            "    001)  1.0000000E+00  ~~  Parameter 1\r\n"
            "    002)  2.0000000E+00  ~~  Parameter 2\r\n");
}

// With tolerance 0 the run goes on until it is interrupted at the given move.
std::vector<int> ReportsUntilQuitAtMove(int move) {
  auto ws = MakeWorkspace(Bowl({1, 2}), {5, 5}, {1, 1});
  ws->Alg.Tolerance = 0;
  ws->Alg.TerminalFrequency = 3;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex interrupt", Answer::Yes);
  int pumps = 0;
  // The first pump is the initial simplex's; then one per move.
  ui.onPump = [&] {
    if (++pumps == move + 1) SimplexWindow(ui, {}).InterruptPressed(*ws);
  };
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Interrupted);
  EXPECT_EQ(result.iterations, move);
  EXPECT_TRUE(StatusShown(ui, "Interrupt pending..."));
  EXPECT_EQ(ui.messages.back().text, "Interrupt received. Do you want to quit minimizing?");
  EXPECT_FALSE(ui.IsEnabled("frmSimplex", "cmdStop"));  // the run is over: nothing left to interrupt
  std::vector<int> iterations;
  for (const std::string& report : ProgressReports(ui)) iterations.push_back(IterationsInReport(report));
  return iterations;
}

TEST(Simplex, TerminalFrequencyThreeReportsAfterMovesOneFourSevenAndOnceMoreAfterAQuit) {
  EXPECT_EQ(ReportsUntilQuitAtMove(8), (std::vector<int>{1, 4, 7, 8}));
  // A quit in a move that has just reported adds nothing.
  EXPECT_EQ(ReportsUntilQuitAtMove(7), (std::vector<int>{1, 4, 7}));
}

TEST(Simplex, FunctionCallLimitAsksAndYesStartsTheCountAgain) {
  auto ws = MakeWorkspace(Bowl({1, 2}), {5, 5}, {1, 1});
  ws->Alg.Tolerance = 0;
  ws->Alg.MaxFunctionCalls = 30;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimization", Answer::Yes).ExpectMessage("Simplex minimization", Answer::No);
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Limit);
  EXPECT_EQ(ui.messages[0].text, "Maximum number of function calls reached, do you want to continue?");
  EXPECT_EQ(ui.messages[0].style, 36);
  EXPECT_GT(result.functionCalls, 30);
  EXPECT_LT(result.functionCalls, 36);
  EXPECT_GT(result.totalFunctionCalls, 60);
  EXPECT_EQ(ui.PaneText("frmSimplex", "rtbSimplex").find("Minimum of"), std::string::npos);
  // The best vertex is written back even without convergence.
  EXPECT_LT(std::fabs(ws->Alg.Values[1] - 1), 0.5);
}

TEST(Simplex, SecondCommandContinuesFromTheKeptSimplex) {
  auto ws = MakeWorkspace(Bowl({1, 2}), {5, 5}, {1, 1});
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimum");
  MinimizeResult first = SimplexCommand(*ws, ui);
  ASSERT_EQ(first.end, RunEnd::Converged);
  ASSERT_TRUE(ws->SimplexStateKept);
  std::vector<double> keptVertex = {0, ws->Simplex.SimplexVertices(1, 1), ws->Simplex.SimplexVertices(2, 1)};

  ui.statusHistory.clear();
  ui.ExpectMessage("Simplex minimum");
  MinimizeResult second = SimplexCommand(*ws, ui);
  EXPECT_EQ(second.end, RunEnd::Converged);
  EXPECT_FALSE(StatusShown(ui, "Building initial simplex..."));
  EXPECT_LE(second.iterations, 3);
  EXPECT_LT(second.functionCalls, first.functionCalls);
  std::string initial = ui.PaneText("frmSimplex", "rtbSimplexInitial");
  EXPECT_NE(initial.find("    001) " + RightJustify(FormatNumber(keptVertex[1], "0.0000000E+00"), 14)),
            std::string::npos);
  EXPECT_NEAR(ws->Alg.Values[1], 1, 1e-2);
}

TEST(Simplex, NegativeBestUnderRelativeToleranceFailsVerificationAndRestarts) {
  // The threshold -Tolerance x best is negative: a point slightly worse than
  // the best still counts as lower.
  auto ws = MakeWorkspace(Bowl({1, 2}, -10), {3, 3}, {0.5, 0.5});
  ws->Alg.Tolerance = -1e-3;
  ws->Alg.MaxFunctionCalls = 300;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimization", Answer::No);
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Limit);
  EXPECT_GE(result.restarts, 2);
  EXPECT_TRUE(StatusShown(ui, "Multiple restarts indicate a tuning problem!"));

  // The same bowl lifted to positive values verifies at once.
  auto lifted = MakeWorkspace(Bowl({1, 2}, 10), {3, 3}, {0.5, 0.5});
  lifted->Alg.Tolerance = -1e-3;
  RecordingFrontend ui2;
  ui2.ExpectMessage("Simplex minimum");
  EXPECT_EQ(RunShown(*lifted, ui2).end, RunEnd::Converged);
}

TEST(Simplex, ZeroBestUnderRelativeToleranceStopsWithSimplexErrorWithoutWritingBack) {
  auto ws = MakeWorkspace([](std::span<double> v) { return std::max(0.0, v[1] - 1); }, {2}, {-1});
  ws->Alg.Tolerance = -1e-6;
  ws->Alg.TerminalFrequency = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex error");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Error);
  EXPECT_EQ(ui.LastMessage().text,
            "A function value of zero has caused a division by zero error.\r\n"
            "Reset the tolerance to ABSolute or otherwise correct model");
  EXPECT_EQ(ui.LastMessage().style, 80);
  EXPECT_EQ(ws->Alg.Values[1], 2);
  // The report of that move shows the spread itself instead of dividing by 0.
  EXPECT_NE(ProgressReports(ui)[0].find(" Rel TC> 0.0000E+00"), std::string::npos);
  EXPECT_EQ(ui.Status(5, 1), "");
}

TEST(Simplex, NumericFaultEndsTheRunWithTheBestPointInValues) {
  auto ws = MakeWorkspace(
      [](std::span<double> v) {
        if (v[1] > 3) throw NumericFault(kOverflow);
        return (v[1] - 10) * (v[1] - 10);
      },
      {0}, {1});
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimization");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Error);
  EXPECT_EQ(result.message, "Overflow");
  EXPECT_EQ(result.objective, 49);
  EXPECT_EQ(ws->Alg.Values[1], 3);  // the extension, the lowest point evaluated
  EXPECT_FALSE(ws->SimplexStateKept);
  const auto& box = ui.LastMessage();
  EXPECT_EQ(box.style, 16);
  EXPECT_EQ(box.text.rfind("Numeric fault: Overflow\r\n", 0), 0u);
  EXPECT_NE(box.text.find("    001)  5.0000000E+00"), std::string::npos);  // the reflection that failed
}

TEST(Simplex, LogGroupsHoldFourEntriesPerLine) {
  auto ws = MakeWorkspace(Bowl({0, 0, 0, 0, 0}), {1, 2, 3, 4, 5}, {1, 1, 1, 1, 1});
  std::string path = testing::TempDir() + "/simplex.kvl";
  ASSERT_FALSE(ws->Log.Open(path));
  ws->Alg.FileFrequency = 1;
  ws->Alg.MaxFunctionCalls = 20;
  RecordingFrontend ui;
  ui.ExpectMessage("Simplex minimization", Answer::No);
  RunShown(*ws, ui);
  ws->Log.Close();
  ReadResult log = ReadTextLines(path);
  ASSERT_TRUE(log.ok);
  auto entry = [](int i, double v) {
    return FormatNumber(i, "    000) ") + RightJustify(FormatNumber(v, "0.0000000E+00"), 14);
  };
  ASSERT_GE(log.lines.size(), 8u);
  EXPECT_EQ(log.lines[0], "");
  EXPECT_EQ(log.lines[1], "");
  EXPECT_EQ(log.lines[2], "Initial parameter values:");
  EXPECT_EQ(log.lines[3], "");
  EXPECT_EQ(log.lines[4], entry(1, 1) + entry(2, 2) + entry(3, 3) + entry(4, 4));
  EXPECT_EQ(log.lines[5], entry(5, 5));
  EXPECT_EQ(log.lines[6], "");
  EXPECT_EQ(log.lines[7], "Initial Simplex: Starting function value> 55. Max> 66. Min> 55.");
  EXPECT_EQ(log.lines[8], "");
  EXPECT_EQ(log.lines[9].rfind("Note: 1 iterations, ", 0), 0u);
  EXPECT_EQ(log.lines[10].rfind("Number of function values (parameter vectors) improved: ", 0), 0u);
  EXPECT_EQ(log.lines[12], "Current minimum found at these 5 adjusted parameter values: ");
}

TEST(Simplex, ProfilePointStoresItsResultAndAQuitEndsTheProcedure) {
  // Parameter 1 is the profiled one (held fixed); parameter 2 is minimized.
  auto ws = MakeWorkspace(Bowl({1, 2}), {0.5, 5}, {0, 1});
  ws->ProfileEvaluationActive = kOn;
  ws->EvaluatedParameter = 1;
  ProfilePoint point{5, 25, 0};
  MinimizeOptions options;
  options.profile = &point;
  RecordingFrontend ui;  // no "Simplex minimum" box while profiling
  MinimizeResult result = RunShown(*ws, ui, options);
  EXPECT_EQ(result.end, RunEnd::Converged);
  EXPECT_TRUE(point.HasResult);
  EXPECT_EQ(point.ResultValue, 0.5);
  EXPECT_NEAR(point.ResultObjective, 0.25, 1e-4);
  EXPECT_TRUE(StatusShown(ui, "Calculating profile point 5 of 25, Value of parameter # 1 which is being "
                              "profiled is: 5.00000E-01"));

  ws->SimplexStateKept = false;
  ws->Alg.Tolerance = 0;
  ui.ExpectMessage("Simplex interrupt", Answer::Yes);
  int pumps = 0;
  ui.onPump = [&] {
    if (++pumps == 4) SimplexWindow(ui, {}).InterruptPressed(*ws);
  };
  point = ProfilePoint{5, 25, 0};
  EXPECT_EQ(RunShown(*ws, ui, options).end, RunEnd::Interrupted);
  EXPECT_EQ(ui.LastMessage().text, "Interrupt received. Do you want to quit the ML procedure?");
  EXPECT_EQ(point.PointReached, 5);
  EXPECT_EQ(point.PointIndex, 27);
  EXPECT_FALSE(point.HasResult);
}

}  // namespace
}  // namespace kalvex
