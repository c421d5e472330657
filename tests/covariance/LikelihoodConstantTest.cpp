#include "covariance/LikelihoodConstant.h"

#include <gtest/gtest.h>

#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;

Workspace MakeWorkspace() {
  Workspace ws(std::make_unique<testing::FunctionModel>(2, [](std::span<double>) { return 1.0; }));
  InitializeModel(ws, {});
  return ws;
}

// Empty answers ask again silently; zero and negative constants are refused
// with their message; the first positive one sets the reciprocal scale.
// Cancel ends without a constant.
TEST(LikelihoodConstant, AsksUntilAPositiveConstant) {
  Workspace ws = MakeWorkspace();
  ui::ScriptedFrontend ui;
  ui.ExpectInput(kEnterConstantTitle, std::nullopt);
  EXPECT_FALSE(AskLikelihoodConstant(ws, ui));
  EXPECT_EQ(ws.ObjectiveScale, 0);
  ui.inputs.clear();
  ui.ExpectInput(kEnterConstantTitle, "")
      .ExpectInput(kEnterConstantTitle, "0")
      .ExpectMessage("Insufficient degrees of freedom")
      .ExpectInput(kEnterConstantTitle, "-2")
      .ExpectMessage("Insufficient degrees of freedom")
      .ExpectInput(kEnterConstantTitle, " 4");
  EXPECT_TRUE(AskLikelihoodConstant(ws, ui));
  EXPECT_EQ(ui.PendingPrompts(), 0u);
  EXPECT_DOUBLE_EQ(ws.ObjectiveScale, 0.25);
  ASSERT_EQ(ui.inputs.size(), 4u);
  EXPECT_EQ(ui.inputs[0].prompt, "Enter the constant WHICH WILL MAKE the objective function the -ln[likelihood]\r\n");
  EXPECT_EQ(ui.inputs[0].defaultText, "");
}

// A sum-of-squares model is offered (N - n) / (2 F) from the last centre value.
TEST(LikelihoodConstant, SumOfSquaresSuggestion) {
  Workspace ws = MakeWorkspace();
  ws.DataPointCount = 14;
  ws.SuggestionFreeCount = 2;
  ws.SuggestionObjective = 3;
  ConstantPrompt prompt = LikelihoodConstantPrompt(ws);
  EXPECT_EQ(prompt.prompt,
            "Enter the constant WHICH WILL MAKE the objective function the -ln[likelihood]\r\n"
            "\r\nIf your objective function is the sum of squares, then use this constant: ");
  EXPECT_EQ(prompt.defaultAnswer, "2.0000000E+00");
  ws.SuggestionObjective = 0;  // nothing stored yet: no proposal
  EXPECT_EQ(LikelihoodConstantPrompt(ws).defaultAnswer, "");
}

}  // namespace
}  // namespace kalvex
