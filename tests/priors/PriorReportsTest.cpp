#include <gtest/gtest.h>

#include "priors/PriorProfile.h"
#include "priors/PriorReview.h"
#include "priors/PriorsFixture.h"

namespace kalvex {
namespace {

using testing::Prior;
using testing::Slurp;
using testing::TestData;

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

  // A flat stretch: the first of its points is the mode.
  PriorTable flat = {{}, Prior("T", 0, 0, PriorNumber(1), PriorNumber(0))};
  EXPECT_EQ(ComputePriorProfile(flat, {1, 5}).summary.ModeIndex, 1);
}

// The settings alone, with no workspace and no front end, give the window's file.
TEST(PriorProfile, SettingsInReportOut) {
  const PriorTable priors = {{}, DefaultPrior(), DefaultPrior(), Prior("N", 5, 2)};
  const struct {
    PriorProfileSettings settings;
    const char* refusal;
  } invalid[] = {
      {{0, 101}, "The parameter number must be from 1 to 3"},
      {{4, 101}, "The parameter number must be from 1 to 3"},
      {{2, 101}, "There is nothing to plot when the prior distribution is uniform-unbounded"},
      {{3, -1}, "The number of points must be from 0 to 1001"},
      {{3, 1002}, "The number of points must be from 0 to 1001"},
  };
  for (const auto& c : invalid) EXPECT_EQ(c.settings.Validate(priors), c.refusal) << c.settings.parameter;

  const PriorProfileSettings settings{3, 10};
  ASSERT_EQ(settings.Validate(priors), std::nullopt);
  EXPECT_EQ(PriorProfileReport(ComputePriorProfile(priors, settings)), Slurp(TestData("priors/normal_11.pdp")));
}

TEST(PriorReview, SettingsInReviewOut) {
  const PriorTable priors = {{}, Prior("N", 5, 2), DefaultPrior(), Prior("S", 0, 0), Prior("E", 4, 4)};
  PriorReviewSettings settings{4, {0, 7, 123, -0.001, 2}, 0.5};
  ASSERT_EQ(settings.Validate(priors), std::nullopt);
  const PriorReview review = ComputePriorReview(priors, settings);
  EXPECT_EQ(PriorReviewText(review), Slurp(TestData("priors/review.rvp")));
  EXPECT_EQ(review.lines.size(), 3u);  // the uniform parameter 2 is not listed

  settings.values.pop_back();
  EXPECT_EQ(settings.Validate(priors), "The review needs a value and a prior for each of the 4 parameters");
}


}  // namespace
}  // namespace kalvex
