#include <gtest/gtest.h>

#include <fstream>

#include "algorithm/AlgorithmCommands.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

using testing::TempDir;
using testing::TestData;
using ui::Answer;

const std::string kLoadQuestion = "Load algorithm data";
const std::string kOpenTitle = "Open algorithm data file";

std::string WriteFile(const std::string& name, const std::string& content) {
  std::string path = TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

// The three-parameter record of tests/data/three_parameters_menu.alg with
// its tolerance replaced.
std::string ThreeParameterFile(const std::string& toleranceField) {
  std::ifstream in(TestData("three_parameters_menu.alg"), std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  std::size_t line5 = 0;
  for (int i = 0; i < 4; ++i) line5 = text.find("\r\n", line5) + 2;
  return text.replace(line5, 14, toleranceField);
}

class AlgorithmCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ws.Alg.NumParameters = 3;
    ws.Alg.Values.assign(4, 0.0);
    ws.Alg.Steps.assign(4, 0.0);
    ws.Alg.Links.assign(4, kLinkPlaceholder);
    ws.Alg.Descriptions = {"", "Catchability", "Effort power", "Intervention effect"};
    ws.SimplexStateKept = true;
    ws.DataFileTitle = "harvest";
  }

  Workspace ws;
  ui::ScriptedFrontend ui;
};

TEST_F(AlgorithmCommandsTest, YesOpensAndReadsTheChosenFile) {
  std::string path = WriteFile("C:\\runs\\fit.alg", ThreeParameterFile("-5.0000000E-07"));
  ws.AlgorithmFileName = "/earlier/choice.alg";
  ui.ExpectMessage(kLoadQuestion, Answer::Yes).ExpectOpen(path, kOpenTitle);
  EXPECT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Loaded);

  const ui::ShownMessage& question = ui.messages.at(0);
  EXPECT_EQ(question.text, "Load an existing algorithm data file?\r\n\r\n     Choose NO for default values");
  EXPECT_EQ(question.style, 35);
  const ui::FileDialog& dialog = ui.dialogs.at(0);
  EXPECT_EQ(dialog.filter, "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg");
  EXPECT_EQ(dialog.filterIndex, 2);
  EXPECT_EQ(dialog.fileName, "/earlier/choice.alg");

  EXPECT_EQ(ws.AlgorithmFileName, path);
  EXPECT_EQ(ws.AlgorithmShortName, "fit");
  EXPECT_EQ(ws.Alg.Links[1], "AB");
  EXPECT_EQ(ws.Alg.FileFrequency, 0);
  EXPECT_EQ(ws.Alg.Tolerance, -1e-6);  // normalized from -5E-07
  EXPECT_FALSE(ws.SimplexStateKept);
}

TEST_F(AlgorithmCommandsTest, LoadNormalizesTheTolerance) {
  for (auto [field, expected] : {std::pair{" 5.0000000E-07", 1e-6}, {" 0.0000000E+00", 0.0}, {" 3.0000000E-06", 3e-6}}) {
    ui::ScriptedFrontend ui;
    std::string path = WriteFile("tolerance.alg", ThreeParameterFile(field));
    ui.ExpectMessage(kLoadQuestion, Answer::Yes).ExpectOpen(path);
    ASSERT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Loaded);
    EXPECT_EQ(ws.Alg.Tolerance, expected) << field;
  }
}

TEST_F(AlgorithmCommandsTest, NoAppliesTheDefaultsUnderADateTimeName) {
  ws.Alg.Values[2] = 4;
  ui.now = {2026, 3, 7, 14, 5, 0};
  ui.ExpectMessage(kLoadQuestion, Answer::No).ExpectMessage("Default Algorithm Values");
  EXPECT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Defaulted);
  EXPECT_EQ(ui.LastMessage().text,
            "                     Algorithm data set to default values.\r\n\r\n"
            "Algorithm file given the date-time based name: 03071405.alg");
  EXPECT_EQ(ui.LastMessage().style, 64);
  EXPECT_EQ(ws.AlgorithmFileName, "03071405.alg");
  EXPECT_EQ(ws.AlgorithmShortName, "03071405.alg");
  EXPECT_EQ(ws.Alg.Values[2], 0);
  EXPECT_EQ(ws.Alg.Links[3], "~~");
  EXPECT_EQ(ws.Alg.Descriptions[3], "Intervention effect");
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(AlgorithmCommandsTest, CancelInTheQuestionChangesNothing) {
  ws.AlgorithmFileName = "/kept.alg";
  ui.ExpectMessage(kLoadQuestion, Answer::Cancel);
  EXPECT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Cancelled);
  EXPECT_EQ(ws.AlgorithmFileName, "/kept.alg");
  EXPECT_TRUE(ws.SimplexStateKept);
  EXPECT_TRUE(ui.status.empty());
}

TEST_F(AlgorithmCommandsTest, CancelledOpenDialogChangesNothing) {
  ui.ExpectMessage(kLoadQuestion, Answer::Yes).ExpectOpen(std::nullopt);
  EXPECT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Cancelled);
  EXPECT_EQ(ws.AlgorithmFileName, "");
  EXPECT_TRUE(ws.SimplexStateKept);
}

TEST_F(AlgorithmCommandsTest, FileThatCannotBeOpenedGetsTheCriticalBox) {
  ui.ExpectMessage(kLoadQuestion, Answer::Yes)
      .ExpectOpen(TempDir() + "/nowhere.alg")
      .ExpectMessage("Problem Reading Algorithm File!");
  EXPECT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Failed);
  EXPECT_EQ(ui.LastMessage().text, "Be suspicious that your algorithm file is not properly formatted");
  EXPECT_EQ(ui.LastMessage().style, 16);
  EXPECT_TRUE(ui.status.empty());
}

TEST_F(AlgorithmCommandsTest, BadFileEndsAfterTheReaderMessage) {
  std::string path = WriteFile("short.alg", "             3  Number of parameters\r\n");
  ui.ExpectMessage(kLoadQuestion, Answer::Yes).ExpectOpen(path).ExpectMessage(kAlgorithmReadFailedTitle);
  EXPECT_EQ(LoadAlgorithmDataFromMenu(ws, ui), AlgorithmLoadOutcome::Failed);
  EXPECT_EQ(ui.LastMessage().text, "Algorithm file seems to have too few lines of information - better check it!");
  EXPECT_TRUE(ws.SimplexStateKept);
  EXPECT_EQ(ui.PendingPrompts(), 0u);
}

TEST_F(AlgorithmCommandsTest, MenuSaveWritesUnderTheProposedName) {
  std::string path = TempDir() + "/menu-save.alg";
  ws.AlgorithmFileName = "/proposed.alg";
  ui.ExpectSave(path, "Save algorithm data in...");
  EXPECT_EQ(SaveAlgorithmDataFromMenu(ws, ui), AlgorithmSaveOutcome::Saved);
  EXPECT_EQ(ui.dialogs.at(0).fileName, "/proposed.alg");
  EXPECT_EQ(ui.Status(1, 1), "Algorithm file: " + path);
}

TEST_F(AlgorithmCommandsTest, RankingLoadRunsTheAICcAndShowsTheShortName) {
  std::string path = WriteFile("competitor.alg", ThreeParameterFile(" 5.0000000E-07"));
  std::vector<std::string> calls;
  RankingFormHooks hooks{[&] { calls.push_back("clear"); }, [&] { calls.push_back("aicc"); }};
  ui.ExpectOpen(path, kOpenTitle);
  EXPECT_EQ(LoadAlgorithmDataFromRanking(ws, ui, hooks), AlgorithmLoadOutcome::Loaded);
  EXPECT_EQ(calls, (std::vector<std::string>{"clear", "aicc"}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ws.Alg.Tolerance, 1e-6);
  EXPECT_FALSE(ws.SimplexStateKept);
  EXPECT_EQ(ui.Status(1, 1), "Algorithm file: competitor");
}

TEST_F(AlgorithmCommandsTest, RankingLoadEndsSilentlyOnCancelOrAMissingFile) {
  int aicc = 0;
  RankingFormHooks hooks{nullptr, [&] { ++aicc; }};
  ui.ExpectOpen(std::nullopt).ExpectOpen(TempDir() + "/nowhere.alg");
  EXPECT_EQ(LoadAlgorithmDataFromRanking(ws, ui, hooks), AlgorithmLoadOutcome::Cancelled);
  EXPECT_EQ(LoadAlgorithmDataFromRanking(ws, ui, hooks), AlgorithmLoadOutcome::Failed);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(aicc, 0);
  EXPECT_TRUE(ui.status.empty());
}

TEST_F(AlgorithmCommandsTest, RankingSaveUsesTheColonLabelAndTheShortName) {
  std::string path = TempDir() + "/ranked-save.alg";
  bool cleared = false;
  ui.ExpectSave(path);
  EXPECT_EQ(SaveAlgorithmDataFromRanking(ws, ui, {[&] { cleared = true; }, nullptr}), AlgorithmSaveOutcome::Saved);
  EXPECT_TRUE(cleared);
  EXPECT_EQ(ui.Status(1, 1), "Algorithm file: ranked-save");
  std::ifstream in(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(text.find("  Value, step then link for: Catchability\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kalvex
