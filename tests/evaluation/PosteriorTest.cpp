// The posterior integration on the scripted front end: the dialogue, the
// saved report and grid file byte for byte, the bivariate grid, the
// reference -ln[L] with two integrated parameters, the limits.
#include "evaluation/PosteriorIntegration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "covariance/LikelihoodConstant.h"
#include "evaluation/PosteriorGrid.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workflow/EvaluationWindows.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
constexpr const char* kTitle = kPosteriorTitle;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A correlated bivariate normal in x1, x2 (means 1 and 2), far from 0 in
// -ln[L], with any further parameters as independent unit normals.
struct Fixture {
  explicit Fixture(int parameters = 2, int free = 2)
      : ws(std::make_unique<testing::FunctionModel>(parameters, [](std::span<double> v) {
          double a = v[1] - 1, b = v[2] - 2, rest = 0;
          for (std::size_t i = 3; i < v.size(); ++i) rest += v[i] * v[i] / 2;
          return 5000 + 2 * a * a + 2 * b * b - 2 * a * b + rest;
        })) {
    InitializeModel(ws, {});
    SetDefaultAlgorithmData(ws);
    ws.Alg.Values.assign(parameters + 1, 0.0);
    ws.Alg.Steps.assign(parameters + 1, 0.0);
    ws.Alg.Values[1] = 1;
    ws.Alg.Values[2] = 2;
    for (int i = 1; i <= free; ++i) ws.Alg.Steps[i] = 0.5;
  }
  Workspace ws;
  ui::ScriptedFrontend ui;
  std::function<void()> openEditor = [] {};  // the edit ends at once
  EditorWindow editor{ui, &openEditor};
  PosteriorWindow window{ui, editor};
  EvaluationOptions options{.window = &window, .clock = {}, .spreadNodes = {}};
};

TEST(Posterior, OneIntegratedParameterGivesTheReportTheGridFileAndTheBivariatePlot) {
  Fixture f;
  const std::string dir = testing::TempDir();
  std::optional<BivariateGrid> shown;
  f.ui.bivariateViewer = [&](const BivariateGrid& grid) { shown = grid; };
  f.ui.ExpectMessage(kTitle).ExpectMessage(kTitle, Answer::Yes).ExpectInput(kEnterConstantTitle, "1");
  f.ui.ExpectInput(kTitle, "1").ExpectInput(kTitle, "5").ExpectInput(kTitle, "4");
  f.ui.ExpectMessage(kBivariateQuestionTitle, Answer::Yes).ExpectSave(dir + "/grid.grd", "Save grid values in...");
  f.ui.ExpectMessage("A friendly reminder");
  ASSERT_EQ(EvaluateByPosterior(f.ws, f.ui, f.options), EvaluationEnd::Results);
  EXPECT_EQ(f.ui.PendingPrompts(), 0u);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->MaxDensity, 1);  // the centre node is the reference point
  EXPECT_EQ(shown->XAtMax, 1);
  EXPECT_EQ(shown->YAtMax, 2);
  EXPECT_EQ(f.ws.PosteriorEvaluationActive, kOff);
  EXPECT_EQ(f.ws.Alg.Steps[1], 0.5);

  f.ui.ExpectSave(dir + "/posterior.pos", "Save Bayesian posterior values in...");
  ASSERT_TRUE(SavePosterior(f.ws, f.ui));
  EXPECT_EQ(ReadFile(dir + "/posterior.pos"), "Originally saved with the file name: " + dir + "/posterior.pos" + "\r\n\r\n" +
                ReadFile(testing::TestData("evaluation/posterior_two_free.pos")));
  EXPECT_EQ(ReadFile(dir + "/grid.grd"), ReadFile(testing::TestData("evaluation/posterior_two_free.grd")));
}

TEST(Posterior, TwoIntegratedParametersAreSummedFromTheStartingValues) {
  Fixture f(3, 3);
  PosteriorSettings settings{.parameter = 1, .pointCount = 41, .gridPointCount = 41};
  f.ws.Alg.Steps = {0, 0.1, 0.15, 0.25};
  f.ws.ObjectiveScale = 1;
  ASSERT_EQ(RunPosterior(f.ws, f.ui, settings), EvaluationEnd::Results);
  // The marginal of x1 is normal with variance 4 / (16 - 4) = 1/3 whatever the
  // -ln[L] level: no node underflows to an empty sum.
  EXPECT_NEAR(f.ws.Evaluation.Summary.ExpectedValue, 1, 1e-9);
  EXPECT_NEAR(f.ws.Evaluation.Summary.EstimatedSE, std::sqrt(1.0 / 3), 2e-3);
  EXPECT_LT(f.ws.Evaluation.Table.NegLnL[41], 10);
}

TEST(Posterior, SetupLimits) {
  Fixture f(8, 8);
  f.ws.ObjectiveScale = 1;
  EXPECT_EQ(RunPosterior(f.ws, f.ui.ExpectMessage("Problem with setup"), {1, 3, 3}), EvaluationEnd::NoResults);
  EXPECT_EQ(f.ui.LastMessage().text, "Too many free parameters - maximum is 6");
  EXPECT_EQ(f.ws.Alg.Steps[1], 0.5);

  f.ui.ExpectMessage("Too many function calls");
  EXPECT_FALSE(PosteriorCallCountAllowed(f.ui, 1001, 1001, 4));
  EXPECT_EQ(f.ui.LastMessage().text,
            "Required number of function calls exceeds the maximum allowed of 2147483647.\r\n"
            "Correct this by reducing the number of free parameters or the grid resolution");
  EXPECT_TRUE(PosteriorCallCountAllowed(f.ui, 2, 1001, 3));
}

}  // namespace
}  // namespace kalvex
