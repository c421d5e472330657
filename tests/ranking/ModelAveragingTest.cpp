#include "ranking/ModelAveraging.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "covariance/CovarianceReport.h"
#include "support/TestModels.h"
#include "ui/PaneFile.h"
#include "workspace/TextFile.h"

namespace kalvex::ranking {
namespace {

std::vector<std::string> CovLines(const std::string& name) {
  ReadResult read = ReadTextLines(testing::TestData("ranking/" + name));
  EXPECT_TRUE(read.ok) << name;
  return read.lines;
}

TEST(CovarianceEstimates, ReadsEstimatesAndTheStandardErrorsOfTheFreeParameters) {
  // a.cov: parameter 3 fixed, so it has no standard-error line.
  CovarianceParse a = ParseCovarianceEstimates(CovLines("a.cov"), 3, 2);
  ASSERT_TRUE(a.ok) << a.fault;
  EXPECT_EQ(a.estimates.estimate, (std::vector<double>{0, 1, 2, 0.5}));
  EXPECT_EQ(a.estimates.se[2], (std::array<double, 3>{0.2, 0.21, 0.22}));
  EXPECT_EQ(a.estimates.se[3], (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(a.estimates.gridMissing, (std::array<bool, 3>{false, false, false}));
  CovarianceParse b = ParseCovarianceEstimates(CovLines("b.cov"), 3, 3);
  ASSERT_TRUE(b.ok) << b.fault;
  EXPECT_EQ(b.estimates.se[3], (std::array<double, 3>{0.05, -1, 0.06}));
  EXPECT_EQ(b.estimates.gridMissing, (std::array<bool, 3>{false, true, false}));
}

TEST(CovarianceEstimates, AFileOffItsLayoutNamesTheLine) {
  struct Case {
    const char* what;
    std::function<void(std::vector<std::string>&)> spoil;
    int line;
    const char* fault;
    int freeCount = 2;
  };
  const Case cases[] = {
      {"short", [](auto& lines) { lines.resize(21); }, 22, "ends after line 21, where its layout needs 24 lines"},
      {"empty", [](auto& lines) { lines.clear(); }, 1, "ends after line 0, where its layout needs 24 lines"},
      {"no estimate", [](auto& lines) { lines[5] = " 002)  (none)"; }, 6,
       "has no estimate in columns 7-20 of line 6"},
      {"a standard-error line fewer than K", [](auto&) {}, 25, "has no parameter number in columns 1-3 of line 25", 3},
      {"no standard error", [](auto& lines) { lines[23].resize(50); }, 24,
       "has no standard error in columns 61-74 of line 24"},
      {"unknown parameter", [](auto& lines) { lines[22][2] = '7'; }, 23,
       "names parameter 7 in line 23, but the model has 3 parameters"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = CovLines("a.cov");
    c.spoil(lines);
    CovarianceParse parse = ParseCovarianceEstimates(lines, 3, c.freeCount);
    EXPECT_FALSE(parse.ok) << c.what;
    EXPECT_EQ(parse.faultLine, c.line) << c.what;
    EXPECT_EQ(parse.fault, c.fault) << c.what;
  }
}

// The covariance report as the covariance window saves it reads back whole:
// a negative estimate with a three-digit exponent keeps its sign and power.
TEST(CovarianceEstimates, ReadTheFileTheCovarianceReportWrites) {
  CovarianceResults r;
  r.GridFactors = {0, 1, 0.1, 0.01};
  r.ObjectiveScale = 2;
  r.WorkValues = {0, -1.25e-100, 3.5, 2};
  r.WorkSteps = {0, 0.1, 0, 0.1};
  r.Links = {"", "~~", "~~", "~~"};
  r.Descriptions = {"", "One", "Two", "Three"};
  r.FreeIndex = {0, 1, 3};
  for (int g = 1; g <= kGridCount; ++g) {
    r.CovarianceGrids[g] = Matrix(3, 3, g == 2 ? -1.0 : 1e-3);
    if (g == 2) continue;
    r.CovarianceGrids[g](1, 0) = 0.125 * g;
    r.CovarianceGrids[g](2, 0) = -2.5e-3 * g;
  }
  const std::string text = ui::SavedPaneText("/runs/fit.cov", CovarianceReportText(r));
  CovarianceParse parse = ParseCovarianceEstimates(SplitLines(text), 3, 2);
  ASSERT_TRUE(parse.ok) << parse.fault;
  EXPECT_EQ(parse.estimates.estimate, (std::vector<double>{0, -1.25e-100, 3.5, 2}));
  EXPECT_EQ(parse.estimates.se[1], (std::array<double, 3>{0.125, -1, 0.375}));
  EXPECT_EQ(parse.estimates.se[2], (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(parse.estimates.se[3], (std::array<double, 3>{-2.5e-3, -1, -7.5e-3}));
  EXPECT_EQ(parse.estimates.gridMissing, (std::array<bool, 3>{false, true, false}));
}

CovarianceEstimates Model(double estimate, double se, bool grid2Missing = false) {
  CovarianceEstimates m;
  m.estimate = {0, estimate};
  m.se = {{0, 0, 0}, {se, grid2Missing ? -1 : se, se}};
  m.gridMissing = {false, grid2Missing, false};
  return m;
}

TEST(ModelAveraging, WeighsEstimatesAndAddsTheSpreadToEachStandardError) {
  struct Case {
    const char* what;
    double chat;
    std::vector<CovarianceEstimates> models;
    double average;
    std::array<double, 3> se;
  };
  const double r2 = std::sqrt(2.0);
  const Case cases[] = {
      {"spread only (fixed in both)", 1, {Model(1, 0), Model(3, 0)}, 1.5, {0.75, 0.75, 0.75}},
      {"equal estimates", 1, {Model(2, 0.4), Model(2, 0.8)}, 2, {0.5, 0.5, 0.5}},
      {"C-hat 2", 2, {Model(2, 0.4), Model(2, 0.8)}, 2, {0.5 * r2, 0.5 * r2, 0.5 * r2}},
      {"a grid missing", 1, {Model(2, 0.4), Model(2, 0.8, true)}, 2, {0.5, -1, 0.5}},
  };
  for (const Case& c : cases) {
    AveragingResult result = AverageModels({1, c.chat, {0.75, 0.25}, c.models});
    EXPECT_DOUBLE_EQ(result.average[1], c.average) << c.what;
    for (int g = 0; g < 3; ++g) EXPECT_DOUBLE_EQ(result.averageSE[1][g], c.se[g]) << c.what << " grid " << g + 1;
  }
}

}  // namespace
}  // namespace kalvex::ranking
