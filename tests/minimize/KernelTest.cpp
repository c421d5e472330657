// The quiet kernels against NIST problems with no front end at all: they
// reach the certified values, and along the very path (iterations, calls,
// bits of every value) the interactive drivers take.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "minimize/MarquardtKernel.h"
#include "minimize/SimplexKernel.h"
#include "support/NistFit.h"
#include "support/NistProblem.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using testing::Minimizer;

struct KernelCase {
  const char* name;
  int start;
  Minimizer minimizer;
  double minLre;
};

class QuietKernel : public ::testing::TestWithParam<KernelCase> {};

TEST_P(QuietKernel, ReachesTheCertifiedValuesAlongTheDriversPath) {
  const KernelCase& c = GetParam();
  testing::NistProblem problem = testing::ReadNistProblem(testing::NistPath(c.name));
  const std::vector<double>& start = c.start == 2 ? problem.start2 : problem.start1;
  Workspace ws(std::make_unique<testing::NistSumOfSquaresModel>(problem));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  for (int i = 1; i <= problem.parameterCount; ++i) {
    ws.Alg.Values[i] = start[i - 1];
    ws.Alg.Steps[i] = start[i - 1] != 0 ? 0.1 * std::fabs(start[i - 1]) : 0.1;
  }
  ws.Alg.Tolerance = -1e-12;
  ws.Alg.MaxFunctionCalls = 20000;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);

  MinimizeResult quiet;
  if (c.minimizer == Minimizer::Simplex) {
    SimplexObserver observer;
    SimplexKernel kernel(ws, SimplexOptions::Of(ws.Alg), observer);
    quiet = kernel.Run();
  } else {
    MarquardtOptions options = MarquardtOptions::Of(ws);
    ASSERT_FALSE(options.Validate());
    MarquardtObserver observer;
    MarquardtKernel kernel(ws, options, observer);
    quiet = kernel.Run();
  }
  EXPECT_EQ(quiet.end, RunEnd::Converged);
  double minLre = 15;
  for (int i = 1; i <= problem.parameterCount; ++i)
    minLre = std::min(minLre, testing::LogRelativeError(ws.Alg.Values[i], problem.certified[i - 1]));
  EXPECT_GE(minLre, c.minLre);

  testing::NistFitOptions driven;
  driven.minimizer = c.minimizer;
  driven.start = c.start;
  testing::NistFitResult fit = testing::FitNist(c.name, driven);
  EXPECT_EQ(quiet.iterations, fit.run.iterations);
  EXPECT_EQ(quiet.totalFunctionCalls, fit.run.totalFunctionCalls);
  EXPECT_EQ(quiet.objective, fit.run.objective);
  for (int i = 1; i <= problem.parameterCount; ++i) EXPECT_EQ(ws.Alg.Values[i], fit.values[i - 1]) << i;
}

INSTANTIATE_TEST_SUITE_P(Problems, QuietKernel,
                         ::testing::Values(KernelCase{"Misra1a", 1, Minimizer::Simplex, 5},
                                           KernelCase{"Misra1a", 1, Minimizer::Marquardt, 3.5},
                                           KernelCase{"BoxBOD", 2, Minimizer::Simplex, 5},
                                           KernelCase{"BoxBOD", 2, Minimizer::Marquardt, 5},
                                           KernelCase{"Eckerle4", 1, Minimizer::Marquardt, 4.5},
                                           KernelCase{"MGH09", 2, Minimizer::Simplex, 5}));

TEST(KernelOptions, ValidationNamesWhatCannotDriveARun) {
  SimplexOptions simplex;
  EXPECT_FALSE(simplex.Validate());
  simplex.tolerance = std::nan("");
  EXPECT_EQ(simplex.Validate(), "The tolerance must be a finite number");
  MarquardtOptions marquardt;
  EXPECT_FALSE(marquardt.Validate());
  marquardt.relativeStep = 0;
  EXPECT_EQ(marquardt.Validate(), "The relative derivative step must be positive");
}

}  // namespace
}  // namespace kalvex
