// The pieces of the jitter and hindcast analyses: the platform-independent
// generator, the jittered start, the grouping of minima, the hindcast's
// skill figures, and the .jit and .hnd texts byte for byte.
#include <gtest/gtest.h>

#include <cmath>

#include "algorithm/AlgorithmCommands.h"
#include "checks/HindcastReport.h"
#include "checks/JitterReport.h"
#include "checks/Random.h"
#include "model/OskaneModel.h"
#include "support/SaveFaults.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

using testing::FileBytes;

// SplitMix64's published first outputs from 0, and streams checked against
// an independent implementation: the same numbers on every platform.
TEST(CheckBuildingBlocks, GeneratorAndJitteredStart) {
  SplitMix64 words(0);
  EXPECT_EQ(words.Next(), 0xe220a8397b1dcdafu);
  EXPECT_EQ(words.Next(), 0x6e789e6aa1b965f4u);
  EXPECT_EQ(words.Next(), 0x06c45d188009454fu);
  struct Stream {
    std::uint64_t seed, k;
    double u1, u2, u3;
  };
  for (const Stream& s : {Stream{7, 3, 0.3786115546531066, -0.8032356778768117, -0.14852735845921017},
                          Stream{1, 1, -0.06243900565380911, -0.9348080684415183, 0.05071885394970743},
                          Stream{1, 2, 0.4457266022958144, 0.11964199702768297, -0.14889751746560465}}) {
    Xoshiro256 g = Xoshiro256::Stream(s.seed, s.k);
    EXPECT_EQ(g.UniformSymmetric(), s.u1);
    EXPECT_EQ(g.UniformSymmetric(), s.u2);
    EXPECT_EQ(g.UniformSymmetric(), s.u3);
  }

  // Start 3 of seed 7 with J = 0.5: the step is the scale where it exceeds
  // the value, and the last parameter (kept within 0..1) crosses 1 and is
  // mirrored back.
  JitterSettings settings{10, 0.5, 7};
  std::vector<double> start =
      JitteredStart({0, -0.4, 0.2, 0.3, 0.95}, {0, 0.1, 0.05, 0.1, 0.1}, {{4, 0, 1}}, settings, 3);
  std::vector<double> expected = {0, -0.3242776890693787, 0.11967643221231883, 0.27772089623111845, 0.6595196954982687};
  EXPECT_EQ(start, expected);
  EXPECT_EQ(settings.Validate(), std::nullopt);
  EXPECT_TRUE((JitterSettings{0, 0.1, 1}.Validate()));
  EXPECT_TRUE((JitterSettings{5, -0.1, 1}.Validate()));
  EXPECT_TRUE((JitterSettings{5, 0.1, 1, FitMinimizer::Simplex, true}.Validate()));
}

// Omega (parameter 9 of two species) is the free parameter kept within 0..1.
TEST(CheckBuildingBlocks, OmegaIsTheRangedFreeParameter) {
  Workspace ws(MakeOskaneModel());
  InitializeModel(ws, {2, std::string(KALVEX_EXAMPLES) + "/two_species.dat"});
  ui::ScriptedFrontend ui;
  ASSERT_EQ(LoadAlgorithmFile(ws, ui, testing::TestData("two_species_fitted.alg")).status, AlgorithmReadStatus::Read);
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  const std::vector<ParameterRange> ranges = FreeParameterRanges(*ws.model, ws.Free);
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(ws.Free.FreeIndex[ranges[0].freeIndex], 9);
  EXPECT_EQ(ranges[0].high, 1.0);
}

TEST(CheckBuildingBlocks, MinimaGroupedWithinTheTolerance) {
  const std::vector<FitReached> fits = {{-10.0, {0, 1.2, 0.4}}, {-9.9999995, {0, 1.1, 0.0}},   {-12.0, {0, 1.0, 0.0}},
                                        {std::nullopt, {}},     {-11.99999995, {0, 1.0, 0.0}}, {-10.5, {0, 0.9, 0.1}}};
  const std::vector<double> steps = {0, 0.1, 0.5};
  struct Row {
    double tolerance;
    std::vector<int> counts;  // per minimum, the best first
  };
  for (const Row& row :
       {Row{1e-6, {2, 1, 2}}, Row{-1e-7, {2, 1, 2}}, Row{-1e-8, {2, 1, 1, 1}}, Row{0, {1, 1, 1, 1, 1}}}) {
    MinimaSummary m = GroupMinima(fits, steps, row.tolerance);
    std::vector<int> counts;
    for (const MinimumFound& found : m.minima) counts.push_back(found.count);
    EXPECT_EQ(counts, row.counts) << row.tolerance;
    EXPECT_EQ(m.BestFit(), 3);
    EXPECT_EQ(m.minimumOf[3], -1);
    EXPECT_FALSE(m.distance[3]);
    EXPECT_DOUBLE_EQ(*m.distance[0], 0.8);  // the second parameter: 0.4 over its step 0.5
    EXPECT_EQ(*m.distance[4], 0.0);
  }
}

// Three peels worked by hand: errors ln 1.2, ln 1.25 and ln(1/1.1).
HindcastRun HandRun() {
  HindcastRun run;
  run.minimizer = "Marquardt";
  run.freeIndex = {0, 1, 2, 5};
  run.descriptions = {"", "Intercept", "Effort", "", "", "Omega"};
  run.fullEstimates = {0, 2.0, 0.0, -0.5};
  run.fullObjective = -42.125;
  run.years = {1995, 1996, 1997, 1998, 1999};
  run.observed = {0.35, 0.28, 0.30, 0.40, 0.20};
  run.fullPrediction = {std::nullopt, 0.3, 0.29, 0.36, 0.25};
  run.peels = {{{1, 1998, std::log(0.22), 0.15, 0.30, 0.20, 0.40, {0, 1.9, 0.0, -0.5}}, -40.5, "converged"},
               {{2, 1997, std::log(0.32), 0.25, 0.38, 0.40, 0.30, {0, 2.4, 0.2, -0.55}}, -38.25, "converged"},
               {{3, 1996, std::log(0.25), 0.20, 0.35, 0.30, 0.28, {0, 2.2, 0.1, -0.45}}, -35.0, "call limit"}};
  return run;
}

TEST(CheckBuildingBlocks, HindcastSkillByHand) {
  const HindcastRun run = HandRun();
  const HindcastSkill skill = ScoreRun(run);
  EXPECT_EQ(skill.peels, 3);
  EXPECT_NEAR(skill.rmse, 0.17523148969217958, 1e-15);
  EXPECT_NEAR(skill.mae, 0.16692509597082972, 1e-15);
  EXPECT_NEAR(skill.bias, 0.10338497610127988, 1e-15);
  EXPECT_EQ(skill.covered, 2);
  ASSERT_TRUE(skill.mase);
  EXPECT_NEAR(*skill.mase, 0.4770096535654787, 1e-15);
  ASSERT_EQ(skill.mohnsRho.size(), 4u);
  EXPECT_NEAR(*skill.mohnsRho[1], 0.25 / 3, 1e-15);
  EXPECT_FALSE(skill.mohnsRho[2]);  // the full fit's estimate is 0
  EXPECT_NEAR(*skill.mohnsRho[3], 0.0, 1e-15);
}

TEST(CheckBuildingBlocks, JitterAndHindcastReportsByteForByte) {
  const ReportSources sources{"examples/two_species.dat", "fit.alg", ""};
  const HindcastRun hindcast = HandRun();
  EXPECT_EQ(HindcastReportText(sources, hindcast, ScoreRun(hindcast)), FileBytes(testing::TestData("checks/hand.hnd")));

  JitterRun jitter;
  jitter.settings = {4, 0.1, 12345};
  jitter.tolerance = 1e-6;
  jitter.currentObjective = -121.4891;
  jitter.freeIndex = {0, 1, 9};
  jitter.freeSteps = {0, 0.1, 0.1};
  jitter.descriptions = {"", "Intercept", "", "", "", "", "", "", "", "Omega"};
  jitter.starts = {{-120.5, RunEnd::Converged, false, 812, {-121.48916664, {0, -0.41, 0.5}}},
                   {-119.0, RunEnd::Converged, false, 955, {-118.25, {0, -0.2, 0.9}}},
                   {std::nullopt, RunEnd::Error, true, 3, {std::nullopt, {}}},
                   {-121.0, RunEnd::Limit, false, 9999, {-121.4891666, {0, -0.4101, 0.5002}}}};
  const MinimaSummary minima = GroupStarts(jitter);
  EXPECT_TRUE(LowerMinimumFound(jitter, minima));
  EXPECT_EQ(JitterReportText(sources, jitter, minima), FileBytes(testing::TestData("checks/hand.jit")));
}

}  // namespace
}  // namespace kalvex::checks
