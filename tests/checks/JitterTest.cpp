// The jittered starts on a model with two minima: from the higher one the
// starts find both, and the lower is offered (No the default) and taken on
// Yes, by each minimizer (Marquardt with the model's exact derivatives too);
// an interrupt keeps the starts fitted before it, as a run of that many
// starts has them; analytical derivatives a model lacks refuse the run.
#include <gtest/gtest.h>

#include <cmath>

#include "checks/JitterCheck.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workflow/JitterWindow.h"
#include "workflow/MainMenu.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

using ui::Answer;

// (x^2 - 1)^2 + 0.3 x + (y - 0.5)^2: a lower minimum near x = -1.04, a higher
// one near x = 0.96, with exact derivatives; a copy keeps them, or there is
// no copy.
class TwoMinima : public testing::FunctionModel {
 public:
  explicit TwoMinima(bool clonable = true)
      : FunctionModel(2,
                      [](std::span<double> v) {
                        return (v[1] * v[1] - 1) * (v[1] * v[1] - 1) + 0.3 * v[1] + (v[2] - 0.5) * (v[2] - 0.5);
                      }),
        clonable_(clonable) {}
  void Derivatives(std::span<const double> v, std::span<double> gradient, Matrix& second) override {
    gradient[1] = 4 * v[1] * (v[1] * v[1] - 1) + 0.3;
    gradient[2] = 2 * (v[2] - 0.5);
    second(1, 1) = 12 * v[1] * v[1] - 4;
    second(2, 2) = 2;
  }
  std::unique_ptr<Model> Clone() const override { return clonable_ ? std::make_unique<TwoMinima>(*this) : nullptr; }

 private:
  bool clonable_;
};

// The higher minimum's x: 4 x (x^2 - 1) + 0.3 = 0 by Newton from 1.
double HigherMinimum() {
  double x = 1;
  for (int i = 0; i < 50; ++i) x -= (4 * x * (x * x - 1) + 0.3) / (12 * x * x - 4);
  return x;
}

std::unique_ptr<Workspace> AtTheHigherMinimum(bool clonable = true) {
  auto ws = std::make_unique<Workspace>(std::make_unique<TwoMinima>(clonable));
  InitializeModel(*ws, {});
  SetDefaultAlgorithmData(*ws);
  ws->AlgorithmFileName = "two.alg";
  ws->Alg.Values = {0, HigherMinimum(), 0.5};
  ws->Alg.Steps = {0, 0.1, 0.1};
  ws->Alg.Tolerance = 1e-9;
  ws->WorkerThreads = 2;
  NormalizeLinks(*ws);
  CollectFreeParameters(*ws);
  return ws;
}

TEST(Jitter, BothMinimaAreFoundAndTheLowerIsOffered) {
  struct Row {
    const char* minimizer;  // the answer to the minimizer question
    Answer take;
  };
  for (const Row& row : {Row{"S", Answer::No}, Row{"N", Answer::Yes}, Row{"a", Answer::Yes}}) {
    SCOPED_TRACE(row.minimizer);
    std::unique_ptr<Workspace> ws = AtTheHigherMinimum();
    ui::ScriptedFrontend ui;
    MainMenu menu(*ws, ui);
    ui.ExpectInput(kJitterTitle, "24")
        .ExpectInput(kJitterTitle, "1.5")
        .ExpectInput(kJitterTitle, "x")  // not a seed: asked again
        .ExpectInput(kJitterTitle, "2024")
        .ExpectInput(kJitterTitle, row.minimizer)
        .ExpectMessage(kJitterTitle, row.take);
    std::vector<std::optional<JitterCheck>> shown;
    std::optional<JitterCheck> check =
        menu.CheckMinimum([&](const JitterCheck* c) { shown.push_back(c ? std::optional(*c) : std::nullopt); });
    ASSERT_TRUE(check);
    EXPECT_EQ(ui.PendingPrompts(), 0u);
    EXPECT_EQ(ui.inputs[0].defaultText, "50");
    EXPECT_EQ(ui.inputs[1].defaultText, "0.1");
    EXPECT_EQ(ui.inputs[4].defaultText, "S");
    EXPECT_EQ(check->run.settings.analytical, row.minimizer == std::string("a"));
    // Every start reached one of the two (the Simplex stops a little above
    // them, by more than the tolerance at times, and then counts apart).
    int lower = 0, higher = 0;
    for (const StartOutcome& start : check->run.starts) {
      lower += std::fabs(*start.reached.objective + 0.3054284836) < 1e-8;
      higher += std::fabs(*start.reached.objective - check->run.currentObjective) < 1e-8;
    }
    EXPECT_GT(lower, 0);
    EXPECT_GT(higher, 0);
    EXPECT_EQ(lower + higher, 24) << check->report;
    EXPECT_NEAR(check->minima.minima.front().objective, -0.3054284836, 1e-9);
    ASSERT_EQ(shown.size(), 2u);  // blank as the run starts, then the table
    EXPECT_FALSE(shown[0]);
    EXPECT_EQ(shown[1]->report, check->report);
    EXPECT_EQ(ui.panes["frmJitter.rtbJitter"], check->report);
    const int best = check->minima.BestFit();
    EXPECT_EQ(ui.LastMessage().text,
              "A lower minimum was found by start " + std::to_string(best) + ": take its values?");
    EXPECT_EQ(ui.LastMessage().style, 4 + 32 + 256);
    const double x = row.take == Answer::Yes ? check->run.starts[best - 1].reached.freeValues[1] : HigherMinimum();
    EXPECT_EQ(ws->Alg.Values[1], x);
    EXPECT_EQ(ws->Free.FreeValues[1], x);
    EXPECT_TRUE(ui.IsEnabled("frmMenu", "cmdCheckMinimum"));

    // The same questions again propose these answers.
    ui.ExpectInput(kJitterTitle, std::nullopt);
    EXPECT_FALSE(menu.CheckMinimum());
    EXPECT_EQ(ui.inputs.back().defaultText, "24");
  }
}

TEST(Jitter, AnInterruptKeepsTheStartsFittedBeforeIt) {
  const JitterSettings settings{30, 1.5, 7, FitMinimizer::Marquardt};
  std::unique_ptr<Workspace> whole = AtTheHigherMinimum(false);
  Problem wholeProblem = ProblemOf(*whole);
  const JitterOutcome all = ComputeJitter(wholeProblem, settings, whole->Alg.Descriptions);
  ASSERT_EQ(all.end, JitterEnd::Completed);

  // Without a copy of the model the fits run on the calling thread, which
  // ticks after each.
  std::unique_ptr<Workspace> ws = AtTheHigherMinimum(false);
  ui::ScriptedFrontend ui;
  int pumps = 0;
  ui.onPump = [&] {
    if (++pumps == 4) ws->InterruptFits = true;
  };
  ui.ExpectMessage(kJitterTitle, Answer::Yes);
  std::optional<JitterCheck> check = workflow::RunJitterCheck(*ws, ui, settings);
  ASSERT_TRUE(check);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages[0].text, "Interrupt received.  Quit calculations?");
  const std::size_t kept = check->run.starts.size();
  EXPECT_GE(kept, 1u);
  EXPECT_LT(kept, 30u);
  for (std::size_t k = 0; k < kept; ++k) {
    EXPECT_EQ(check->run.starts[k].reached.objective, all.run.starts[k].reached.objective) << k;
    EXPECT_EQ(check->run.starts[k].calls, all.run.starts[k].calls) << k;
  }
  EXPECT_NE(check->report.find(std::to_string(kept) + " of 30 (interrupted)\r\n"), std::string::npos);

  // A model without derivatives refuses analytical ones before any fit.
  auto plain = std::make_unique<Workspace>(
      std::make_unique<testing::FunctionModel>(1, [](std::span<double> v) { return v[1] * v[1]; }));
  InitializeModel(*plain, {});
  SetDefaultAlgorithmData(*plain);
  plain->Alg.Values = {0, 1};
  plain->Alg.Steps = {0, 0.1};
  NormalizeLinks(*plain);
  CollectFreeParameters(*plain);
  Problem problem = ProblemOf(*plain);
  EXPECT_EQ(ComputeJitter(problem, {5, 0.1, 1, FitMinimizer::Marquardt, true}, {}).end, JitterEnd::NoDerivatives);
}

}  // namespace
}  // namespace kalvex::checks
