#include "workspace/ObjectiveEvaluator.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "model/OskaneModel.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

PriorEntry Prior(const char* letter, double first, double second) {
  PriorEntry prior;
  prior.TypeLetters = letter;
  prior.FirstTerm = first;
  prior.SecondTerm = second;
  return prior;
}

std::string ThrownText(const std::function<void()>& action) {
  try {
    action();
  } catch (const NumericFault& fault) {
    return fault.what();
  }
  return "no fault";
}

// The evaluator against the workspace's own sequence on random trial
// vectors (Omega inside and outside 0..1), with a link group that a profile
// evaluation's fixed parameter drives and two priors on: the same bits and
// the same corrected vector, while the workspace's call count, prior total
// and best fit stay as they were. A prior that cannot be computed faults
// with the same text both ways.
TEST(ObjectiveEvaluator, GivesTheWorkspaceBitsAndTouchesNothing) {
  Workspace ws(MakeOskaneModel());
  InitializeModel(ws, {2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  SetDefaultAlgorithmData(ws);
  ws.Alg.Values = {0, -0.2, 0.1, 0.05, 0, 0.1, 0.02, 0, -0.1, 0.35, 1213, 3076, 887, 1};
  ws.Alg.Links[2] = ws.Alg.Links[6] = ws.Alg.Links[7] = "BB";
  ws.Alg.Steps[7] = 0;
  ws.ProfileEvaluationActive = kOn;
  ws.EvaluatedParameter = 7;
  ws.PriorsActive = kOn;
  ws.ObjectiveScale = 0.5;
  ws.Priors[1] = Prior("N", -0.2, 0.3);
  ws.Priors[9] = Prior("B", 0.4, 0.2);
  NormalizeLinks(ws);
  std::vector<double> centre = ws.Alg.Values;
  EvaluateObjectiveWithCode(ws, centre, 1);  // the run's first evaluation
  std::vector<ObjectiveEvaluator> evaluators = MakeEvaluators(ws, 1);
  ASSERT_EQ(evaluators.size(), 1u);

  const auto& model = static_cast<const OskaneModel&>(*ws.model);
  std::mt19937 random(17);
  std::uniform_real_distribution<double> move(-0.3, 0.3), omega(-0.3, 1.3);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<double> vector = ws.Alg.Values;
    for (int i = 1; i <= 8; ++i) vector[i] += move(random);
    vector[9] = omega(random);
    std::vector<double> mine = vector;
    const double bestBefore = model.BestObjective();
    const double priorBefore = ws.PriorValue;
    const double value = evaluators[0].Evaluate(mine);
    EXPECT_EQ(model.BestObjective(), bestBefore);
    EXPECT_EQ(ws.PriorValue, priorBefore);
    EXPECT_EQ(ws.FunctionCallCount, 0);
    const double expected = EvaluateObjectiveWithCode(ws, vector, 2);
    ASSERT_EQ(std::bit_cast<uint64_t>(value), std::bit_cast<uint64_t>(expected)) << "trial " << trial;
    ASSERT_EQ(mine, vector) << "trial " << trial;
  }

  ws.Priors[3] = Prior("L", -1, 0.2);  // the logarithm of a negative mean
  std::vector<ObjectiveEvaluator> faulty = MakeEvaluators(ws, 1);
  std::vector<double> a = ws.Alg.Values, b = ws.Alg.Values;
  const std::string expected = ThrownText([&] { EvaluateObjectiveWithCode(ws, a, 1); });
  EXPECT_NE(expected.find("in the prior of parameter #3"), std::string::npos) << expected;
  EXPECT_EQ(ThrownText([&] { faulty[0].Evaluate(b); }), expected);
}

}  // namespace
}  // namespace kalvex
