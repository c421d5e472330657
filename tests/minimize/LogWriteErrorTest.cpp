// A minimization log that cannot be written ends with the "Save failed" box
// and its reason while the run goes on to its result.
#include <gtest/gtest.h>

#include <functional>

#include "minimize/Marquardt.h"
#include "minimize/MinimizeFixture.h"
#include "minimize/Simplex.h"

namespace kalvex {
namespace {

using testing::Bowl;
using testing::MakeWorkspace;
using testing::RecordingFrontend;

struct Minimizer {
  const char* name;
  const char* minimumTitle;
  std::function<MinimizeResult(Workspace&, ui::Frontend&)> run;
};

TEST(MinimizationLog, AWriteErrorEndsTheLogWithItsReasonAndTheRunGoesOn) {
  const std::vector<Minimizer> minimizers = {
      {"Simplex", "Simplex minimum", [](Workspace& ws, ui::Frontend& ui) { return RunSimplex(ws, ui); }},
      {"Marquardt", "Marquardt minimum", [](Workspace& ws, ui::Frontend& ui) { return RunMarquardt(ws, ui); }},
  };
  for (const Minimizer& minimizer : minimizers) {
    auto ws = MakeWorkspace(Bowl({1, 2}), {3, 4}, {1, 1});
    ws->DerivativeMode = "N";
    ASSERT_FALSE(ws->Log.Open("/dev/full"));
    ws->LogOpen = -1;
    ws->Alg.FileFrequency = 1;
    RecordingFrontend ui;
    ui.ExpectMessage("Save failed").ExpectMessage(minimizer.minimumTitle);
    EXPECT_EQ(minimizer.run(*ws, ui).end, RunEnd::Converged) << minimizer.name;
    EXPECT_EQ(ui.PendingPrompts(), 0u) << minimizer.name;
    EXPECT_EQ(ui.messages.at(0).text, "The minimization log could not be written to /dev/full: No space left on device")
        << minimizer.name;
    EXPECT_EQ(ui.messages.at(0).style, ui::style::kCritical);
    EXPECT_FALSE(ws->Log.IsOpen());
    EXPECT_EQ(ws->LogOpen, 0);
    EXPECT_EQ(ws->Alg.FileFrequency, 0);
  }
}

}  // namespace
}  // namespace kalvex
