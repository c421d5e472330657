#include "workflow/OneFunctionCall.h"

#include <gtest/gtest.h>

#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

Workspace MakeWorkspace(testing::FunctionModel::Objective objective) {
  Workspace ws(std::make_unique<testing::FunctionModel>(3, std::move(objective)));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  return ws;
}

TEST(OneFunctionCallText, LinesOfTheReport) {
  AlgorithmData alg;
  alg.NumParameters = 2;
  alg.Values = {0, 1.5, -0.000123};
  alg.Links = {"", "~~", "AB"};
  alg.Descriptions = {"", "Intercept", "Slope"};
  std::string text = OneFunctionCallText(alg, 123.456789, 0.29);
  EXPECT_EQ(text,
            "\r\n"
            "Current minimum of 123.45679 found at the following parameter values: \r\n"
            "\r\n"
            "    001)  1.5000000E+00  ~~  Intercept\r\n"
            "    002) -1.2300000E-04  AB  Slope\r\n"
            "\r\n"
            "Note: One function call requires about 0.29 seconds\r\n");
}

TEST(OneFunctionCallText, LinkColumnIsThreeCharactersWide) {
  AlgorithmData alg;
  alg.NumParameters = 1;
  alg.Values = {0, 0};
  alg.Links = {"", "~"};
  alg.Descriptions = {"", "p"};
  std::string text = OneFunctionCallText(alg, 2, 0);
  EXPECT_NE(text.find("    001)  0.0000000E+00   ~  p\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Current minimum of 2. found"), std::string::npos);
  EXPECT_NE(text.find("about 0 seconds"), std::string::npos);
}

TEST(OneFunctionCallText, ElapsedIsRoundedToHundredths) {
  EXPECT_DOUBLE_EQ(RoundedElapsed(0.004), 0);
  EXPECT_DOUBLE_EQ(RoundedElapsed(0.005), 0.01);
  EXPECT_DOUBLE_EQ(RoundedElapsed(1.234), 1.23);
  EXPECT_DOUBLE_EQ(RoundedElapsed(12.3456), 12.35);
}

TEST(OneFunctionCallReport, EvaluatesOnceWithCodeOneAndTimesIt) {
  Workspace ws = MakeWorkspace([](std::span<double> v) { return v[1] + 10 * v[2]; });
  ws.Alg.Values = {0, 1, 2, 3};
  ws.FunctionCallCount = 17;
  ui::ScriptedFrontend ui;
  double clock = 100;
  OneFunctionCallOptions options;
  options.seconds = [&clock] { return clock += 0.5; };
  OneFunctionCallResult result = OneFunctionCallReport(ws, ui, options);
  auto& model = static_cast<testing::FunctionModel&>(*ws.model);
  EXPECT_EQ(model.callCodes, std::vector<int32_t>{1});
  EXPECT_EQ(ws.FunctionCallCount, 17);  // a single evaluation is not counted
  EXPECT_EQ(result.objective, 21);
  EXPECT_EQ(result.elapsedSeconds, 0.5);
  EXPECT_EQ(ui.PaneText("frmOneFunction", "rtbOneFunction"), result.text);
  EXPECT_TRUE(ui.IsWindowOpen("frmOneFunction"));
  EXPECT_EQ(ui.statusHistory, (std::vector<std::string>{"One moment please...", ""}));
}

TEST(OneFunctionCallReport, FaultIsReportedAndLeavesThePaneEmpty) {
  Workspace ws = MakeWorkspace([](std::span<double> v) { return SafeLog(v[1]); });
  ui::ScriptedFrontend ui;
  ui.ExpectMessage("Kalvex");
  OneFunctionCallResult result = OneFunctionCallReport(ws, ui);
  EXPECT_FALSE(result.evaluated);
  EXPECT_EQ(ui.LastMessage().text, "Invalid procedure call or argument");
  EXPECT_EQ(ui.PaneText("frmOneFunction", "rtbOneFunction"), "");
  EXPECT_EQ(ui.Status(5, 1), "");
}

}  // namespace
}  // namespace kalvex
