// The analytical covariance run on the fitted two-species example (a fixed
// parameter, a linked pair): the dialogue, the log and the covariance file
// byte for byte (grid factors 0, three identical columns, -1 for the
// spreads), and its standard errors against the numerical grids as their
// factors shrink and against a Richardson-extrapolated Hessian.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "algorithm/AlgorithmCommands.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "covariance/HessianGrids.h"
#include "covariance/LikelihoodConstant.h"
#include "model/OskaneModel.h"
#include "support/NistFit.h"
#include "support/Richardson.h"
#include "support/SaveFaults.h"
#include "support/TestModels.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;

std::unique_ptr<Workspace> FittedExample() {
  auto ws = std::make_unique<Workspace>(MakeOskaneModel());
  InitializeModel(*ws, ModelInitOptions{2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  testing::QuietFrontend quiet;
  LoadAlgorithmFile(*ws, quiet, testing::TestData("two_species_fitted.alg"));
  return ws;
}

// The log as the run last told it.
struct KeptLog : CovarianceLog {
  std::string text;
  void Started() override {}
  void Changed(const std::string& log) override { text = log; }
  void InterruptTaken() override {}
};

TEST(AnalyticalCovariance, FileOfTheFittedExample) {
  auto ws = FittedExample();
  KeptLog kept;
  ui::ScriptedFrontend ui;
  ui.ExpectMessage(kCovarianceCalculatorTitle, Answer::Yes)
      .ExpectInput(kEnterConstantTitle, "0.5")
      .ExpectMessage(kOptimisticTitle, Answer::No);
  ASSERT_EQ(RunCovarianceCalculator(*ws, ui, {.openEditor = {}, .clock = {}, .log = &kept}),
            CovarianceRunEnd::Completed);
  const CovarianceResults& r = ws->Covariance.Results;
  std::string log;
  for (int g = 1; g <= kGridCount; ++g)
    log += "Now inverting Hessian matrix #" + std::to_string(g) + "\r\nDeterminant of covariance matrix: " +
           FormatNumber(r.CovarianceGrids[g](0, 0), "0.0000000E+00") + "\r\n\r\n";
  EXPECT_EQ(kept.text, log);
  EXPECT_EQ("Originally saved with the file name: two_species_fitted.cov\r\n\r\n" + CovarianceReportText(r),
            testing::FileBytes(testing::TestData("two_species_fitted_analytical.cov")));
}

using testing::Extrapolated;

TEST(AnalyticalCovariance, StandardErrorsAgreeWithNumericalHessians) {
  auto ws = FittedExample();
  ws->ObjectiveScale = 2;
  Problem problem = ProblemOf(*ws);
  CovarianceResults analytical;
  StartCovarianceRun(problem, ws->Alg.Descriptions, analytical);
  analytical.ObjectiveScale = ws->ObjectiveScale;
  GridObserver quiet;
  std::optional<Matrix> exact = AnalyticalHessian(problem, analytical);
  ASSERT_TRUE(exact);
  InvertAnalyticalGrids(analytical, *exact, quiet);
  const int n = analytical.FreeCount();

  // The grids' standard errors close in on the analytical ones as the
  // factors shrink, a hundredfold for each tenfold (the error of a central
  // difference goes with the step squared).
  CovarianceResults grids;
  grids.GridFactors = {0, 0.01, 0.001, 0.0001};
  StartCovarianceRun(problem, ws->Alg.Descriptions, grids);
  grids.ObjectiveScale = ws->ObjectiveScale;
  ComputeNumericalGrids(problem, grids, quiet);
  double previous = 1;
  for (int g = 1; g <= kGridCount; ++g) {
    double worst = 0;
    for (int e = 1; e <= n; ++e)
      worst = std::max(worst, std::fabs(grids.StandardError(g, e) / analytical.StandardError(1, e) - 1));
    EXPECT_LT(worst, previous / 10) << "grid " << g;
    previous = worst;
  }
  EXPECT_LT(previous, 1e-5);

  // A Hessian of second differences extrapolated to step 0 from moves small
  // enough for the curvature at the minimum (the standard errors are 0.01
  // to 0.05) and large enough to keep rounding out of the tenth digit.
  const std::vector<double> centre = analytical.WorkValues;
  auto objective = [&](int e, double de, int f, double df) {
    std::vector<double> point = centre;
    point[analytical.FreeIndex[e]] += de;
    point[analytical.FreeIndex[f]] += df;
    return EvaluateObjectiveWithCode(*ws, point, 1);
  };
  Matrix numerical(n, n);
  const double h = 0.005;
  for (int e = 1; e <= n; ++e)
    for (int f = 1; f <= e; ++f) {
      numerical(e, f) = numerical(f, e) = Extrapolated([&](double s) {
        const double a = s * h, b = s * h;
        return (objective(e, a, f, b) - objective(e, a, f, -b) - objective(e, -a, f, b) + objective(e, -a, f, -b)) /
               (4 * a * b);
      });
    }
  CovarianceResults reference = analytical;
  InvertHessian(reference, 1, numerical, quiet);
  for (int e = 1; e <= n; ++e)
    EXPECT_NEAR(reference.StandardError(1, e), analytical.StandardError(1, e),
                1e-6 * analytical.StandardError(1, e))
        << "parameter " << analytical.FreeIndex[e];
}

}  // namespace
}  // namespace kalvex
