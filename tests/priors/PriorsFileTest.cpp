#include "priors/PriorsFile.h"

#include <gtest/gtest.h>

#include "priors/PriorsFixture.h"
#include "support/ScriptedFrontend.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

using testing::Slurp;
using testing::TestData;

TEST(PriorsFile, AHandEditedFileIsWrittenBackInTheEditorsColumns) {
  Workspace ws = testing::PriorsWorkspace(10);
  ui::ScriptedFrontend ui;
  const std::string path = TestData("priors/hand_edited.pri");
  PriorsReadOutcome read = ReadPriorsFile(ws, ui, path);
  ASSERT_EQ(read.parse.status, PriorsFileStatus::Read);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ws.PriorsActive, kOn);  // read over an all-uniform table
  EXPECT_EQ(ws.Priors[1].FirstTerm, kPriorUnset);
  EXPECT_EQ(ws.Priors[1].ThirdTerm.text, "Unused");
  EXPECT_FALSE(ws.Priors[1].ThirdTerm.number);
  EXPECT_EQ(ws.Priors[2].TypeLetters, "N");  // read as "n"
  EXPECT_EQ(ws.Priors[2].FirstTerm, -2.5);
  EXPECT_EQ(ws.Priors[10].ThirdTerm.text, "-3.5e1");
  EXPECT_EQ(ws.Priors[10].ThirdTerm.number, -35);

  const std::string text = PriorsFileText(ws.Priors, 10);
  EXPECT_EQ(text, Slurp(TestData("priors/written.pri")));
  PriorTable again;
  ASSERT_EQ(ParsePriorsLines(SplitLines(text), 10, again).status, PriorsFileStatus::Read);
  EXPECT_EQ(PriorsFileText(again, 10), text);
}

// A line too short to reach the type column and one with a blank there both
// read as a prior without a type, which writes back as itself.
TEST(PriorsFile, ABlankTypeColumnIsNoType) {
  for (const std::string line : {"o", "  1     0.000E+000"}) {
    PriorTable table;
    ASSERT_EQ(ParsePriorsLines({"1", line}, 1, table).status, PriorsFileStatus::Read);
    EXPECT_EQ(table[1].TypeLetters, "") << line;
    const std::string text = PriorsFileText(table, 1);
    PriorTable again;
    ASSERT_EQ(ParsePriorsLines(SplitLines(text), 1, again).status, PriorsFileStatus::Read);
    EXPECT_EQ(PriorsFileText(again, 1), text) << line;
  }
}

// A term past the largest double would come back as "Inf": the file is
// refused and the table stays as it was.
TEST(PriorsFile, ANumberOutOfRangeIsRefused) {
  Workspace ws = testing::PriorsWorkspace(1);
  const std::string before = PriorsFileText(ws.Priors, 1);
  const std::string path = testing::TempDir() + "/huge.pri";
  std::ofstream(path, std::ios::binary)
      << "1\r\n  1   N 1.000E+999 1.000E-001     Unused     Unused   Gaussian or Normal\r\n";
  ui::ScriptedFrontend ui;
  ui.ExpectMessage("Bayes information");
  EXPECT_FALSE(ReadPriorsFile(ws, ui, path).opened);
  EXPECT_EQ(ui.LastMessage().text,
            "Bayesian priors file " + path + " could not be read: line 2 holds a number out of range");
  EXPECT_EQ(PriorsFileText(ws.Priors, 1), before);
}

// Each type's terms are held to the ranges the editor's prompts ask for.
TEST(PriorsFile, ATermTheEditorWouldRefuseIsRefused) {
  const std::pair<const char*, const char*> kLines[] = {
      {"N 0.000E+000 0.000E+000", "(Gaussian or Normal): the SD must be greater than 0"},
      {"N 0.000E+000 abc", "(Gaussian or Normal): the second term (columns 19-29) is not a number"},
      {"E-4.000E+000-4.000E+000", "(Exponential): the mean must be greater than 0"},
      {"E 4.000E+000 2.000E+000", "(Exponential): the SD must equal the mean"},
      {"G 4.000E+000 4.000E+000", "(Gamma): the SD must be less than the mean"},
      {"G 0.000E+000-1.000E+000", "(Gamma): the mean must be greater than 0"},
      {"L 2.000E+000 0.000E+000", "(Ln-normal): the SD must be greater than 0"},
      {"B 1.500E+000 1.000E-001", "(Beta): the mean must lie between 0 and 1"},
      {"B 5.000E-001 6.000E-001", "(Beta): the SD must be less than the square root of mean x (1 - mean)"},
      {"S 1.000E+000-1.000E+000", "(Left-side cliff): the SD at the left foot must not be negative"},
      {"D 1.000E+000-1.000E+000", "(Right-side cliff): the SD at the right foot must not be negative"},
      {"T 1.000E+000 0.000E+000 1.000E+000 0.000E+000", "(Uniform - bounded): the right foot must exceed the left foot"},
      {"T 1.000E+000 0.000E+000     Unused 0.000E+000", "(Uniform - bounded): the right foot must be a number"},
      {"T 1.000E+000 0.000E+000 2.000E+000-1.000E+000",
       "(Uniform - bounded): the SD at the right foot must not be negative"},
      {"T 1.000E+000 0.000E+000 2.000E+000 0.000E+000", nullptr},
      {"B 5.000E-001 1.000E-001", nullptr},
      {"U abc", nullptr},
  };
  for (const auto& [terms, rule] : kLines) {
    PriorTable table(2);
    PriorsParseResult result = ParsePriorsLines({"1", std::string("  1   ") + terms}, 1, table);
    if (!rule) {
      EXPECT_EQ(result.status, PriorsFileStatus::Read) << terms << ": " << result.rule;
      continue;
    }
    EXPECT_EQ(result.status, PriorsFileStatus::BrokenRule) << terms;
    EXPECT_EQ(result.rule, std::string("parameter 1 ") + rule) << terms;
    EXPECT_EQ(table[1].TypeLetters, PriorEntry().TypeLetters) << terms;  // untouched
  }

  Workspace ws = testing::PriorsWorkspace(2);
  ws.Priors[1] = testing::Prior("N", 1, 1);
  const std::string before = PriorsFileText(ws.Priors, 2);
  const std::string path = testing::TempDir() + "/beta.pri";
  ASSERT_FALSE(SaveTextFile(path, "2\r\n  1   U\r\n  2   B 1.500E+000 1.000E-001     Unused     Unused\r\n"));
  ui::ScriptedFrontend ui;
  ui.ExpectMessage("Bayes information");
  EXPECT_FALSE(ReadPriorsFile(ws, ui, path).opened);
  EXPECT_EQ(ui.LastMessage().text, "Bayesian priors file " + path +
                                       " could not be read: line 3, parameter 2 (Beta): the mean must lie between 0 and 1");
  EXPECT_EQ(PriorsFileText(ws.Priors, 2), before);
}

TEST(PriorsFile, AnotherCountLoadsTheDefaultsAndAShortFileKeepsWhatItRead) {
  Workspace ws = testing::PriorsWorkspace(12);
  ws.Priors[3] = testing::Prior("N", 1, 1);
  ws.PriorsActive = kOn;
  ui::ScriptedFrontend ui;
  ui.ExpectMessage("Bayes information");
  const std::string path = TestData("priors/hand_edited.pri");
  EXPECT_EQ(ReadPriorsFile(ws, ui, path).parse.status, PriorsFileStatus::CountMismatch);
  EXPECT_EQ(ui.LastMessage().text, "Bayesian priors file  " + path +
                                       "  has 10 parameters, but your model specifies 12.\r\n"
                                       "Therefore default (uniform-unbounded) priors have been loaded instead.");
  EXPECT_EQ(ui.LastMessage().style, 80);
  EXPECT_FALSE(ws.AnyPriorSet());
  EXPECT_EQ(ws.PriorsActive, kOff);

  // Two of ten lines: they replace their entries, silently.
  const std::string shortFile = testing::TempDir() + "/short.pri";
  ASSERT_FALSE(SaveTextFile(shortFile, "10\r\n  1   S 1.000E+000 0.000E+000     Unused     Unused\r\n  2   x\r\n"));
  Workspace ten = testing::PriorsWorkspace(10);
  PriorsReadOutcome read = ReadPriorsFile(ten, ui, shortFile);
  EXPECT_EQ(read.parse.status, PriorsFileStatus::Short);
  EXPECT_EQ(read.parse.linesRead, 2);
  EXPECT_EQ(ten.Priors[1].TypeLetters, "S");
  EXPECT_EQ(ten.Priors[2].TypeLetters, "X");  // stored as read; it adds nothing
  EXPECT_EQ(ten.PriorsActive, kOn);
  EXPECT_EQ(ui.PendingPrompts(), 0u);
}

}  // namespace
}  // namespace kalvex
