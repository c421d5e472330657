#include <gtest/gtest.h>

#include "priors/PriorProfile.h"
#include "priors/PriorReview.h"
#include "priors/PriorsFixture.h"
#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

using testing::Prior;
using testing::Slurp;
using testing::TestData;
using ui::Answer;

constexpr const char* kTitle = "Evaluation of prior distributions";

TEST(PriorProfile, PointCountsAndDomains) {
  EXPECT_EQ(PriorProfilePointCount(0), 101);
  EXPECT_EQ(PriorProfilePointCount(4), 5);
  EXPECT_EQ(PriorProfilePointCount(1), 3);
  EXPECT_EQ(PriorProfilePointCount(1001), 1001);

  struct Case {
    const char* what;
    PriorEntry prior;
    double first, last, spacing;
  };
  const Case cases[] = {
      {"beta from 0 to 1", Prior("B", 0.3, 0.1), 1e-6, 0.999999, 0.25},
      {"exponential to ten means", Prior("E", 4, 4), 0, 40, 10},
      {"gamma squeezed onto its support", Prior("G", 1, 0.5), 1e-6, 3.5 + 1e-6, 0.875},
      {"normal five SDs either side", Prior("N", 5, 2), -5, 15, 5},
      {"hard cliff below zero, laid left to right", Prior("S", -3, 0), -6, 0, 1.5},
      {"uniform-bounded, three SDs beyond each foot", Prior("T", 0, 0.5, PriorNumber(2), PriorNumber(0)), -1.5, 2,
       0.875},
  };
  for (const Case& c : cases) {
    PriorProfileDomain domain = PriorProfileDomainOf(c.prior, 5, 1);
    EXPECT_NEAR(domain.x[1], c.first, 1e-15) << c.what;
    EXPECT_NEAR(domain.x[5], c.last, 1e-14) << c.what;
    EXPECT_NEAR(domain.spacing, c.spacing, 1e-15) << c.what;
  }
}

TEST(PriorProfile, ThePromptsAndTheReportOfANormalPrior) {
  Workspace ws = testing::PriorsWorkspace(3);
  ws.Priors[3] = Prior("N", 5, 2);
  ui::ScriptedFrontend ui;
  ui.ExpectMessage(kTitle)
      .ExpectMessage(kTitle)
      .ExpectInput(kTitle, "1")  // uniform-unbounded: nothing to plot
      .ExpectMessage(kTitle)
      .ExpectInput(kTitle, "3")
      .ExpectInput(kTitle, "1002")  // asked again
      .ExpectInput(kTitle, "10");   // 11 points
  std::optional<PriorProfile> profile = ProfilePrior(ws, ui, 3);
  ASSERT_TRUE(profile);
  EXPECT_EQ(ui.messages[0].style, 65);
  EXPECT_EQ(ui.messages[2].text, "There is nothing to plot when the prior distribution is uniform-unbounded");
  EXPECT_EQ(ui.inputs[0].prompt, "Choose the parameter number to be profiled.\r\n(0 < parameter # <= 3)");
  EXPECT_EQ(ui.inputs[0].defaultText, "3");
  EXPECT_EQ(ui.inputs[2].defaultText, "101");
  EXPECT_EQ(profile->table.PointCount, 11);
  EXPECT_EQ(ui.Status(5, 1), "");  // the point texts are gone

  const std::string path = testing::TempDir() + "/normal.pdp";
  ui.ExpectSave(path, "Save Bayesian prior values in...");
  ASSERT_EQ(SavePriorProfile(ws, ui), path);
  EXPECT_EQ(Slurp(path), "Originally saved with the file name: " + path + "\r\n\r\n" +
                             Slurp(TestData("priors/normal_11.pdp")));
  EXPECT_EQ(ui.dialogs.back().filter, "All files (*.*)|*.*|Bayesian prior distribution files (*.pdp)|*.pdp");

  // A flat stretch: the first of its points is the mode.
  PriorProfile flat = ComputePriorProfile(Prior("T", 0, 0, PriorNumber(1), PriorNumber(0)), 1, 5);
  EXPECT_EQ(flat.summary.ModeIndex, 1);
}

TEST(PriorReview, ListsThePriorsThatAreNotUniformAndTheirTotal) {
  Workspace ws = testing::PriorsWorkspace(4);
  ws.Alg.Values = {0, 7, 123, -0.001, 2};
  ws.Priors[1] = Prior("N", 5, 2);
  ws.Priors[3] = Prior("S", 0, 0);  // a wall: its figures are cut to their columns
  ws.Priors[4] = Prior("E", 4, 4);
  ws.ObjectiveScale = 0.5;
  ui::ScriptedFrontend ui;
  ReviewPriors(ws, ui);
  EXPECT_TRUE(ui.IsWindowOpen("frmReviewPriors"));
  const std::string path = testing::TempDir() + "/review.rvp";
  ui.ExpectSave(path, "Save review in...");
  ASSERT_EQ(SavePriorReview(ws, ui), path);
  EXPECT_EQ(Slurp(path), "Originally saved with the file name: " + path + "\r\n\r\n" +
                             Slurp(TestData("priors/review.rvp")));
  // Saved again, the pane keeps one header: the new save's.
  const std::string again = testing::TempDir() + "/review2.rvp";
  ui.ExpectSave(again, "Save review in...");
  ASSERT_EQ(SavePriorReview(ws, ui), again);
  EXPECT_EQ(Slurp(again), "Originally saved with the file name: " + again + "\r\n\r\n" +
                              Slurp(TestData("priors/review.rvp")));

  Workspace uniform = testing::PriorsWorkspace(2);
  ReviewPriors(uniform, ui);
  std::string text = ui.PaneText("frmReviewPriors", "rtbReviewPriors");
  EXPECT_TRUE(text.ends_with(
      "\r\n\r\n           The entire model has a prior -ln[L] of     0.00 and a prior likelihood of 1.000000\r\n"))
      << text;
}

}  // namespace
}  // namespace kalvex
