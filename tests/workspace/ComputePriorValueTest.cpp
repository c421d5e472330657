#include "workspace/ComputePriorValue.h"

#include <gtest/gtest.h>

#include <cmath>

#include "priors/PriorsFixture.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

using testing::Prior;

TEST(PriorTerm, EdgesOfEveryType) {
  // The Ln-normal mode of mean 2 and SD 1, worked out by hand.
  const double sigma2 = std::log(1.25);
  const double lnMode = std::exp(std::log(2.0) - sigma2 / 2 - sigma2);
  struct Case {
    const char* what;
    PriorEntry prior;
    double x, expected;
  };
  const Case cases[] = {
      {"normal one SD out", Prior("N", 5, 2), 7, 0.5},
      {"uniform-unbounded", Prior("U", kPriorUnset, kPriorUnset), 1e6, 0},
      {"a letter outside the nine", Prior("Q", 1, 1), 3, 0},
      {"left cliff wall", Prior("S", 1, 0), 0.999, 1e14},
      {"on the left cliff's foot", Prior("S", 1, 0), 1, 0},
      {"left cliff with a negative SD", Prior("S", 1, -2), -50, 0},
      {"right cliff, 1 - q reaches 0", Prior("D", 0, 1), 40, 1.6e23},
      {"between hard feet", Prior("T", -1, 0, PriorNumber(2), PriorNumber(0)), 1.5, 0},
      {"beyond the right hard foot", Prior("T", -1, 0, PriorText("2"), PriorText("0")), 2.5, 0.25e20},
      {"exponential mean 4", Prior("E", 4, 4), 2, 0.5},
      {"exponential below 0", Prior("E", 4, 4), -1, 1e20},
      {"gamma at 0", Prior("G", 4, 2), 0, 1e8},
      {"gamma at its mode", Prior("G", 4, 2), 3, 0},
      {"ln-normal at its mode", Prior("L", 2, 1), lnMode, 0},
      {"beta at its mode", Prior("B", 0.5, 0.1), 0.5, 0},
      {"beta wall", Prior("B", 0.5, 0.1), 0.9999995, 2.5e7},
  };
  for (const Case& c : cases) {
    double term = PriorTermAt(c.prior, c.x, 1);
    EXPECT_NEAR(term, c.expected, 1e-9 * std::fabs(c.expected) + 1e-12) << c.what;
  }
}

TEST(PriorTerm, FaultsNameTheParameterAndItsType) {
  struct Case {
    PriorEntry prior;
    const char* message;
  };
  const Case cases[] = {
      {Prior("N", 0, 0), "Division by zero in the prior of parameter #3 (Gaussian or Normal)"},
      {Prior("G", 2, 3), "Invalid procedure call or argument in the prior of parameter #3 (Gamma)"},
      {Prior("T", 0, 1), "Type mismatch in the prior of parameter #3 (Uniform - bounded)"},
  };
  for (const Case& c : cases) {
    try {
      PriorTermAt(c.prior, 1, 3);
      ADD_FAILURE() << c.message;
    } catch (const NumericFault& fault) {
      EXPECT_STREQ(fault.what(), c.message);
    }
  }
}

TEST(NormalCdf, CentreSymmetryAndTheErrorFunction) {
  EXPECT_NEAR(NormalCdf(0), 0.5, 1.2e-7);
  for (double x : {0.1, 0.5, 1.0, 1.96, 3.0, 6.0}) {
    EXPECT_NEAR(NormalCdf(-x), 1 - NormalCdf(x), 1.2e-7) << x;
    EXPECT_NEAR(NormalCdf(-x), std::erfc(x / std::sqrt(2.0)) / 2, 1.2e-7 * NormalCdf(-x)) << x;
  }
}

TEST(ComputePriorValue, TheScaledTotalEntersTheObjectiveWhilePriorsAreOn) {
  Workspace ws = testing::PriorsWorkspace(3);
  ws.Priors[1] = Prior("N", 5, 2);
  ws.Priors[3] = Prior("E", 4, 4);
  std::vector<double> x = {0, 7, 9, 2};
  ComputePriorValue(ws, x);
  EXPECT_EQ(ws.PriorTerms, (std::vector<double>{0, 0.5, 0, 0.5}));
  EXPECT_EQ(ws.PriorValue, 0);  // no constant entered yet

  ws.ObjectiveScale = 0.25;
  EXPECT_EQ(EvaluateObjective(ws, x), 49 + 81 + 4);  // priors off
  ws.PriorsActive = kOn;
  EXPECT_EQ(EvaluateObjective(ws, x), 134 + 0.25);
  EXPECT_EQ(ws.model->BestObjective(), 134);  // the model's own value, without the prior
}

}  // namespace
}  // namespace kalvex
