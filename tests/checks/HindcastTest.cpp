// The hindcast of a fitted example: the model cut to its first periods is
// the model a cut data file initializes, the .hnd is the same byte for byte
// on any number of threads, and the peel count is refused outside its
// limits with a message.
#include <gtest/gtest.h>

#include <fstream>

#include "algorithm/AlgorithmCommands.h"
#include "checks/Hindcast.h"
#include "model/OskaneModel.h"
#include "support/SaveFaults.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

using testing::FileBytes;
using testing::TestData;

// A workspace on an example with its fitted algorithm file, links
// normalized and free parameters collected as every analysis has them.
std::unique_ptr<Workspace> FittedExample(int species, const std::string& name) {
  auto ws = std::make_unique<Workspace>(MakeOskaneModel());
  InitializeModel(*ws, {species, std::string(KALVEX_EXAMPLES) + "/" + name + ".dat"});
  ui::ScriptedFrontend ui;
  EXPECT_EQ(LoadAlgorithmFile(*ws, ui, TestData("checks/" + name + "_fitted.alg")).status, AlgorithmReadStatus::Read);
  NormalizeLinks(*ws);
  CollectFreeParameters(*ws);
  return ws;
}

// The first periods of the data, cut in the file: the same series and the
// same objective as the cut the hindcast makes of the loaded model.
TEST(Hindcast, CutModelIsTheModelOfACutDataFile) {
  std::unique_ptr<Workspace> ws = FittedExample(2, "two_species");
  const auto& full = dynamic_cast<const OskaneModel&>(*ws->model);
  const int periods = full.NumPeriods() - 4;
  std::ifstream in(std::string(KALVEX_EXAMPLES) + "/two_species.dat", std::ios::binary);
  std::string line, lines;
  for (int k = 0; k <= periods && std::getline(in, line); ++k) lines += line + "\n";
  const std::string cutPath = testing::TempDir() + "/cut.dat";
  ASSERT_FALSE(SaveTextFiles({{cutPath, lines}}));
  OskaneModel fromFile;
  fromFile.Initialize({2, cutPath});

  std::unique_ptr<Model> cut = full.CloneFirstPeriods(periods);
  const auto& cutModel = dynamic_cast<const OskaneModel&>(*cut);
  const model::ModelData &a = cutModel.Data(), &b = fromFile.Data();
  ASSERT_EQ(a.NumPeriods, periods);
  EXPECT_EQ(a.CatchSD, b.CatchSD);
  EXPECT_EQ(a.IndexGap, b.IndexGap);
  EXPECT_EQ(a.LnEffortStep, b.LnEffortStep);
  for (int i = 1; i <= periods; ++i) EXPECT_EQ(a.StdCatchStep(i, 2), b.StdCatchStep(i, 2)) << i;
  std::vector<double> x = ws->Alg.Values, y = ws->Alg.Values;
  EXPECT_EQ(cut->Evaluate(x, 1), fromFile.Evaluate(y, 1));
  EXPECT_THROW(full.CloneFirstPeriods(1), std::out_of_range);
}

// Three peels of the one-species example by Marquardt, pinned byte for
// byte, and the same text for one, two and three threads.
TEST(Hindcast, ReportSameOnEveryThreadCount) {
  std::unique_ptr<Workspace> ws = FittedExample(1, "one_species");
  HindcastSettings settings;
  settings.peels = 3;
  settings.method.minimizer = FitMinimizer::Marquardt;
  for (int threads : {1, 2, 3}) {
    std::optional<HindcastInputs> inputs = HindcastInputsOf(*ws);
    ASSERT_TRUE(inputs);
    inputs->settings.threads = threads;
    inputs->sources = {"examples/one_species.dat", "one_species_fitted.alg", ""};
    HindcastOutcome outcome = ComputeHindcast(*inputs, settings, [](int) { return false; });
    ASSERT_TRUE(outcome.run) << outcome.refusal;
    EXPECT_EQ(outcome.report, FileBytes(TestData("checks/one_species.hnd"))) << threads << " threads";
  }
  // A tick that stops the run leaves no result.
  std::optional<HindcastInputs> inputs = HindcastInputsOf(*ws);
  HindcastOutcome stopped = ComputeHindcast(*inputs, settings, [](int) { return true; });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_FALSE(stopped.run);
}

// Fits side by side: each task's result in its own slot, and of two faults
// the lower task's, whatever the number of threads.
TEST(Hindcast, ParallelFitsLowestFaultOnAnyThreadCount) {
  for (int threads : {1, 2, 3}) {
    std::vector<int> done(6, 0);
    const FitsRun run = RunFits(
        6, threads,
        [&](int k, const StopAsked&) {
          if (k == 2 || k == 4) throw NumericFault(k == 2 ? "Overflow" : "Division by zero");
          done[k] = k + 1;
        },
        {});
    EXPECT_EQ(run.faultTask, 2) << threads;
    EXPECT_EQ(run.fault, "Overflow") << threads;
    EXPECT_EQ(std::vector<int>(done.begin(), done.begin() + 2), (std::vector<int>{1, 2})) << threads;
  }
}

// The peel count: 0, 1 and more than the periods leave the free parameters
// are refused with a message; a forecast input with a step too.
TEST(Hindcast, RefusedSettings) {
  std::unique_ptr<Workspace> ws = FittedExample(1, "one_species");  // 40 periods, 7 free parameters
  EXPECT_EQ(HindcastSettings::MostPeels(40, 7), 31);
  struct Row {
    int peels;
    const char* refusal;  // empty: accepted
  };
  const std::string limits =
      ": each peel refits the periods before the year it forecasts, and a fit of 7 free "
      "parameters needs at least 9 periods of the 40.";
  for (const Row& row :
       {Row{0, "from 2 to 31"}, Row{1, "from 2 to 31"}, Row{2, ""}, Row{31, ""}, Row{32, "from 2 to 31"}}) {
    HindcastSettings settings;
    settings.peels = row.peels;
    std::optional<std::string> refusal = settings.Validate(40, 7);
    if (*row.refusal == 0) {
      EXPECT_FALSE(refusal) << row.peels;
      continue;
    }
    ASSERT_TRUE(refusal) << row.peels;
    EXPECT_EQ(*refusal, std::string("The number of peels must be ") + row.refusal + limits);
    HindcastOutcome outcome = ComputeHindcast(*HindcastInputsOf(*ws), settings);
    EXPECT_EQ(outcome.refusal, *refusal);
  }
  EXPECT_EQ(*HindcastSettings{}.Validate(10, 7),
            "The data hold 10 periods, too few for a hindcast: a fit of 7 free parameters needs at least 9 periods, "
            "and 2 years at least are forecast.");
  EXPECT_EQ(*HindcastSettings{}.Validate(40, 0),
            "All step sizes are zero: a hindcast refits the free parameters, and there are none.");

  ws->Alg.Steps[8] = 1;  // the forecast effort
  HindcastOutcome outcome = ComputeHindcast(*HindcastInputsOf(*ws), HindcastSettings{});
  EXPECT_EQ(outcome.refusal.rfind("Parameter 8 is a forecast input: its step must be 0", 0), 0u) << outcome.refusal;
}

}  // namespace
}  // namespace kalvex::checks
