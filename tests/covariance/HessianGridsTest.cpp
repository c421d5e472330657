// The covariance kernel on objectives whose Hessian is known exactly
// (quadratics, where central differences are exact up to rounding), and the
// report's statistics against independent computations.
#include "covariance/HessianGrids.h"

#include <gtest/gtest.h>

#include <cmath>

#include "covariance/CovarianceComputation.h"
#include "covariance/CovarianceReport.h"
#include "support/TestModels.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

constexpr double kRelative = 1e-12;

// A workspace on a given objective with values and steps set (1-based).
std::unique_ptr<Workspace> MakeWorkspace(int parameters, testing::FunctionModel::Objective objective,
                                         std::vector<double> values, std::vector<double> steps) {
  auto ws = std::make_unique<Workspace>(std::make_unique<testing::FunctionModel>(parameters, std::move(objective)));
  InitializeModel(*ws, {});
  SetDefaultAlgorithmData(*ws);
  ws->Alg.Values = std::move(values);
  ws->Alg.Steps = std::move(steps);
  return ws;
}

CovarianceResults RunGrids(Workspace& ws, double scale, bool optimistic) {
  CovarianceResults r;
  CovarianceSettings settings;
  settings.objectiveScale = scale;
  settings.optimisticSEs = optimistic;
  Problem problem = ProblemOf(ws);
  GridObserver quiet;
  EXPECT_EQ(ComputeCovariance(problem, ws.Alg.Descriptions, settings, r, quiet), CovarianceEnd::Completed);
  return r;
}

void ExpectNear(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, kRelative * std::fabs(expected)) << what;
}

// One free parameter among a fixed one and a linked follower: SE =
// sqrt(ObjectiveScale / H) on every grid, and the grid's spread of the
// three points 0, d, d with d = H (h step)^2 / 2.
TEST(HessianGrids, OneFreeParameter) {
  auto ws = MakeWorkspace(
      3, [](std::span<double> v) { return 4 * (v[2] - 1) * (v[2] - 1) + 10 * (v[3] - v[2]) + 7 * v[1]; },
      {0, 0, 1, 9}, {0, 0, 0.5, 0});
  ws->Alg.Links = {"", "~~", "AA", "AA"};
  CovarianceResults r = RunGrids(*ws, 2.0, false);
  ASSERT_EQ(r.FreeCount(), 1);
  EXPECT_EQ(r.FreeIndex[1], 2);
  EXPECT_EQ(r.WorkValues[3], 1);  // the follower takes its leader's value
  EXPECT_EQ(r.WorkSteps[3], 0);
  EXPECT_EQ(ws->Alg.Values[3], 9);  // the workspace is not touched
  const double f0 = 0;
  EXPECT_DOUBLE_EQ(r.CentreObjective, f0);
  for (int g = 1; g <= 3; ++g) {
    SCOPED_TRACE("grid " + std::to_string(g));
    double move = r.GridFactors[g] * 0.5;
    double rise = 8 * move * move / 2;  // H (h step)^2 / 2 with H = 8
    EXPECT_TRUE(r.Outcome[g].Valid());
    ExpectNear(r.GridMean[g], f0 + 2 * rise / 3, "mean");
    ExpectNear(r.GridSD[g], std::sqrt(2.0) * rise / 3, "signed SD");
    ExpectNear(r.StandardError(g, 1), std::sqrt(2.0 / 8), "SE");
    ExpectNear(r.CovarianceGrids[g](1, 1), 0.25, "variance");
    ExpectNear(r.CovarianceGrids[g](0, 0), 0.25, "determinant");
    ExpectNear(r.CovarianceGrids[g](0, 1), 0.25, "product of variances");
  }
}

// Two correlated parameters: C = scale x inverse(A) on every grid; with
// optimistic SEs the Hessian is the diagonal of A, the off-diagonal points
// are not evaluated, the covariances are 0 and the determinant stays.
TEST(HessianGrids, CovariancesAndOptimisticSEs) {
  // f = (a11 x^2 + 2 a12 x y + a22 y^2) / 2 about (0.3, -0.2), A = [[4, 1.5], [1.5, 2]].
  int evaluations = 0;
  auto objective = [&evaluations](std::span<double> v) {
    ++evaluations;
    double x = v[1] - 0.3, y = v[2] + 0.2;
    return (4 * x * x + 3 * x * y + 2 * y * y) / 2;
  };
  const double det = 4 * 2 - 1.5 * 1.5, scale = 0.5;
  for (bool optimistic : {false, true}) {
    SCOPED_TRACE(optimistic ? "optimistic" : "full");
    evaluations = 0;
    auto ws = MakeWorkspace(2, objective, {0, 0.3, -0.2}, {0, 0.25, 0.125});
    CovarianceResults r = RunGrids(*ws, scale, optimistic);
    EXPECT_EQ(evaluations, 1 + 3 * (optimistic ? 4 : 6));
    double c11 = optimistic ? scale / 4 : scale * 2 / det;
    double c22 = optimistic ? scale / 2 : scale * 4 / det;
    double c12 = optimistic ? 0 : -scale * 1.5 / det;
    for (int g = 1; g <= 3; ++g) {
      const Matrix& table = r.CovarianceGrids[g];
      ExpectNear(table(1, 1), c11, "c11");
      ExpectNear(table(2, 2), c22, "c22");
      EXPECT_NEAR(table(2, 1), c12, 1e-12);
      ExpectNear(table(0, 0), c11 * c22 - c12 * c12, "determinant");
      ExpectNear(table(0, 1), c11 * c22, "product of variances");
      ExpectNear(table(2, 0), std::sqrt(c22), "SE 2");
    }
  }
}

// A Hessian that is positive-definite on the large and small grids but not
// in between: only grid 2 carries -1, and the failure names the parameter
// number, not the free number.
TEST(HessianGrids, NotPositiveDefiniteOnGrid2Only) {
  auto objective = [](std::span<double> v) {
    double d = std::fabs(v[3] - 1);
    double bend = d > 0.05 && d < 0.5 ? -d * d : d * d;  // concave only for moves of 0.1
    return (v[2] - 2) * (v[2] - 2) + bend;
  };
  auto ws = MakeWorkspace(3, objective, {0, 5, 2, 1}, {0, 0, 1, 1});
  CovarianceResults r = RunGrids(*ws, 1.0, false);
  EXPECT_TRUE(r.Outcome[1].Valid());
  EXPECT_TRUE(r.Outcome[3].Valid());
  EXPECT_FALSE(r.Outcome[2].abandoned);
  EXPECT_EQ(r.Outcome[2].notPositiveDefiniteAt, 3);
  for (int row = 0; row <= 2; ++row)
    for (int column = 0; column <= 2; ++column) EXPECT_EQ(r.CovarianceGrids[2](row, column), kNoResult);
  EXPECT_GT(r.GridSD[2], 0);  // the grid's summary is still kept
  ExpectNear(r.StandardError(3, 2), std::sqrt(0.5), "grid 3");
}

// A difference that overflows is a numeric fault of the run, not a number.
TEST(HessianGrids, ArithmeticFaultsAreRaised) {
  auto ws = MakeWorkspace(1, [](std::span<double> v) { return v[1] == 0 ? -1e308 : 1e308; }, {0, 0}, {0, 1});
  EXPECT_THROW(RunGrids(*ws, 1.0, false), NumericFault);
}

// The Student-t (999 df) integral and the p-values built on it, against an
// independent Simpson integration on 2,000,000 panels from -60 with the
// exact ln Gamma.
TEST(CovarianceStatistics, StudentTAndTwoSidedP) {
  struct Case {
    double t, cdf;
    std::optional<double> p;
  };
  for (const Case& c : {Case{0, 0.5000000000000815, 1.0}, Case{0.5, 0.6914074045349703, 0.6172},
                        Case{1.96, 0.9748632686332749, 0.0502}, Case{3.3, 0.9994994843686437, 0.001},
                        Case{19.9, 1, std::nullopt}, Case{25, 1, std::nullopt}}) {
    SCOPED_TRACE(c.t);
    if (c.t < 20) {
      EXPECT_NEAR(StudentT999Cdf(c.t), c.cdf, 1e-9);
    }
    EXPECT_EQ(TwoSidedP(c.t), c.p);
  }
  EXPECT_NEAR(LogGamma(500), 2605.115850361734, 1e-9);
  EXPECT_NEAR(LogGamma(3.7), 1.4280723266653883, 1e-9);
  EXPECT_NEAR(LogGamma(0.5), 0.5723649429247004, 1e-9);  // by reflection
}

}  // namespace
}  // namespace kalvex
