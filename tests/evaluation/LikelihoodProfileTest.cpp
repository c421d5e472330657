// The likelihood profile on the scripted front end: the dialogue, the saved
// report byte for byte, the profile with nothing else free, the quit, the
// reversal of a negative step, the step basis, the re-minimization carried
// from point to point, the values given back and a fault reported once.
#include "evaluation/LikelihoodProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "algorithm/AlgorithmCommands.h"
#include "covariance/LikelihoodConstant.h"
#include "model/OskaneModel.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "evaluation/EvaluationReport.h"
#include "ui/Names.h"
#include "workflow/EvaluationWindows.h"
#include "workflow/MarquardtWindow.h"
#include "workflow/SimplexWindow.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
constexpr const char* kTitle = kProfileTitle;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// -ln[L] of a normal with mean 1 and SD 0.5 in x1, plus (x2 - x1)^2 that the
// minimizer takes away.
struct Fixture {
  Fixture()
      : ws(std::make_unique<testing::FunctionModel>(2, [](std::span<double> v) {
          return 2 * (v[1] - 1) * (v[1] - 1) + (v[2] - v[1]) * (v[2] - v[1]);
        })) {
    InitializeModel(ws, {});
    SetDefaultAlgorithmData(ws);
    ws.Alg.Values = {0, 1, 1};
    ws.Alg.Steps = {0, 0.25, 0};
  }
  EvaluationEnd Run() { return EvaluateByLikelihoodProfile(ws, ui, options); }

  Workspace ws;
  ui::ScriptedFrontend ui;
  std::function<void()> openEditor = [] {};  // the edit ends at once
  EditorWindow editor{ui, &openEditor};
  ProfileWindow window{ui, editor};
  SimplexWindow simplexWindow{ui, {}};
  MarquardtWindow marquardtWindow{ui, {}};
  EvaluationOptions options{.window = &window, .clock = {}, .spreadNodes = {}};
};

TEST(LikelihoodProfile, OnlyTheProfiledParameterFreeGivesTheSavedReportAndKeepsIt) {
  Fixture f;
  auto* model = static_cast<testing::FunctionModel*>(f.ws.model.get());
  bool interruptOffered = false;
  f.ui.onPump = [&] { interruptOffered = interruptOffered || f.ui.visible["frmMain.mnuMLInt"]; };
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "abc").ExpectMessage(kTitle).ExpectInput(kTitle, "1").ExpectInput(kTitle, "6");
  f.ui.ExpectMessage(kTitle, Answer::Yes);
  f.ui.ExpectMessage("A friendly reminder");
  ASSERT_EQ(f.Run(), EvaluationEnd::Results);
  EXPECT_EQ(f.ui.PendingPrompts(), 0u);
  EXPECT_TRUE(interruptOffered);  // no minimizer runs, so the menu's interrupt is the only one
  EXPECT_FALSE(f.ui.visible["frmMain.mnuMLInt"]);
  EXPECT_EQ(f.ws.Alg.Steps[1], 0.25);
  EXPECT_EQ(f.ws.Alg.Values[1], 1);
  EXPECT_EQ(f.ws.ProfileEvaluationActive, kOff);
  EXPECT_EQ(f.ws.Evaluation.Table.PointCount, 7);
  EXPECT_EQ(f.ws.Evaluation.Table.NegLnL[1], 2 * 0.75 * 0.75 + 0.75 * 0.75);  // relative to the mode at x1 = 1

  const std::string path = testing::TempDir() + "/profile.mlc";
  f.ui.ExpectSave(path, "Save maximum-likelihood values in...");
  ASSERT_TRUE(SaveLikelihoodProfile(f.ws, f.ui));
  EXPECT_EQ(ReadFile(path), "Originally saved with the file name: " + path + "\r\n\r\n" +
                ReadFile(testing::TestData("evaluation/profile_one_free.mlc")));

  // The kept results are offered again: No shows them without evaluating.
  const std::size_t calls = model->callCodes.size();
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectMessage(kTitle, Answer::No);
  EXPECT_EQ(f.Run(), EvaluationEnd::Results);
  EXPECT_EQ(model->callCodes.size(), calls);
  EXPECT_EQ(f.ui.PendingPrompts(), 0u);
}

TEST(LikelihoodProfile, AQuitKeepsThePointsBeforeTheLastTwoAndANegativeStepIsTurnedRound) {
  Fixture f;
  f.ws.Alg.Steps = {0, -0.25, 0};
  f.ui.onPump = [&] {  // after point 4 (5 to go), seen at point 5
    if (f.ui.Status(4, 1) == "Minimizations remaining:  5") f.ws.InterruptML = true;
  };
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "1").ExpectInput(kTitle, "9").ExpectMessage(kTitle, Answer::Yes);
  f.ui.ExpectMessage(kProfileInterruptTitle, Answer::Yes).ExpectMessage("A friendly reminder");
  ASSERT_EQ(f.Run(), EvaluationEnd::Results);
  const EvaluationTable& t = f.ws.Evaluation.Table;
  ASSERT_EQ(t.PointCount, 3);
  // Run from 2 down to 1.5; kept ascending.
  EXPECT_EQ(t.GridValue[1], 1.5);
  EXPECT_EQ(t.GridValue[3], 2);
  EXPECT_EQ(f.ws.Evaluation.Summary.ModeIndex, 1);
  EXPECT_EQ(f.ws.Evaluation.Spacing, 0.25);
  EXPECT_EQ(f.ws.Alg.Steps[1], -0.25);  // the step as it was
  EXPECT_EQ(t.CiMode[3], 0);           // a mode at the first point leaves the column 0
}

TEST(LikelihoodProfile, TheOtherParametersAreReMinimizedAtEveryPoint) {
  Fixture f;
  f.ws.Alg.Steps = {0, 0.25, 0.1};
  f.ws.Alg.Tolerance = 1e-10;
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "1").ExpectInput(kTitle, "5").ExpectMessage(kTitle, Answer::Yes);
  f.ui.ExpectMessage("A friendly reminder");
  f.window.ShowMinimizersIn(f.simplexWindow, f.marquardtWindow);
  ASSERT_EQ(f.Run(), EvaluationEnd::Results);
  // Each point's fit shows itself in the Simplex window.
  EXPECT_EQ(std::count(f.ui.windowEvents.begin(), f.ui.windowEvents.end(), "show frmSimplex"), 5);
  const EvaluationTable& t = f.ws.Evaluation.Table;
  for (int k = 1; k <= 5; ++k) EXPECT_NEAR(t.NegLnL[k], 2 * (t.GridValue[k] - 1) * (t.GridValue[k] - 1), 1e-8);
  EXPECT_NEAR(f.ws.Evaluation.Summary.ExpectedValue, 1, 1e-12);
}

TEST(LikelihoodProfile, StepBasisFromACovarianceGrid) {
  Fixture f;
  f.ws.Alg.Steps = {0, 0.25, 0.1};
  CovarianceResults& results = f.ws.Covariance.Results;
  results.FreeIndex = {0, 1, 2};
  for (int g = 1; g <= kGridCount; ++g) results.CovarianceGrids[g] = Matrix(3, 3, 0.0);
  results.CovarianceGrids[2](1, 0) = 0.5;
  results.CovarianceGrids[2](2, 0) = 0.3;
  results.Outcome[3].abandoned = true;
  f.ws.CovarianceResultsValid = kOn;

  // An empty points answer asks again; Cancel ends the run.
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "1").ExpectInput(kTitle, "").ExpectInput(kTitle, std::nullopt);
  EXPECT_EQ(f.Run(), EvaluationEnd::NoResults);

  // "q" ends the run without touching a step.
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "1").ExpectInput(kTitle, "5").ExpectMessage(kTitle, Answer::Yes);
  f.ui.ExpectInput(kTitle, "q");
  EXPECT_EQ(f.Run(), EvaluationEnd::NoResults);
  EXPECT_EQ(f.ws.Alg.Steps[1], 0.25);

  // An abandoned grid has nothing to step by; "2" spans 8 SDs over the profile.
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "1").ExpectInput(kTitle, "5").ExpectMessage(kTitle, Answer::No);
  f.ui.ExpectInput(kTitle, "3").ExpectMessage(kTitle).ExpectInput(kTitle, "2");
  f.openEditor = [&] {
    EXPECT_EQ(f.ws.Alg.Steps[1], 0.5 * 24 / 12);
    EXPECT_EQ(f.ws.Alg.Steps[2], 0.3 * 24 / 12);
    f.ws.Alg.Steps[1] = 0;  // the user fixes it in the editor
  };
  f.ui.ExpectMessage(kTitle).ExpectMessage("A friendly reminder");
  EXPECT_EQ(f.Run(), EvaluationEnd::NoResults);
  EXPECT_EQ(f.ui.messages[f.ui.messages.size() - 2].text, "The parameter chosen has a step size of zero; please try again");
  EXPECT_EQ(f.ui.PendingPrompts(), 0u);
}

// Each Simplex point starts from the optimum the previous point left (from
// the centre fit, the points end at other minima in the fifth digit), and
// afterwards every parameter has the value it had before: the one-species
// example fitted, its Omega over 7 points.
TEST(LikelihoodProfile, EachPointStartsFromThePreviousOptimumAndTheValuesComeBack) {
  Workspace ws(MakeOskaneModel());
  ui::ScriptedFrontend ui;
  InitializeModel(ws, {1, std::string(KALVEX_EXAMPLES) + "/one_species.dat"});
  ASSERT_EQ(LoadAlgorithmFile(ws, ui, testing::TestData("evaluation/one_species_fitted.alg")).status,
            AlgorithmReadStatus::Read);
  ws.ObjectiveScale = 2;
  const std::vector<double> before = ws.Alg.Values;
  ws.ProfileEvaluationActive = kOn;
  ASSERT_EQ(RunLikelihoodProfile(ws, ui, {.parameter = 7, .pointCount = 7, .minimizer = 'S'}), EvaluationEnd::Results);
  EXPECT_EQ(ws.Alg.Values, before);
  EXPECT_EQ(ws.Alg.Steps[7], 0.05);
  EXPECT_EQ(EvaluationReportText(kMaxLikeReportTitle, ws.Evaluation.Table, ws.Evaluation.Summary),
            ReadFile(testing::TestData("evaluation/profile_carried.mlc")));
}

// A numeric fault while a point is minimized ends the profile with one box
// (none of the minimizer's own) naming the point and the vector that
// faulted; the values come back.
TEST(LikelihoodProfile, AFaultInAPointsMinimizationIsReportedOnce) {
  Workspace ws(std::make_unique<testing::FunctionModel>(2, [](std::span<double> v) {
    if (v[2] > 1.3) throw NumericFault(kOverflow);
    return 2 * (v[1] - 1) * (v[1] - 1) + (v[2] - v[1]) * (v[2] - v[1]);
  }));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  ws.Alg.Values = {0, 1, 1};
  ws.Alg.Steps = {0, 0.25, 0.1};
  ws.ObjectiveScale = 1;
  ui::ScriptedFrontend ui;
  ui.ExpectMessage(kTitle);
  ws.ProfileEvaluationActive = kOn;
  EXPECT_EQ(RunLikelihoodProfile(ws, ui, {.parameter = 1, .pointCount = 5, .minimizer = 'S'}), EvaluationEnd::Faulted);
  EXPECT_EQ(ui.PendingPrompts(), 0u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].text.starts_with("Profile point 4 of 5 (parameter # 1 = 1.2500E+00):\r\n\r\nNumeric fault: Overflow"))
      << ui.messages[0].text;
  EXPECT_EQ(ws.Alg.Values, (std::vector<double>{0, 1, 1}));
  EXPECT_EQ(ws.Alg.Steps[1], 0.25);
}

// The Oskane model counting its function calls and its derivative calls.
class CountingModel : public Model {
 public:
  ModelShape Initialize(const ModelInitOptions& options) override { return inner_->Initialize(options); }
  double Evaluate(std::span<double> values, int32_t nf) override {
    ++calls;
    return inner_->Evaluate(values, nf);
  }
  void Derivatives(std::span<const double> values, std::span<double> gradient, Matrix& second) override {
    ++derivativeCalls;
    inner_->Derivatives(values, gradient, second);
  }
  double BestObjective() const override { return inner_->BestObjective(); }
  const std::vector<double>& BestValues() const override { return inner_->BestValues(); }
  int calls = 0, derivativeCalls = 0;

 private:
  std::unique_ptr<Model> inner_ = MakeOskaneModel();
};

// Marquardt at each point of the fitted one-species example's Omega profile:
// the model's exact derivatives ("A") reach the points of the numerical ones
// in a fraction of the calls; a model without derivatives stops the profile
// at once with one box instead of reporting its unminimized points.
TEST(LikelihoodProfile, MarquardtWithExactDerivativesReachesTheNumericalPoints) {
  std::map<std::string, EvaluationTable> tables;
  std::map<std::string, int> calls;
  for (const char* mode : {"N", "A"}) {
    SCOPED_TRACE(mode);
    auto model = std::make_unique<CountingModel>();
    CountingModel& counted = *model;
    Workspace ws(std::move(model));
    ui::ScriptedFrontend ui;
    InitializeModel(ws, {1, std::string(KALVEX_EXAMPLES) + "/one_species.dat"});
    ASSERT_EQ(LoadAlgorithmFile(ws, ui, testing::TestData("evaluation/one_species_fitted.alg")).status,
              AlgorithmReadStatus::Read);
    ws.ObjectiveScale = 2;
    ws.DerivativeMode = mode;
    ws.ProfileEvaluationActive = kOn;
    counted.calls = 0;
    ASSERT_EQ(RunLikelihoodProfile(ws, ui, {.parameter = 7, .pointCount = 7, .minimizer = 'M'}),
              EvaluationEnd::Results);
    EXPECT_EQ(counted.derivativeCalls > 0, std::string(mode) == "A");
    tables[mode] = ws.Evaluation.Table;
    calls[mode] = counted.calls;
  }
  for (int k = 1; k <= 7; ++k)
    EXPECT_NEAR(tables["A"].NegLnL[k], tables["N"].NegLnL[k], 1e-6 * std::fabs(tables["N"].NegLnL[k])) << k;
  EXPECT_LT(calls["A"] * 5, calls["N"]) << calls["A"] << " against " << calls["N"];

  Fixture f;
  f.ws.Alg.Steps = {0, 0.25, 0.1};
  f.ws.ObjectiveScale = 1;
  f.ws.DerivativeMode = "A";
  f.ws.ProfileEvaluationActive = kOn;
  f.ui.ExpectMessage("Analytical derivatives missing");
  EXPECT_EQ(RunLikelihoodProfile(f.ws, f.ui, {.parameter = 1, .pointCount = 5, .minimizer = 'M'}),
            EvaluationEnd::NoResults);
  EXPECT_EQ(f.ui.PendingPrompts(), 0u);
  EXPECT_EQ(f.ui.messages.size(), 1u);
  EXPECT_EQ(f.ws.Alg.Steps[1], 0.25);
}

}  // namespace
}  // namespace kalvex
