#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "algorithm/AlgorithmFile.h"
#include "support/SaveFaults.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

using testing::TempDir;
using testing::TestData;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void SizeParameters(Workspace& ws, int n) {
  ws.Alg.NumParameters = static_cast<int16_t>(n);
  SetDefaultAlgorithmData(ws);
  for (int i = 1; i <= n; ++i) ws.Alg.Descriptions[i] = "Parameter " + std::to_string(i);
}

// The record of tests/data/three_parameters_*.alg.
void FillThreeParameters(Workspace& ws) {
  SizeParameters(ws, 3);
  AlgorithmData& alg = ws.Alg;
  alg.Values = {0, 1.2345678e-3, -5, 12345.678};
  alg.Steps = {0, 0.1, 0, -2.5e-7};
  alg.Links = {"", "AB", "~~", "C"};
  alg.Descriptions = {"", "Catchability", "Effort power", "Intervention effect"};
  alg.Tolerance = -1e-6;
  alg.MaxFunctionCalls = 9999;
  alg.TerminalFrequency = 10;
  alg.FileFrequency = 5;
  alg.OutputFileName = "C:\\logs\\runs\\minimize.kvl";
  alg.ReductionFraction = 0.1;
}

TEST(AlgorithmFileText, MatchesTheExpectedFilesByteForByte) {
  Workspace ws;
  FillThreeParameters(ws);
  EXPECT_EQ(AlgorithmFileText(ws.Alg, AlgorithmFileVariant::MainMenu), Slurp(TestData("three_parameters_menu.alg")));
  EXPECT_EQ(AlgorithmFileText(ws.Alg, AlgorithmFileVariant::Ranking),
            Slurp(TestData("three_parameters_ranking.alg")));
}

TEST(AlgorithmFileText, NumbersTooWideForTheirColumnsKeepSignAndExponent) {
  Workspace ws;
  SizeParameters(ws, 2);
  AlgorithmData& alg = ws.Alg;
  alg.Values = {0, -1e100, 1e100};
  alg.Steps = {0, -1e100, 1e100};
  alg.Descriptions = {"", "First", "Second"};
  alg.Tolerance = -2.5e-123;
  alg.MaxFunctionCalls = 10000;
  alg.TerminalFrequency = 0;
  alg.OutputFileName = "abcdefghijklmn";
  EXPECT_EQ(AlgorithmFileText(alg, AlgorithmFileVariant::MainMenu), Slurp(TestData("wide_exponents.alg")));

  // Read back, the numbers are the ones written (to the digits kept).
  Workspace back;
  SizeParameters(back, 2);
  ASSERT_TRUE(ParseAlgorithmLines(SplitLines(AlgorithmFileText(alg, AlgorithmFileVariant::MainMenu)), back.Alg).ok());
  EXPECT_EQ(back.Alg.Values[1], -1e100);
  EXPECT_EQ(back.Alg.Steps[1], -1e100);
  EXPECT_EQ(back.Alg.Values[2], 1e100);
  EXPECT_EQ(back.Alg.Tolerance, -2.5e-123);
}

TEST(FitScientific, DropsOnlyTheMantissaDigitsThatDoNotFit) {
  EXPECT_EQ(FitScientific(-1e100), "-1.000000E+100");
  EXPECT_EQ(FitScientific(1e100), "1.0000000E+100");
  EXPECT_EQ(FitScientific(-1.23456789e-3), "-1.2345679E-03");
  EXPECT_EQ(FitScientific(0.0), "0.0000000E+00");
  // Rounding that carries into a third exponent digit still fits.
  EXPECT_EQ(FitScientific(-9.999999999e99), "-1.000000E+100");
}

TEST(CutOutputFileName, KeepsTheNameAfterTheLastSeparatorWithinFourteen) {
  EXPECT_EQ(CutOutputFileName("minimize.kvl"), "minimize.kvl");
  EXPECT_EQ(CutOutputFileName("abcdefghijklmn"), "abcdefghijklmn");  // 14 stays
  EXPECT_EQ(CutOutputFileName("C:\\logs\\runs\\minimize.kvl"), "minimize.kvl");
  EXPECT_EQ(CutOutputFileName("/home/user/a.kvl"), "a.kvl");
  EXPECT_EQ(CutOutputFileName("abcdefghijklmnopqrstuvwxyz"), "mnopqrstuvwxyz");
  // A separator before the last 14 characters is not looked at.
  EXPECT_EQ(CutOutputFileName("ab/cdefghijklmnopq"), "defghijklmnopq");
  // Shorter than 15 stays whole, folder included.
  EXPECT_EQ(CutOutputFileName("C:\\a\\b\\c.kvl"), "C:\\a\\b\\c.kvl");
}

TEST(SaveAlgorithmFile, WritesTheFileAndUpdatesNamesAndTheLogName) {
  Workspace ws;
  FillThreeParameters(ws);
  std::string path = TempDir() + "/C:\\runs\\fit.alg";  // a backslash is an ordinary character here
  ASSERT_FALSE(SaveAlgorithmFile(ws, path));
  EXPECT_EQ(Slurp(path), Slurp(TestData("three_parameters_menu.alg")));
  EXPECT_EQ(ws.AlgorithmFileName, path);
  EXPECT_EQ(ws.AlgorithmShortName, "fit");
  EXPECT_EQ(ws.Alg.OutputFileName, "minimize.kvl");  // the cut stays
}

TEST(SaveAlgorithmFile, RefusesNonFiniteNumbers) {
  Workspace ws;
  FillThreeParameters(ws);
  ws.Alg.Steps[2] = std::numeric_limits<double>::quiet_NaN();
  std::string path = TempDir() + "/nan.alg";
  EXPECT_TRUE(SaveAlgorithmFile(ws, path).has_value());
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(ws.AlgorithmFileName, "");
}

class WriteAlgorithmFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillThreeParameters(ws);
    ws.DataFileTitle = "harvest";
  }
  Workspace ws;
  ui::ScriptedFrontend ui;
};

TEST_F(WriteAlgorithmFileTest, DialogAndStatusOfTheMainMenuVariant) {
  ws.AlgorithmFileName = "/old/place.alg";
  std::string path = TempDir() + "/menu.alg";
  ui.ExpectSave(path, "Save algorithm data in...");
  EXPECT_EQ(WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::MainMenu), AlgorithmSaveOutcome::Saved);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  const ui::FileDialog& dialog = ui.dialogs[0];
  EXPECT_EQ(dialog.filter,
            "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|Named for data file (harvest.*)|harvest.*|");
  EXPECT_EQ(dialog.filterIndex, 3);
  EXPECT_TRUE(dialog.overwritePrompt);
  EXPECT_EQ(dialog.fileName, "/old/place.alg");
  EXPECT_EQ(ui.Status(1, 1), "Algorithm file: " + path);
  EXPECT_EQ(ws.AlgorithmShortName, "menu");
  EXPECT_EQ(Slurp(path), Slurp(TestData("three_parameters_menu.alg")));
}

TEST_F(WriteAlgorithmFileTest, RankingVariantShowsTheShortName) {
  std::string path = TempDir() + "/ranked.alg";
  ui.ExpectSave(path);
  EXPECT_EQ(WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::Ranking), AlgorithmSaveOutcome::Saved);
  EXPECT_EQ(ui.Status(1, 1), "Algorithm file: ranked");
  EXPECT_EQ(Slurp(path), Slurp(TestData("three_parameters_ranking.alg")));
}

TEST_F(WriteAlgorithmFileTest, EmptyNameProposesTheDateTimeNameAndCancelChangesNothing) {
  ui.now = {2026, 12, 1, 9, 7, 0};
  ui.ExpectSave(std::nullopt);
  EXPECT_EQ(WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::MainMenu), AlgorithmSaveOutcome::Cancelled);
  EXPECT_EQ(ui.dialogs.at(0).fileName, "12010907.alg");
  EXPECT_EQ(ws.AlgorithmFileName, "");
  EXPECT_EQ(ws.Alg.OutputFileName, "C:\\logs\\runs\\minimize.kvl");
  EXPECT_TRUE(ui.status.empty());
}

TEST_F(WriteAlgorithmFileTest, WriteErrorIsReportedAndTheOldFileStaysWhole) {
  std::string dir = TempDir() + "/blocked";
  std::filesystem::create_directories(dir);
  std::string path = dir + "/kept.alg";
  { std::ofstream(path, std::ios::binary) << "old contents\r\n"; }
  ws.AlgorithmFileName = "/before.alg";
  ui.ExpectSave(path).ExpectMessage("Save failed");
  {
    testing::FileSizeLimit fullDisk(16);
    EXPECT_EQ(WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::MainMenu), AlgorithmSaveOutcome::Failed);
  }
  EXPECT_EQ(ui.LastMessage().style, ui::style::kCritical);
  EXPECT_NE(ui.LastMessage().text.find(path), std::string::npos);
  EXPECT_EQ(Slurp(path), "old contents\r\n");
  EXPECT_EQ(ws.AlgorithmFileName, "/before.alg");
  EXPECT_TRUE(ui.status.empty());
}

}  // namespace
}  // namespace kalvex
