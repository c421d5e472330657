#include "minimize/Marquardt.h"
#include "minimize/MarquardtSetup.h"
#include "workflow/MarquardtWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "algorithm/AlgorithmCommands.h"
#include "minimize/MinimizeFixture.h"
#include "support/SaveFaults.h"
#include "model/OskaneModel.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

using testing::Bowl;
using testing::MakeWorkspace;
using testing::RecordingFrontend;
using ui::Answer;

bool StatusShown(const RecordingFrontend& ui, const std::string& text) {
  return std::find(ui.statusHistory.begin(), ui.statusHistory.end(), text) != ui.statusHistory.end();
}

// A run shown in its window, as the main menu shows it.
MinimizeResult RunShown(Workspace& ws, ui::Frontend& ui, MinimizeOptions options = {}) {
  MarquardtWindow window(ui, {});
  options.window = &window;
  return RunMarquardt(ws, ui, options);
}

std::unique_ptr<Workspace> Numerical(testing::FunctionModel::Objective f, std::vector<double> values, std::vector<double> steps) {
  auto ws = MakeWorkspace(std::move(f), std::move(values), std::move(steps));
  ws->DerivativeMode = "N";
  return ws;
}

TEST(Marquardt, DampingGrowsTenfoldPerRejectionAndShrinksAfterAnAcceptedIteration) {
  // A hump around the minimum rejects the nearly undamped Newton steps.
  auto ws = Numerical([](std::span<double> v) { return v[1] * v[1] + (std::fabs(v[1]) < 0.5 ? 1000 : 0); }, {10},
                      {1});
  ws->Alg.MaxFunctionCalls = 2;
  std::vector<double> dampings;
  MinimizeOptions options;
  options.onSolve = [&](double damping, int) { dampings.push_back(damping); };
  RecordingFrontend ui;
  ui.ExpectMessage("Marquart minimization stopped");
  MinimizeResult result = RunShown(*ws, ui, options);
  EXPECT_EQ(result.end, RunEnd::Limit);
  EXPECT_EQ(result.iterations, 2);
  ASSERT_GE(dampings.size(), 4u);
  EXPECT_DOUBLE_EQ(dampings[0], 0.001);
  EXPECT_DOUBLE_EQ(dampings[1], 0.01);
  EXPECT_DOUBLE_EQ(dampings[2], 0.1);
  EXPECT_DOUBLE_EQ(dampings[3], 0.01);
  EXPECT_EQ(ui.LastMessage().text, "Maximum number of iterations reached or an interrupt was received");
  EXPECT_EQ(ui.LastMessage().style, 64);
}

TEST(Marquardt, DerivativeStepsAreRelativeExceptAtZero) {
  std::vector<std::pair<double, double>> points;
  auto ws = Numerical(
      [&](std::span<double> v) {
        points.emplace_back(v[1], v[2]);
        return (v[1] - 1) * (v[1] - 1) + (v[2] - 1) * (v[2] - 1);
      },
      {0, -2}, {1, 1});
  ws->Alg.MaxFunctionCalls = 1;
  ws->Alg.Tolerance = 0;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquart minimization stopped");
  RunShown(*ws, ui);
  ASSERT_GE(points.size(), 7u);
  // h = 0.001 for the value 0; h = -0.002 for the value -2.
  std::vector<std::pair<double, double>> grid = {{0.001, -2},       {-0.001, -2},     {0.001, -2 - 0.002},
                                                 {-0.001, -2 + 0.002}, {0, -2 - 0.002}, {0, -2 + 0.002}};
  for (std::size_t k = 0; k < grid.size(); ++k) {
    EXPECT_EQ(points[k + 1].first, grid[k].first) << k;
    EXPECT_EQ(points[k + 1].second, grid[k].second) << k;
  }
  EXPECT_TRUE(StatusShown(ui, "Hessian function call 6 of 6"));
}

TEST(Marquardt, ThreeFreeParametersTakeTwelveEvaluationsPerDerivativeEvaluation) {
  auto ws = Numerical(Bowl({1, 2, 3}), {2, 3, 4}, {1, 1, 1});
  ws->Alg.MaxFunctionCalls = 1;
  ws->Alg.Tolerance = 0;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquart minimization stopped");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.functionCalls, 14);  // initial, 12 grid points, the trial
  std::vector<std::string> hessian;
  for (const std::string& text : ui.statusHistory)
    if (text.rfind("Hessian function call ", 0) == 0) hessian.push_back(text);
  ASSERT_EQ(hessian.size(), 12u);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(hessian[k - 1], "Hessian function call " + std::to_string(k) + " of 12");
  // The accepted point went into Values; the Newton step of a bowl is nearly exact.
  EXPECT_NEAR(ws->Alg.Values[1], 1, 1e-2);
  EXPECT_EQ(ws->Free.FreeValues[1], ws->Alg.Values[1]);
  std::string pane = ui.PaneText("frmMarquardt", "rtbMarquardt");
  EXPECT_EQ(pane.rfind("\r\nNote: 1 iterations and 14 function calls\r\n\r\nCurrent Min> ", 0), 0u);
  EXPECT_NE(pane.find(" Last Min> 3.      "), std::string::npos);
  EXPECT_NE(pane.find(" adjusted parameter values: \r\n\r\n    001) "), std::string::npos);
}

TEST(Marquardt, TrialWithTheCurrentValueIsAccepted) {
  int calls = 0;
  auto ws = Numerical(
      [&](std::span<double> v) {
        // Call 4 is the first trial (after the initial call and two grid points).
        return ++calls == 4 ? 9.0 : (v[1] - 3) * (v[1] - 3);
      },
      {0}, {1});
  ws->Alg.Tolerance = 0;
  ws->Alg.MaxFunctionCalls = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquart minimization stopped");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.iterations, 1);
  EXPECT_NEAR(ws->Alg.Values[1], 3, 1e-2);
  EXPECT_EQ(result.objective, 9.0);
}

TEST(Marquardt, IterationLimitAlreadyPassedStopsAfterTheFirstIteration) {
  auto ws = Numerical(Bowl({1}), {5}, {1});
  ws->Alg.Tolerance = 0;
  ws->Alg.MaxFunctionCalls = 0;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquart minimization stopped");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Limit);
  EXPECT_EQ(result.iterations, 1);
}

TEST(Marquardt, RelativeToleranceWithAZeroCurrentValueIsADivisionByZeroFault) {
  auto ws = Numerical(Bowl({0}), {0}, {1});
  ws->Alg.Tolerance = -1e-6;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimization");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Error);
  EXPECT_EQ(result.message, "Division by zero");
  EXPECT_EQ(ui.LastMessage().text.rfind("Numeric fault: Division by zero\r\n", 0), 0u);
  EXPECT_EQ(ui.LastMessage().style, 16);
  EXPECT_EQ(ws->Alg.Values[1], 0);
  EXPECT_EQ(ui.Status(5, 1), "");
}

TEST(Marquardt, NumericFaultKeepsTheLastAcceptedPoint) {
  auto ws = Numerical(
      [](std::span<double> v) {
        if (v[1] > 3) throw NumericFault(kOverflow);
        return (v[1] - 10) * (v[1] - 10);
      },
      {0}, {1});
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimization");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Error);
  EXPECT_EQ(result.message, "Overflow");
  EXPECT_EQ(result.objective, 100);
  EXPECT_EQ(ws->Alg.Values[1], 0);
  const std::string& text = ui.LastMessage().text;
  EXPECT_EQ(text.rfind("Numeric fault: Overflow\r\n", 0), 0u);
  EXPECT_NE(text.find("    001)  9.99"), std::string::npos);  // the Newton trial near 10
}

TEST(Marquardt, GivesUpWhenEveryTrialIsRejected) {
  // Only the first evaluation is low: no trial, not even the start point
  // itself, reaches it again.
  int calls = 0;
  auto ws = Numerical([&](std::span<double>) { return ++calls == 1 ? 1.0 : 2.0; }, {1}, {1});
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt quits in frustration");
  std::vector<double> dampings;
  MinimizeOptions options;
  options.onSolve = [&](double damping, int) { dampings.push_back(damping); };
  MinimizeResult result = RunShown(*ws, ui, options);
  EXPECT_EQ(result.end, RunEnd::GaveUp);
  EXPECT_EQ(ws->Alg.Values[1], 1);
  EXPECT_EQ(dampings.size(), 24u);  // the 25th solve would use a damping above 1E+20
  EXPECT_EQ(ui.LastMessage().text,
            "Consider that:\r\n"
            "      (1) you're already at an acceptable minimum,\r\n"
            "      (2) at least one parameter is too near a boundary,\r\n"
            "      (3) at least one parameter is dead wrt the likelihood function,\r\n"
            "      (4) a penalty function is affecting performance of the derivatives or parameter improvements,\r\n"
            "      (5) there are numerical inaccuracies near the current minimum, or\r\n"
            "      (6) the model, or its implementation, is flawed");
  EXPECT_EQ(ui.LastMessage().style, 64);
  EXPECT_FALSE(ui.IsWindowOpen("frmMarquardt"));
}

TEST(Marquardt, ConvergesOnABowlAndReportsTheFinalValue) {
  auto ws = Numerical(Bowl({1, 2}, 3), {3, 4}, {1, 1});
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimum");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Converged);
  EXPECT_NEAR(ws->Alg.Values[1], 1, 1e-3);
  EXPECT_NEAR(ws->Alg.Values[2], 2, 1e-3);
  EXPECT_NEAR(result.objective, 3, 1e-6);
  EXPECT_EQ(ui.LastMessage().text, "Minimum found using Marquardt!");
  std::string pane = ui.PaneText("frmMarquardt", "rtbMarquardt");
  EXPECT_EQ(pane.rfind("\r\nMinimum of 3. found at these 2 adjusted parameter values:\r\n\r\n    001) ", 0), 0u);
  EXPECT_NE(pane.find("\r\nThis result required " + std::to_string(result.iterations) + " iterations and " +
                      std::to_string(result.functionCalls) + " function calls\r\n"),
            std::string::npos);
  // The final value comes from a literal NF = 1 call, which the model's best fit follows.
  EXPECT_EQ(testing::ModelOf(*ws).callCodes.back(), 1);
}

TEST(Marquardt, DerivativeDisplayWaitsForTheStepButtonsAndContinueEndsIt) {
  auto ws = Numerical(Bowl({1, 2}), {3, 4}, {1, 1});
  RecordingFrontend ui;
  MarquardtWindow window(ui, {});
  window.DisplayDerivatives(true);
  ui.ExpectMessage("Marquardt minimum");
  int waits = 0;
  std::string shown;
  ui.onPump = [&] {
    if (!window.Waiting()) return;
    ++waits;
    EXPECT_TRUE(ui.visible["frmMarquardt.cmdIteration"]);
    if (waits == 1) {
      shown = ui.PaneText("frmMarquardt", "rtbMarquardt");
      window.NextIteration();
    } else {
      window.Continue();
    }
  };
  EXPECT_EQ(RunMarquardt(*ws, ui, {.window = &window}).end, RunEnd::Converged);
  EXPECT_EQ(waits, 2);
  EXPECT_FALSE(window.DerivativesWanted());
  EXPECT_NE(shown.find("\r\n1st & 2nd partial derivatives of the objective function wrt to the previous parameter "
                       "estimates:\r\n\r\nNumerical 1st derivative wrt Parameter      001)  4.00000E+00\r\n"
                       "Numerical 2nd derivative wrt Parameters 001,001)  2.00000E+00\r\n"
                       "Numerical 2nd derivative wrt Parameters 001,002)"),
            std::string::npos);
  EXPECT_NE(shown.find("Numerical 1st derivative wrt Parameter      002)  4.00000E+00\r\n"
                       "Numerical 2nd derivative wrt Parameters 002,002)  2.00000E+00\r\n"),
            std::string::npos);
  EXPECT_TRUE(StatusShown(ui, "Please be patient while derivative output is collated"));
  EXPECT_FALSE(ui.visible["frmMarquardt.cmdIteration"]);
}

TEST(Marquardt, ConfirmedInterruptStopsAtTheEndOfTheIteration) {
  auto ws = Numerical(Bowl({1, 2}), {3, 4}, {1, 1});
  ws->Alg.Tolerance = 0;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt interrupt", Answer::Yes).ExpectMessage("Marquart minimization stopped");
  int pumps = 0;
  ui.onPump = [&] {
    if (++pumps == 3) MarquardtWindow(ui, {}).InterruptPressed(*ws);
  };
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::Interrupted);
  EXPECT_EQ(result.iterations, 1);
  EXPECT_TRUE(StatusShown(ui, "Interrupt pending..."));
  EXPECT_TRUE(StatusShown(ui, "Interrupt will occur once this iteration is complete"));
  EXPECT_EQ(ui.messages[0].text, "Interrupt received. Do you want to quit minimizing?");
}

TEST(Marquardt, ProfileInterruptCanMoveOnToTheNextPoint) {
  auto ws = Numerical(Bowl({1, 2}), {0.5, 4}, {0, 1});
  ws->ProfileEvaluationActive = kOn;
  ws->EvaluatedParameter = 1;
  ws->Alg.Tolerance = 0;
  ProfilePoint point{3, 11, 0};
  MinimizeOptions options;
  options.profile = &point;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt interrupt", Answer::No).ExpectMessage("Marquardt interrupt", Answer::Yes);
  int pumps = 0;
  ui.onPump = [&] {
    if (++pumps == 2) MarquardtWindow(ui, {}).InterruptPressed(*ws);
  };
  EXPECT_EQ(RunShown(*ws, ui, options).end, RunEnd::Interrupted);
  EXPECT_EQ(ui.messages[1].text, "Do you want to continue starting with the NEXT point?");
  EXPECT_EQ(ui.messages[1].style, 292);
  EXPECT_EQ(point.PointIndex, 3);  // the procedure itself goes on
  EXPECT_FALSE(StatusShown(ui, "Hessian function call 1 of 2"));  // no grid counts while profiling
}

// A bowl whose model supplies exact derivatives at NF = -2.
class AnalyticBowl : public testing::FunctionModel {
 public:
  AnalyticBowl() : FunctionModel(2, Bowl({1, 2})) {}
  void Derivatives(std::span<const double> v, std::span<double> gradient, Matrix& second) override {
    gradient[1] = 2 * (v[1] - 1);
    gradient[2] = 2 * (v[2] - 2);
    second(1, 1) = 2;
    second(2, 2) = 2;
  }
};

TEST(Marquardt, AnalyticalDerivativesFromTheModelOrTheirAbsence) {
  auto missing = Numerical(Bowl({1, 2}), {3, 4}, {1, 1});
  missing->DerivativeMode = "A";
  RecordingFrontend ui;
  ui.ExpectMessage("Analytical derivatives missing");
  EXPECT_EQ(RunShown(*missing, ui).end, RunEnd::Error);
  EXPECT_EQ(ui.LastMessage().text, "Sorry, analytical derivatives seem not to have been provided");
  EXPECT_EQ(ui.LastMessage().style, 64);

  Workspace ws(std::make_unique<AnalyticBowl>());
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  ws.Alg.Values = {0, 3, 4};
  ws.Alg.Steps = {0, 1, 1};
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  ws.DerivativeMode = "A";
  RecordingFrontend ui2;
  MarquardtWindow window(ui2, {});
  window.DisplayDerivatives(true);
  ui2.ExpectMessage("Marquardt minimum");
  std::string shown;
  ui2.onPump = [&] {
    if (window.Waiting()) {
      shown = ui2.PaneText("frmMarquardt", "rtbMarquardt");
      window.Continue();
    }
  };
  MinimizeResult result = RunMarquardt(ws, ui2, {.window = &window});
  EXPECT_EQ(result.end, RunEnd::Converged);
  EXPECT_NEAR(ws.Alg.Values[1], 1, 1e-6);
  EXPECT_NE(shown.find("Analytical 1st derivative wrt Parameter      001)  4.00000E+00\r\n"
                       "Analytical 2nd derivative wrt Parameters 001,001)  2.00000E+00\r\n"
                       "Analytical 2nd derivative wrt Parameters 001,002)  0.00000E+00\r\n"),
            std::string::npos);
}

TEST(MarquardtSetup, AsksForTheDerivativeKindAndTheirDisplay) {
  Workspace ws;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::Yes);
  bool display = false;
  EXPECT_TRUE(MarquardtSetup(ws, ui, &display));
  EXPECT_EQ(ws.DerivativeMode, "N");
  EXPECT_TRUE(display);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].style, 35);
  EXPECT_EQ(ui.messages[0].text,
            "Note: You must provide derivatives for calculating gradients and building the Hessian matrix.\r\n\r\n"
            "Numerical derivatives are provided automatically, whereas you must have provided analytical\r\n"
            "derivatives in your model code (i.e., in that section of Sub MODEL() accessed when NF=-2).\r\n\r\n"
            "WARNING: Analytical derivatives will fail if Bayesian prior probabilities contribute to the likelihood "
            "function.\r\n\r\n"
            "DO NOT USE ANALYTICAL DERIVATIVES IN CONJUNCTION WITH BAYESIAN PRIOR DISTRIBUTIONS!\r\n"
            "            THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE UNIFORM-UNBOUNDED!\r\n\r\n"
            "Choose 'Yes' if you have provided ANALYTICAL derivatives; else 'No' to calculate NUMERICAL derivatives");
  EXPECT_EQ(ui.messages[1].text, "You have chosen NUMERICAL derivatives - it's like choosing Pepsi");
  EXPECT_EQ(ui.messages[1].style, 0);
  EXPECT_EQ(ui.messages[2].style, 36);
  EXPECT_EQ(ui.messages[2].text.rfind("Do you want to see the partial derivatives of the likelihood function wrt "
                                      "the parameters at each iteration?\r\n\r\nIf 'Yes', they will be displayed;",
                                      0),
            0u);

  RecordingFrontend coke;
  coke.ExpectMessage("Marquardt minimization", Answer::Yes)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::No);
  EXPECT_TRUE(MarquardtSetup(ws, coke, &display));
  EXPECT_EQ(ws.DerivativeMode, "A");
  EXPECT_FALSE(display);
  EXPECT_EQ(coke.messages[1].text, "You have chosen ANALYTICAL derivatives - it's like choosing Coke");

  RecordingFrontend cancel;
  cancel.ExpectMessage("Marquardt minimization", Answer::Cancel);
  EXPECT_FALSE(MarquardtSetup(ws, cancel));
  EXPECT_EQ(ws.DerivativeMode, "");
  EXPECT_EQ(cancel.messages.size(), 1u);
}

TEST(Marquardt, LogHoldsEveryAcceptedIterationAndTheFinalReport) {
  auto ws = MakeWorkspace(Bowl({1, 2}), {3, 4}, {1, 1});
  ws->DerivativeMode = "N";
  std::string path = testing::TempDir() + "/marquardt.kvl";
  ASSERT_FALSE(ws->Log.Open(path));
  ws->Alg.FileFrequency = 1;
  RecordingFrontend ui;
  ui.ExpectMessage("Marquardt minimum");
  MinimizeResult result = RunShown(*ws, ui);
  ws->Log.Close();
  ReadResult log = ReadTextLines(path);
  ASSERT_TRUE(log.ok);
  ASSERT_GE(log.lines.size(), 9u);
  EXPECT_EQ(log.lines[0], "");
  EXPECT_EQ(log.lines[1], "Note: 1 iterations and 8 function calls");
  EXPECT_EQ(log.lines[3], "Current minimum found at these 2 adjusted parameter values: ");
  EXPECT_EQ(log.lines[5].substr(0, 9), "    001) ");
  EXPECT_EQ(log.lines[5].substr(23, 9), "    002) ");
  EXPECT_EQ(log.lines[6], "");
  EXPECT_EQ(log.lines[7].rfind("Current Min> ", 0), 0u);
  std::size_t last = log.lines.size();
  EXPECT_EQ(log.lines[last - 6].rfind("Minimum of ", 0), 0u);
  EXPECT_EQ(log.lines[last - 2], "after " + std::to_string(result.iterations) + " iterations and " +
                                     std::to_string(result.functionCalls) + " function calls");
  EXPECT_EQ(log.lines[last - 1], "");
}

TEST(Marquardt, DeadParameterFailsTheDecompositionAndClosesTheWindow) {
  // Parameter 3 does not enter the objective: its curvature row is zero.
  auto ws = MakeWorkspace(Bowl({1}), {3, 0, 5}, {1, 0, 1});
  ws->DerivativeMode = "N";
  RecordingFrontend ui;
  ui.ExpectMessage("Matrix decompositon failure at parameter #3!");
  MinimizeResult result = RunShown(*ws, ui);
  EXPECT_EQ(result.end, RunEnd::DecompositionFailed);
  EXPECT_EQ(ui.LastMessage().text, "Look for statistically dead model parameters");
  EXPECT_FALSE(ui.IsWindowOpen("frmMarquardt"));
  EXPECT_EQ(ws->Alg.Values[1], 3);
  EXPECT_EQ(ui.Status(5, 1), "");
}

// The two-species example from its start with the model's exact derivatives,
// shown after every iteration: the window's last report with its derivative
// display and the log, byte for byte.
TEST(Marquardt, AnalyticalRunOfTheTwoSpeciesExample) {
  Workspace ws(MakeOskaneModel());
  InitializeModel(ws, ModelInitOptions{2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  RecordingFrontend ui;
  LoadAlgorithmFile(ws, ui, std::string(KALVEX_EXAMPLES) + "/two_species.alg");
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  ws.DerivativeMode = "A";
  MarquardtWindow window(ui, {});
  window.DisplayDerivatives(true);
  ws.Alg.FileFrequency = 1;
  const std::string path = testing::TempDir() + "/analytical.kvl";
  ASSERT_FALSE(ws.Log.Open(path));
  ui.ExpectMessage("Marquardt minimum");
  int shown = 0;
  ui.onPump = [&] {
    if (window.Waiting()) ++shown, window.NextIteration();
  };
  MinimizeResult result = RunMarquardt(ws, ui, {.window = &window});
  ws.Log.Close();
  EXPECT_EQ(result.end, RunEnd::Converged);
  EXPECT_EQ(shown, result.iterations + 1);
  EXPECT_EQ(ui.PaneText("frmMarquardt", "rtbMarquardt"), testing::FileBytes(testing::TestData("two_species_analytical.txt")));
  EXPECT_EQ(testing::FileBytes(path), testing::FileBytes(testing::TestData("two_species_analytical.kvl")));
}

}  // namespace
}  // namespace kalvex
