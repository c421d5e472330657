// An outside check of the covariance grids and of the analytical covariances
// on the NIST StRD nonlinear regression problems, as a sum-of-squares model
// (DataPointCount > 0: the constant prompt proposes (N - p) / (2 RSS), so the
// covariance is s^2 (H/2)^-1 with H the Hessian of the sum of squares). At
// the certified values the standard errors of each grid and of the model's
// exact Hessian are held against two references by the log relative error
// (LRE, digits of agreement):
//  - the exact-Hessian standard errors of tools/nist_full_hessian_se.py
//    (the quantity the grids estimate): this checks the grids;
//  - the certified standard deviations, which come from J'J (Gauss-Newton)
//    and differ from the full Hessian by the residual curvature term.
// Marquardt fits from both NIST starts, with numerical and with analytical
// derivatives, are judged against the certified values. The printed table is
// the one in docs/covariance-nist.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "covariance/CovarianceCalculator.h"
#include "covariance/HessianGrids.h"
#include "support/NistFit.h"
#include "support/TestModels.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using testing::LogRelativeError;

// Steps are this fraction of the certified values; the grids scale them by
// 1, 0.1 and 0.01.
constexpr double kStepFraction = 1e-3;

// Takes the proposed constant, answers No to every question.
class ProposalFrontend : public testing::QuietFrontend {
 public:
  std::optional<std::string> Input(std::string_view, std::string_view, std::string_view defaultText) override {
    return std::string(defaultText);
  }
};

// Problem name -> its exact-Hessian standard errors (-1: not positive).
std::map<std::string, std::vector<double>> ExactHessianSes() {
  std::map<std::string, std::vector<double>> table;
  for (const std::string& line : ReadTextLines(testing::TestData("nist_full_hessian_se.txt")).lines) {
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    for (std::string value; fields >> value;) table[name].push_back(ParseNumber(value).value_or(-1));
  }
  return table;
}

// Per grid 1..3, then the analytical run in [0]: the worst parameter's LRE, 0 without a result.
struct GridLres {
  std::array<double, 4> certified{}, exact{};
};

// Each standard error of a run's grid against both references, the worst.
void Judge(const CovarianceResults& r, int grid, const testing::NistProblem& problem, const std::vector<double>& exact,
           GridLres& lres, int slot) {
  lres.certified[slot] = lres.exact[slot] = 15;
  for (int e = 1; e <= r.FreeCount(); ++e) {
    double se = r.StandardError(grid, e);
    bool none = se == kNoResult || exact[e - 1] < 0;
    lres.certified[slot] = std::min(lres.certified[slot], none ? 0.0 : LogRelativeError(se, problem.certifiedSd[e - 1]));
    lres.exact[slot] = std::min(lres.exact[slot], none ? 0.0 : LogRelativeError(se, exact[e - 1]));
  }
}

GridLres CovarianceAtCertified(const std::string& name, const std::vector<double>& exact) {
  testing::NistProblem problem = testing::ReadNistProblem(testing::NistPath(name));
  Workspace ws(std::make_unique<testing::NistSumOfSquaresModel>(problem));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  for (int i = 1; i <= problem.parameterCount; ++i) {
    ws.Alg.Values[i] = problem.certified[i - 1];
    ws.Alg.Steps[i] = kStepFraction * std::fabs(problem.certified[i - 1]);
  }
  ProposalFrontend ui;
  GridLres lres;
  if (RunNumericalCovariance(ws, ui) != CovarianceRunEnd::Completed) return lres;
  for (int g = 1; g <= 3; ++g) Judge(ws.Covariance.Results, g, problem, exact, lres, g);
  // The model's exact Hessian, with the constant the numerical run took.
  Problem problemOfWs = ProblemOf(ws);
  CovarianceResults analytical;
  StartCovarianceRun(problemOfWs, ws.Alg.Descriptions, analytical);
  analytical.ObjectiveScale = ws.ObjectiveScale;
  GridObserver quiet;
  if (std::optional<Matrix> hessian = AnalyticalHessian(problemOfWs, analytical)) {
    InvertAnalyticalGrids(analytical, *hessian, quiet);
    Judge(analytical, 1, problem, exact, lres, 0);
  }
  return lres;
}

double FitLre(const std::string& name, int start, bool analytical) {
  testing::NistFitOptions options;
  options.start = start;
  options.analytical = analytical;
  testing::NistFitResult fit = testing::FitNist(name, options);
  return fit.run.end == RunEnd::Converged ? fit.minLre : 0.0;
}

std::string Lre(double lre) { return FormatNumber(lre, "0.0"); }

double Best(const std::array<double, 4>& lres) { return *std::max_element(lres.begin() + 1, lres.end()); }

TEST(NistCovariance, StandardErrorsAndFitsAgainstTheReferences) {
  std::map<std::string, std::vector<double>> exact = ExactHessianSes();
  ASSERT_EQ(exact.size(), 27u);
  int exactReached = 0, certifiedReached = 0, analyticalReached = 0, fitsReached = 0, analyticalFitsReached = 0;
  std::printf(
      "| problem | p | exact H grid 1 | grid 2 | grid 3 | analytical | certified grid 1 | grid 2 | grid 3 | "
      "analytical | N start 1 | N start 2 | A start 1 | A start 2 |\n"
      "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const auto& [name, ses] : exact) {
    GridLres grids = CovarianceAtCertified(name, ses);
    // Well-conditioned problems: five digits on the middle grid; a scale off
    // by 2 would leave 0.4 digits of the certified values.
    if (std::set<std::string>{"Misra1a", "Misra1b", "Chwirut1", "DanWood", "Gauss1", "Rat42", "BoxBOD"}.count(name)) {
      EXPECT_GE(grids.exact[2], 5) << name;
      EXPECT_GE(grids.certified[2], 0.8) << name;
    }
    double fit1 = FitLre(name, 1, false), fit2 = FitLre(name, 2, false);
    double analytical1 = FitLre(name, 1, true), analytical2 = FitLre(name, 2, true);
    exactReached += Best(grids.exact) >= 4;
    certifiedReached += Best(grids.certified) >= 4;
    analyticalReached += grids.exact[0] >= 6;
    fitsReached += std::min(fit1, fit2) >= 4;
    analyticalFitsReached += std::min(analytical1, analytical2) >= 6;
    std::printf("| %s | %zu | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", name.c_str(), ses.size(),
                Lre(grids.exact[1]).c_str(), Lre(grids.exact[2]).c_str(), Lre(grids.exact[3]).c_str(),
                Lre(grids.exact[0]).c_str(), Lre(grids.certified[1]).c_str(), Lre(grids.certified[2]).c_str(),
                Lre(grids.certified[3]).c_str(), Lre(grids.certified[0]).c_str(), Lre(fit1).c_str(), Lre(fit2).c_str(),
                Lre(analytical1).c_str(), Lre(analytical2).c_str());
  }
  std::printf("LRE >= 4 on the best grid: %d of 27 against the exact Hessian, %d of 27 against the certified SDs; "
              "analytical LRE >= 6 against the exact Hessian: %d of 27; both Marquardt fits LRE >= 4 with numerical "
              "derivatives: %d of 27, LRE >= 6 with analytical ones: %d of 27\n",
              exactReached, certifiedReached, analyticalReached, fitsReached, analyticalFitsReached);
  // The grids estimate the full Hessian to four digits or more wherever the
  // problem is not nearly singular at 1e-3 relative steps; the exact
  // derivatives give it to six or more everywhere.
  EXPECT_GE(exactReached, 20);
  EXPECT_EQ(analyticalReached, 27);
}

}  // namespace
}  // namespace kalvex
