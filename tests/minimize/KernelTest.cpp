// The quiet kernels on a problem made without a workspace or a front end
// (a model, its link data and the settings, as a jittered start or a
// hindcast makes one): on the NIST problems and the Oskane examples they
// take the very path the interactive drivers take through the workspace
// (iterations, calls, bits of the minimum and of every value) and reach the
// certified values.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>

#include "algorithm/AlgorithmCommands.h"
#include "algorithm/AlgorithmFile.h"
#include "minimize/Marquardt.h"
#include "minimize/MarquardtKernel.h"
#include "minimize/Simplex.h"
#include "minimize/SimplexKernel.h"
#include "model/OskaneModel.h"
#include "support/NistFit.h"
#include "support/NistProblem.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/TextFile.h"
#include "workflow/FitSettings.h"

namespace kalvex {
namespace {

using testing::Minimizer;

struct KernelCase {
  const char* name;
  int startOrSpecies;  // the NIST start, or the example's species
  Minimizer minimizer;
  double minLre;       // NIST only: the certified digits reached
  bool Nist() const { return minLre > 0; }
};

std::string Example(const std::string& file) { return std::string(KALVEX_EXAMPLES) + "/" + file; }

struct Start {
  std::unique_ptr<Model> model;
  AlgorithmData alg;
};

Start NistStart(const KernelCase& c) {
  testing::NistProblem nist = testing::ReadNistProblem(testing::NistPath(c.name));
  const std::vector<double>& start = c.startOrSpecies == 2 ? nist.start2 : nist.start1;
  Start s{std::make_unique<testing::NistSumOfSquaresModel>(nist), {}};
  ModelShape shape = s.model->Initialize({});
  s.alg.NumParameters = shape.numParameters;
  s.alg.Values.assign(shape.numParameters + 1, 0.0);
  s.alg.Steps.assign(shape.numParameters + 1, 0.0);
  s.alg.Links.assign(shape.numParameters + 1, kUnlinked);
  for (int i = 1; i <= shape.numParameters; ++i) {
    s.alg.Values[i] = start[i - 1];
    s.alg.Steps[i] = start[i - 1] != 0 ? 0.1 * std::fabs(start[i - 1]) : 0.1;
  }
  s.alg.Tolerance = -1e-12;
  s.alg.MaxFunctionCalls = 20000;
  return s;
}

Start ExampleStart(const KernelCase& c) {
  Start s{MakeOskaneModel(), {}};
  s.alg.NumParameters = s.model->Initialize({c.startOrSpecies, Example(std::string(c.name) + ".dat")}).numParameters;
  ReadResult read = ReadTextLines(Example(std::string(c.name) + ".alg"));
  EXPECT_TRUE(read.ok);
  EXPECT_TRUE(ParseAlgorithmLines(read.lines, s.alg).ok());
  return s;
}

// The fit as the settings ask for it, on the problem alone.
MinimizeResult RunKernel(Problem& problem, Minimizer minimizer) {
  FitSettings settings;
  if (minimizer == Minimizer::Marquardt) settings.method.minimizer = checks::FitMinimizer::Marquardt;
  EXPECT_FALSE(settings.Validate());
  return ComputeFit(problem, settings);
}

// The same fit by the interactive driver through a workspace.
MinimizeResult RunDriver(const KernelCase& c, std::vector<double>& values) {
  if (c.Nist()) {
    testing::NistFitOptions driven;
    driven.minimizer = c.minimizer;
    driven.start = c.startOrSpecies;
    testing::NistFitResult fit = testing::FitNist(c.name, driven);
    values = {0.0};
    values.insert(values.end(), fit.values.begin(), fit.values.end());
    return fit.run;
  }
  testing::QuietFrontend ui;
  Workspace ws(MakeOskaneModel());
  InitializeModel(ws, {c.startOrSpecies, Example(std::string(c.name) + ".dat")});
  EXPECT_EQ(LoadAlgorithmFile(ws, ui, Example(std::string(c.name) + ".alg")).status, AlgorithmReadStatus::Read);
  ws.Alg.TerminalFrequency = 0;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  ws.DerivativeMode = "N";
  MinimizeResult result = c.minimizer == Minimizer::Simplex ? RunSimplex(ws, ui) : RunMarquardt(ws, ui);
  values = ws.Alg.Values;
  return result;
}

class QuietKernel : public ::testing::TestWithParam<KernelCase> {};

TEST_P(QuietKernel, TakesTheDriversPathOnAProblemWithoutAWorkspace) {
  const KernelCase& c = GetParam();
  Start start = c.Nist() ? NistStart(c) : ExampleStart(c);
  ObjectiveTerms terms;
  terms.numParameters = start.alg.NumParameters;
  terms.links = start.alg.Links;
  terms.steps = start.alg.Steps;
  Problem problem(ObjectiveEvaluator(std::move(start.model), terms), start.alg.Values, start.alg.Steps,
                  ProblemSettings::Of(start.alg));
  MinimizeResult quiet = RunKernel(problem, c.minimizer);
  EXPECT_EQ(quiet.end, RunEnd::Converged);
  EXPECT_EQ(quiet.point, problem.values);

  std::vector<double> driven;
  MinimizeResult fit = RunDriver(c, driven);
  EXPECT_EQ(quiet.iterations, fit.iterations);
  EXPECT_EQ(quiet.totalFunctionCalls, fit.totalFunctionCalls);
  EXPECT_EQ(std::bit_cast<uint64_t>(quiet.objective), std::bit_cast<uint64_t>(fit.objective));
  ASSERT_EQ(driven.size(), problem.values.size());
  for (std::size_t i = 1; i < driven.size(); ++i)
    EXPECT_EQ(std::bit_cast<uint64_t>(problem.values[i]), std::bit_cast<uint64_t>(driven[i])) << i;
  std::printf("%-12s %-9s %6d iterations %7lld calls, objective %.17g\n", c.name,
              c.minimizer == Minimizer::Simplex ? "Simplex" : "Marquardt", quiet.iterations,
              static_cast<long long>(quiet.totalFunctionCalls), quiet.objective);

  if (!c.Nist()) return;
  testing::NistProblem nist = testing::ReadNistProblem(testing::NistPath(c.name));
  double minLre = 15;
  for (int i = 1; i <= nist.parameterCount; ++i)
    minLre = std::min(minLre, testing::LogRelativeError(problem.values[i], nist.certified[i - 1]));
  EXPECT_GE(minLre, c.minLre);
}

INSTANTIATE_TEST_SUITE_P(Problems, QuietKernel,
                         ::testing::Values(KernelCase{"Misra1a", 1, Minimizer::Simplex, 5},
                                           KernelCase{"Misra1a", 1, Minimizer::Marquardt, 3.5},
                                           KernelCase{"BoxBOD", 2, Minimizer::Simplex, 5},
                                           KernelCase{"BoxBOD", 2, Minimizer::Marquardt, 5},
                                           KernelCase{"Eckerle4", 1, Minimizer::Marquardt, 4.5},
                                           KernelCase{"MGH09", 2, Minimizer::Simplex, 5},
                                           KernelCase{"one_species", 1, Minimizer::Simplex, 0},
                                           KernelCase{"one_species", 1, Minimizer::Marquardt, 0},
                                           KernelCase{"two_species", 2, Minimizer::Simplex, 0},
                                           KernelCase{"two_species", 2, Minimizer::Marquardt, 0}),
                         [](const ::testing::TestParamInfo<KernelCase>& info) {
                           return std::string(info.param.name) +
                                  (info.param.minimizer == Minimizer::Simplex ? "_Simplex" : "_Marquardt");
                         });

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
