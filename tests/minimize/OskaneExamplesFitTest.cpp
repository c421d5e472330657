// Both minimizers fit the generated Oskane examples from their start values:
// the fit is at least as good as the parameters that generated the data and
// lands near them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "algorithm/AlgorithmCommands.h"
#include "minimize/Marquardt.h"
#include "minimize/Simplex.h"
#include "model/OskaneModel.h"
#include "support/NistFit.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

using testing::Minimizer;
using testing::QuietFrontend;

struct ExampleCase {
  const char* name;
  int species;
  Minimizer minimizer;
};

std::string Example(const std::string& file) { return std::string(KALVEX_EXAMPLES) + "/" + file; }

std::unique_ptr<Workspace> LoadExample(const ExampleCase& c, const std::string& alg, ui::Frontend& ui) {
  auto ws = std::make_unique<Workspace>(MakeOskaneModel());
  InitializeModel(*ws, ModelInitOptions{c.species, Example(std::string(c.name) + ".dat")});
  AlgorithmReadResult read = LoadAlgorithmFile(*ws, ui, Example(std::string(c.name) + alg));
  EXPECT_EQ(read.status, AlgorithmReadStatus::Read);
  NormalizeLinks(*ws);
  CollectFreeParameters(*ws);
  return ws;
}

class OskaneFit : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(OskaneFit, LandsNearTheGeneratingParameters) {
  const ExampleCase& c = GetParam();
  QuietFrontend ui;
  auto truth = LoadExample(c, "_true.alg", ui);
  std::vector<double> truthValues = truth->Alg.Values;
  double atTruth = EvaluateObjectiveWithCode(*truth, truthValues, 1);

  auto ws = LoadExample(c, ".alg", ui);
  // The settings of the example's algorithm file (absolute tolerance 1E-06).
  MinimizeResult result;
  if (c.minimizer == Minimizer::Simplex) {
    result = RunSimplex(*ws, ui);
  } else {
    ws->DerivativeMode = "N";
    result = RunMarquardt(*ws, ui);
  }
  std::vector<double> fitted = ws->Alg.Values;
  double atFit = EvaluateObjectiveWithCode(*ws, fitted, 1);

  std::string worst;
  double largest = 0;
  for (int k = 1; k <= ws->Free.FreeCount; ++k) {
    int i = ws->Free.FreeIndex[k];
    largest = std::max(largest, std::fabs(fitted[i] - truthValues[i]));
  }
  std::printf("%-14s %-9s %-10s -2lnL %s (truth %s), largest distance to the truth %s, %lld calls\n", c.name,
              c.minimizer == Minimizer::Simplex ? "Simplex" : "Marquardt", RunEndName(result.end),
              FormatNumber(atFit, "0.0000").c_str(), FormatNumber(atTruth, "0.0000").c_str(),
              FormatNumber(largest, "0.0000").c_str(), static_cast<long long>(result.totalFunctionCalls));
  EXPECT_EQ(result.end, RunEnd::Converged);
  // The maximum-likelihood fit is at least as likely as the truth.
  EXPECT_LE(atFit, atTruth + 1e-6);
  for (int k = 1; k <= ws->Free.FreeCount; ++k) {
    int i = ws->Free.FreeIndex[k];
    EXPECT_NEAR(fitted[i], truthValues[i], 0.1) << c.name << " parameter " << i;
  }
  // The forecast inputs stay fixed.
  for (int i = ws->NumEstimated + 1; i <= ws->Alg.NumParameters; ++i) EXPECT_EQ(fitted[i], truthValues[i]);
}

INSTANTIATE_TEST_SUITE_P(Examples, OskaneFit,
                         ::testing::Values(ExampleCase{"one_species", 1, Minimizer::Simplex},
                                           ExampleCase{"one_species", 1, Minimizer::Marquardt},
                                           ExampleCase{"two_species", 2, Minimizer::Simplex},
                                           ExampleCase{"two_species", 2, Minimizer::Marquardt},
                                           ExampleCase{"three_species", 3, Minimizer::Simplex},
                                           ExampleCase{"three_species", 3, Minimizer::Marquardt}),
                         [](const ::testing::TestParamInfo<ExampleCase>& info) {
                           return std::string(info.param.name) +
                                  (info.param.minimizer == Minimizer::Simplex ? "_Simplex" : "_Marquardt");
                         });

}  // namespace
}  // namespace kalvex
