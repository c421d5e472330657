#include "workflow/RankingWindow.h"

#include <gtest/gtest.h>

#include <fstream>

#include "ranking/RankingText.h"
#include "support/SaveFaults.h"
#include "support/ScriptedFrontend.h"
#include "support/TestModels.h"
#include "workspace/TextFile.h"

namespace kalvex::ranking {
namespace {

using ui::Answer;

// Three parameters, the objective their sum of squares, and a sample size.
class SizedModel : public testing::FunctionModel {
 public:
  SizedModel()
      : FunctionModel(3, [](std::span<double> v) {
          double s = 0;
          for (std::size_t i = 1; i < v.size(); ++i) s += v[i] * v[i];
          return s;
        }) {}
  int32_t SampleSize() const override { return sampleSize; }
  int32_t sampleSize = 20;
};

std::string Data(const std::string& name) { return testing::TestData("ranking/" + name); }

// tests/data/ranking: a.alg (objective 5.25, K 2) and b.alg (13.25, K 3)
// with their covariance files; c.alg (12, K 3) without one.
class RankingForm : public ::testing::Test {
 protected:
  RankingForm() : ws(std::make_unique<SizedModel>()), ranking(ws, ui) {
    InitializeModel(ws, {});
    EXPECT_EQ(LoadAlgorithmFile(ws, ui, Data("a.alg")).status, AlgorithmReadStatus::Read);
  }
  SizedModel& Model() { return static_cast<SizedModel&>(*ws.model); }
  void Open() {
    ui.ExpectInput("Enter constant", "0.5");
    ranking.Open({[this] { ++callerShown; }, {}, {}});
    ASSERT_EQ(ranking.Table().Count(), 1);
  }
  void Add(const std::string& name) {
    ui.ExpectOpen(Data(name));
    EXPECT_EQ(ranking.LoadAlgorithmData(), AlgorithmLoadOutcome::Loaded);
    EXPECT_FALSE(ui.IsEnabled("frmRank", "lblAverage"));
    EXPECT_EQ(ui.focus, "frmRank.cmdAICc");
  }
  std::string Save(const std::string& name) {
    const std::string path = testing::TempDir() + "/" + name;
    ui.ExpectSave(path, "Save model ranking results in...");
    EXPECT_EQ(ranking.SaveRanking(), RankingSaveOutcome::Saved);
    return testing::FileBytes(path);
  }
  std::vector<std::string> Labels() {
    std::vector<std::string> labels;
    for (int p = 1; p <= ranking.Table().Count(); ++p) labels.push_back(RankGridRow(ranking.Table(), p)[0]);
    return labels;
  }
  bool Enabled(const char* control) { return ui.IsEnabled("frmRank", control); }

  ui::ScriptedFrontend ui;
  Workspace ws;
  RankingWindow ranking;
  int callerShown = 0;
};

TEST_F(RankingForm, RankingFilesWithAveragingWithoutAndWithCHat) {
  Open();
  EXPECT_EQ(ui.captions["frmRank.frmRank"], "Model selection, ranking and averaging");
  EXPECT_EQ(ui.focus, "frmRank.cmdLoadAlg");
  EXPECT_FALSE(Enabled("cmdRank"));
  Add("b.alg");
  EXPECT_TRUE(Enabled("cmdRank"));
  EXPECT_FALSE(Enabled("cmdSaveRank"));
  ranking.Rank();
  EXPECT_TRUE(Enabled("cmdSaveRank"));
  EXPECT_TRUE(Enabled("cmdAverage"));
  ASSERT_TRUE(ranking.Average());
  EXPECT_TRUE(Enabled("lblAverage"));
  const std::string expected = testing::FileBytes(Data("ranked_aicc.mms"));
  EXPECT_EQ(Save("aicc.mms"), expected);
  // The file ends with the box's text and one more line end.
  const std::size_t average = expected.find("Parameter estimates");
  EXPECT_EQ(ui.captions["frmRank.txtAverage"], expected.substr(average, expected.size() - average - 2));

  // Notes keep the ranked order but drop the averaging and the saving.
  ui.ExpectInput("Model notes", "second fit, C-hat 2");
  ranking.DoubleClick(2, kNotesColumn);
  EXPECT_TRUE(ranking.Table().Ranked());
  EXPECT_FALSE(Enabled("cmdSaveRank"));
  EXPECT_FALSE(ranking.AveragingDone());
  ui.ExpectInput("Overdispersion correction", "2");
  ranking.ChangeCHat();
  EXPECT_EQ(ui.captions["frmRank.txtCHat"], "C-hat: 2.000");
  EXPECT_FALSE(ranking.Table().Ranked());
  ranking.Rank();
  ASSERT_TRUE(ranking.Average());
  EXPECT_EQ(Save("qaicc.mms"), testing::FileBytes(Data("ranked_qaicc.mms")));
  EXPECT_EQ(ui.PendingPrompts(), 0u);
}

TEST_F(RankingForm, CHatIsAskedAgainUntilAtLeastOneAndEmptyMeansOne) {
  Open();
  ui.ExpectInput("Overdispersion correction", "1.5");
  ranking.ChangeCHat();
  EXPECT_EQ(ranking.Table().CHat(), 1.5);
  ui.ExpectInput("Overdispersion correction", "0.5")
      .ExpectInput("Overdispersion correction", "x")
      .ExpectMessage("Overdispersion correction")
      .ExpectInput("Overdispersion correction", "");
  ranking.ChangeCHat();
  EXPECT_EQ(ranking.Table().CHat(), 1);
  EXPECT_EQ(ui.inputs.back().defaultText, "1.5");
  EXPECT_EQ(ui.captions["frmRank.txtCHat"], "C-hat: 1.000");
}

TEST_F(RankingForm, TheHundredthModelIsRefused) {
  Open();
  for (int i = 2; i <= kMaxModels; ++i) ASSERT_TRUE(ranking.CalculateModelAICc());
  ui.ExpectMessage("Model limit reached");
  EXPECT_FALSE(ranking.CalculateModelAICc());
  EXPECT_EQ(ui.LastMessage().text, "Sorry, no more than 99 models can be ranked");
  EXPECT_EQ(ranking.Table().Count(), kMaxModels);
}

TEST_F(RankingForm, DeletingAModelRenumbersTheRowsBelowIt) {
  Open();
  Add("b.alg");
  Add("c.alg");
  ranking.Rank();
  EXPECT_EQ(Labels(), (std::vector<std::string>{"   1)    1", "   2)    3", "   3)    2"}));
  EXPECT_EQ(RankGridHeaders(ranking.Table())[0], "Ranked");
  ranking.DoubleClick(1, kLabelColumn);
  EXPECT_EQ(Labels(), (std::vector<std::string>{"   1)    3", "   2)    2"}));
  EXPECT_EQ(RankGridHeaders(ranking.Table())[0], "Random");
  EXPECT_EQ(ui.focus, "frmRank.cmdAICc");
  // Back in entry order; a number is never given twice.
  ASSERT_TRUE(ranking.CalculateModelAICc());
  EXPECT_EQ(Labels(), (std::vector<std::string>{"   1)    2", "   2)    3", "   3)    4"}));
}

TEST_F(RankingForm, MissingOrShortCovarianceFilesStopTheAveraging) {
  Open();
  Add("c.alg");
  EXPECT_EQ(ranking.Table().Shown(2).CovarianceFile, "No covariance file found");
  ranking.Rank();
  EXPECT_FALSE(Enabled("cmdAverage"));
  ui.ExpectMessage("Can't average models");
  EXPECT_FALSE(ranking.Average());
  EXPECT_EQ(ui.LastMessage().text, "Sorry, the covariance file is missing for at least one ranked model");

  ui.ExpectInput("Choose an associated covariance file", "none.cov");
  ranking.DoubleClick(2, kCovarianceColumn);
  EXPECT_EQ(ui.inputs.back().defaultText, "No covariance file found");
  EXPECT_EQ(ranking.Table().Shown(2).CovarianceFile, "No such file exists");

  // A file shorter than its layout is named with the line it ends at.
  const std::string shortFile = testing::TempDir() + "/short.cov";
  std::vector<std::string> lines = SplitLines(testing::FileBytes(Data("b.cov")));
  lines.resize(23);
  TextBuilder text;
  for (const std::string& line : lines) text.Line(line);
  ASSERT_FALSE(SaveTextFile(shortFile, text.Text()));
  ui.ExpectInput("Choose an associated covariance file", shortFile);
  ranking.DoubleClick(2, kCovarianceColumn);
  ranking.Rank();
  ui.ExpectMessage("Can't average models");
  EXPECT_FALSE(ranking.Average());
  EXPECT_EQ(ui.LastMessage().text, "The covariance file " + shortFile + " ends after line 23, where its layout needs 25 lines");
  EXPECT_FALSE(ranking.AveragingDone());
  EXPECT_EQ(ui.captions["frmRank.txtAverage"], "");
}

TEST_F(RankingForm, AModelWithoutDegreesOfFreedomForItsAICcIsRefused) {
  Open();
  Model().sampleSize = 4;  // K = 3: n - K - 1 = 0
  ui.ExpectOpen(Data("b.alg")).ExpectMessage("Calculate model AICc");
  ranking.LoadAlgorithmData();
  EXPECT_EQ(ui.LastMessage().text,
            "Model b.alg estimates 3 parameters from a sample of 4: its AICc needs a sample larger than the number of "
            "parameters plus 1");
  EXPECT_EQ(ranking.Table().Count(), 1);
}

TEST_F(RankingForm, ClosingARankedTableAsksAndStaysWhenTheAskedSaveWroteNothing) {
  Open();
  Add("b.alg");
  ranking.Rank();
  ui.ExpectMessage("What about ranking results!", Answer::Yes).ExpectSave(std::nullopt);
  ranking.Finish();
  EXPECT_EQ(ui.messages.back().style, 292);
  EXPECT_EQ(callerShown, 0);
  ui.ExpectMessage("What about ranking results!", Answer::No);
  ranking.Finish();
  EXPECT_EQ(callerShown, 1);
  EXPECT_FALSE(ui.IsWindowOpen("frmRank"));
}

}  // namespace
}  // namespace kalvex::ranking
