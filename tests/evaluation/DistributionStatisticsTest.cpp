#include "evaluation/DistributionStatistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalvex {
namespace {

// A profile of -ln[L] values laid on n points from x0 by h.
EvaluationTable Profile(int n, double x0, double h, double (*negLnL)(double)) {
  EvaluationTable table(n);
  for (int k = 1; k <= n; ++k) {
    table.GridValue[k] = x0 + (k - 1) * h;
    table.NegLnL[k] = negLnL(table.GridValue[k]);
  }
  return table;
}

double Gaussian(double x) { return 0.5 * std::pow((x - 3) / 0.5, 2) + 7; }  // mean 3, SD 0.5

TEST(DistributionStatistics, AGaussianProfileGivesBackItsMeanAndSd) {
  EvaluationTable table = Profile(801, 3 - 4, 0.01, Gaussian);  // eight SDs either side of 3
  EvaluationSummary summary;
  summary.ModeValue = table.GridValue[401];
  DistributionStatistics(table, summary, 401, 0.01);
  EXPECT_NEAR(summary.ExpectedValue, 3, 1e-6);
  EXPECT_NEAR(summary.EstimatedSE, 0.5, 1e-6);
  EXPECT_NEAR(summary.EstimatedDiff, 0, 1e-6);
  EXPECT_EQ(table.NegLnL[401], 0);
  EXPECT_NEAR(table.NegLnL[1], 32, 1e-9);  // relative to the mode
  EXPECT_NEAR(table.Cumulative[401], 0.5, 1e-6);
  EXPECT_NEAR(table.Cumulative[801], 1, 1e-6);
  EXPECT_NEAR(table.Pdf[401], table.NormalPdf[401], 1e-6);
  EXPECT_EQ(table.CiMode[401], 0);
  EXPECT_NEAR(table.CiMode[1], 1, 1e-6);
  EXPECT_NEAR(table.CiMean[801], 1, 1e-6);
}

TEST(DistributionStatistics, AnEvenCountLeavesTheLastIntervalOut) {
  EvaluationTable table = Profile(6, 0, 1, [](double x) { return x; });
  EvaluationSummary summary;
  DistributionStatistics(table, summary, 1, 1);
  // Simpson panels over points 1-3 and 3-5 only.
  double y[] = {0, 1, std::exp(-1.0), std::exp(-2.0), std::exp(-3.0), std::exp(-4.0)};
  double s0 = (y[1] + 4 * y[2] + y[3]) * 2 / 6 + (y[3] + 4 * y[4] + y[5]) * 2 / 6;
  EXPECT_NEAR(table.Pdf[1], 1 / s0, 1e-15);
  EXPECT_NEAR(table.Cumulative[5], 1, 1e-15);
  EXPECT_EQ(table.Cumulative[6], 0);
  // The mode at point 1 leaves the mode-centred column all zero.
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(table.CiMode[k], 0) << k;
}

TEST(DistributionStatistics, OfTwoPointsAsNearToTheMeanTheEarlierIsItsCentre) {
  // Relative likelihoods 0, 0.5, 1, 0, 0 on 0..4 put the mean at 1.5 exactly.
  EvaluationTable table(5);
  const double negLnL[] = {0, 800, 0, -std::log(2.0), 800, 800};
  for (int k = 1; k <= 5; ++k) {
    table.GridValue[k] = k - 1;
    table.NegLnL[k] = negLnL[k];
  }
  EvaluationSummary summary;
  summary.ModeValue = 2;
  DistributionStatistics(table, summary, 3, 1);
  ASSERT_EQ(summary.ExpectedValue, 1.5);
  EXPECT_EQ(summary.EstimatedDiff, 0.5);
  EXPECT_EQ(table.CiMean[2], 0);  // point 2, not point 3, centres the mean-centred column
  EXPECT_GT(table.CiMean[3], 0);
  EXPECT_EQ(table.CiMode[3], 0);
}

}  // namespace
}  // namespace kalvex
