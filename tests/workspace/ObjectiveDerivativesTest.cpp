// The exact derivatives of the objective as the minimizers and the
// covariance calculator see it, against Richardson-extrapolated central
// differences: the gradient against those of EvaluateObjective, the second
// derivatives against those of the gradient (second differences of the
// objective lose too many digits to rounding to judge 1e-7). Every example,
// at random points with Omega inside, near 0 and near 1, with linked groups
// and fixed parameters, and with priors of every type on (on a follower too).
#include "workspace/ObjectiveDerivatives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "algorithm/AlgorithmCommands.h"
#include "model/OskaneModel.h"
#include "support/NistFit.h"
#include "support/Richardson.h"
#include "support/TestModels.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

constexpr double kTolerance = 1e-7;

using testing::Extrapolated;

struct Case {
  const char* name;
  double omega;
  bool links;
  bool priors;
};

PriorEntry Prior(const char* letter, double first, double second, double third = 0, double fourth = 0) {
  PriorEntry prior;
  prior.TypeLetters = letter;
  prior.FirstTerm = first;
  prior.SecondTerm = second;
  if (prior.TypeLetters == "T") {
    prior.ThirdTerm = {false, "", third};
    prior.FourthTerm = {false, "", fourth};
  }
  return prior;
}

// The example with its algorithm file, moved to a random point of the case.
std::unique_ptr<Workspace> Prepare(const std::string& example, int species, const Case& c, std::mt19937_64& random) {
  auto ws = std::make_unique<Workspace>(MakeOskaneModel());
  InitializeModel(*ws, ModelInitOptions{species, std::string(KALVEX_EXAMPLES) + "/" + example + ".dat"});
  testing::QuietFrontend ui;
  LoadAlgorithmFile(*ws, ui, std::string(KALVEX_EXAMPLES) + "/" + example + ".alg");
  const model::ParameterLayout layout{species};
  std::uniform_real_distribution<double> move(-0.05, 0.05);
  for (int i = 1; i < layout.Omega(); ++i) ws->Alg.Values[i] += move(random);
  ws->Alg.Values[layout.Omega()] = c.omega;
  if (c.links) {
    // Groups of two and of three members; the intercept fixed.
    for (int i : {3, 5}) ws->Alg.Links[i] = "aa";
    for (int i : {2, 4, 6}) ws->Alg.Links[i] = "bb";
    ws->Alg.Steps[1] = 0;
  }
  if (c.priors) {
    ws->PriorsActive = kOn;
    ws->ObjectiveScale = 0.5;
    ws->Alg.Values[2] = 0.12, ws->Alg.Values[3] = 0.09, ws->Alg.Values[4] = -0.3;
    ws->Priors[1] = Prior("N", -0.2, 0.3);
    ws->Priors[2] = Prior("G", 0.2, 0.1);
    ws->Priors[3] = Prior("L", 0.1, 0.05);
    ws->Priors[4] = Prior("T", -0.5, 0.2, 0.5, 0.1);
    ws->Priors[5] = Prior("E", 0.3, 0.3);  // a follower of parameter 3
    ws->Priors[6] = Prior("S", -0.5, 0.4);
    ws->Priors[layout.Omega() - 1] = Prior("D", 0.2, 0.3);
    ws->Priors[layout.Omega()] = Prior("B", 0.4, 0.15);
    ws->Alg.Links[3] = ws->Alg.Links[5] = "aa";
  }
  NormalizeLinks(*ws);
  CollectFreeParameters(*ws);
  return ws;
}

// The objective, or the gradient, with free parameter k moved by dk.
std::vector<double> MovedPoint(Workspace& ws, int k, double dk) {
  std::vector<double> point = ws.Alg.Values;
  point[ws.Free.FreeIndex[k]] += dk;
  return point;
}
double Objective(Workspace& ws, int k, double dk) {
  std::vector<double> point = MovedPoint(ws, k, dk);
  return EvaluateObjectiveWithCode(ws, point, 1);
}
std::vector<double> Gradient(Workspace& ws, int k, double dk) {
  std::vector<double> point = MovedPoint(ws, k, dk), gradient;
  Matrix second;
  EvaluateObjectiveDerivatives(ws, point, ws.Free.FreeIndex, gradient, second);
  return gradient;
}

TEST(ObjectiveDerivatives, AgreeWithExtrapolatedDifferencesOnEveryExample) {
  std::mt19937_64 random(20240607);
  const Case cases[] = {{"inside", 0.45, false, false},
                        {"Omega near 0", 0.03, false, false},
                        {"Omega near 1", 0.97, false, false},
                        {"linked and fixed", 0.6, true, false},
                        {"priors", 0.35, false, true}};
  for (auto [example, species] : {std::pair{"one_species", 1}, {"two_species", 2}, {"three_species", 3}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(example) + ", " + c.name);
      auto ws = Prepare(example, species, c, random);
      const int n = ws->Free.FreeCount;
      const auto& index = ws->Free.FreeIndex;
      std::vector<double> gradient;
      Matrix second;
      std::vector<double> at = ws->Alg.Values;
      ASSERT_TRUE(EvaluateObjectiveDerivatives(*ws, at, index, gradient, second));
      // Steps that keep Omega inside 0..1 on every point.
      const int omega = model::ParameterLayout{species}.Omega();
      double gradientScale = 0;
      for (int k = 1; k <= n; ++k) gradientScale = std::max(gradientScale, std::fabs(gradient[index[k]]));
      for (int k = 1; k <= n; ++k) {
        const double h = index[k] == omega ? std::min(0.02, 0.4 * std::min(c.omega, 1 - c.omega)) : 0.02;
        const int pk = index[k];
        const double slope = Extrapolated(
            [&](double s) { return (Objective(*ws, k, s * h) - Objective(*ws, k, -s * h)) / (2 * s * h); });
        EXPECT_NEAR(gradient[pk], slope, kTolerance * gradientScale) << "parameter " << pk;
        for (int l = 1; l <= n; ++l) {
          const int pl = index[l];
          const double curvature = Extrapolated([&](double s) {
            return (Gradient(*ws, k, s * h)[pl] - Gradient(*ws, k, -s * h)[pl]) / (2 * s * h);
          });
          const double scale =
              std::max(std::fabs(curvature), std::sqrt(std::fabs(second(pk, pk) * second(pl, pl))));
          EXPECT_NEAR(second(pl, pk), curvature, kTolerance * scale) << "parameters " << pl << ", " << pk;
          EXPECT_EQ(second(pk, pl), second(pl, pk));
        }
      }
    }
  }
}

// A model without derivatives leaves the analyses their message, priors on or not.
TEST(ObjectiveDerivatives, AModelWithoutThemSuppliesNone) {
  Workspace ws(std::make_unique<testing::FunctionModel>(2, [](std::span<double> v) { return v[1] * v[1] + v[2]; }));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  ws.Alg.Steps = {0, 0.1, 0.1};
  ws.PriorsActive = kOn;
  ws.ObjectiveScale = 1;
  ws.Priors[1] = Prior("N", 0, 1);
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  std::vector<double> gradient;
  Matrix second;
  std::vector<double> at = ws.Alg.Values;
  EXPECT_FALSE(EvaluateObjectiveDerivatives(ws, at, ws.Free.FreeIndex, gradient, second));
}

}  // namespace
}  // namespace kalvex
