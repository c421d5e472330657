#include <gtest/gtest.h>

#include <fstream>

#include "algorithm/AlgorithmFile.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

using Fault = AlgorithmFileFault;
using Lines = std::vector<std::string>;

// A well-formed two-parameter file.
Lines TwoParameterFile() {
  return {
      "             2  Number of parameters",
      " 1.5000000E+00   1.0000000E-01  AB  Value, step then link for A",
      "-2.0000000E+00   0.0000000E+00  ~~  Value, step then link for B",
      " 1.0000000E-05  Simplex limit (+ for ABS, - for REL)",
      "           500  Maximum # of function calls (simplex) or iterations (Marquardt)",
      "            20  Terminal output frequency",
      "             3  File output frequency",
      "       run.kvl  Name of output file",
      " 2.0000000E-01  Step size reduction fraction",
  };
}

AlgorithmData TwoParameterAlg() {
  AlgorithmData alg;
  alg.NumParameters = 2;
  alg.Values = {0, 9, 9};
  alg.Steps = {0, 9, 9};
  alg.Links = {"", "~", "~"};
  alg.Descriptions = {"", "A", "B"};
  return alg;
}

std::string ParameterLine(const std::string& value, const std::string& step, const std::string& linkColumns) {
  // Value in columns 1-14, step right-aligned in 17-30, link in 33-34.
  return value + "  " + std::string(14 - step.size(), ' ') + step + "  " + linkColumns +
         "  Value, step then link for A";
}

TEST(ParseAlgorithmLines, ReadsEveryFieldAndClearsTheFileFrequency) {
  AlgorithmData alg = TwoParameterAlg();
  ASSERT_TRUE(ParseAlgorithmLines(TwoParameterFile(), alg).ok());
  EXPECT_EQ(alg.Values, (std::vector<double>{0, 1.5, -2}));
  EXPECT_EQ(alg.Steps, (std::vector<double>{0, 0.1, 0}));
  EXPECT_EQ(alg.Links[1], "AB");
  EXPECT_EQ(alg.Links[2], "~~");
  EXPECT_EQ(alg.Descriptions[2], "B");  // never taken from the file
  EXPECT_EQ(alg.Tolerance, 1e-5);
  EXPECT_EQ(alg.MaxFunctionCalls, 500);
  EXPECT_EQ(alg.TerminalFrequency, 20);
  EXPECT_EQ(alg.FileFrequency, 0);
  EXPECT_EQ(alg.OutputFileName, "       run.kvl");  // leading blanks kept
  EXPECT_EQ(alg.ReductionFraction, 0.2);
}

TEST(ParseAlgorithmLines, LinkColumnsAreTrimmedUpperCasedAndCheckedAtBothEnds) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"AB", "AB"}, {"ab", "AB"}, {"aB", "AB"}, {" C", "C"}, {"C ", "C"},
      {"A1", "~~"}, {"1A", "~~"}, {" ~", "~~"}, {"~~", "~~"}, {"-Z", "~~"},
  };
  for (const auto& [columns, expected] : cases) {
    Lines file = TwoParameterFile();
    file[1] = ParameterLine(" 1.0000000E+00", "1.0000000E+00", columns);
    AlgorithmData alg = TwoParameterAlg();
    ASSERT_TRUE(ParseAlgorithmLines(file, alg).ok()) << columns;
    EXPECT_EQ(alg.Links[1], expected) << "columns 33-34: '" << columns << "'";
  }
}

TEST(ParseAlgorithmLines, MissingOrBlankLinkMakesTheFileInvalidButKeepsWhatWasRead) {
  for (const std::string& line : {std::string(" 1.5000000E+00   1.0000000E-01 "),  // 31 characters
                                  std::string(" 1.5000000E+00   1.0000000E-01    "),
                                  ParameterLine(" 1.5000000E+00", "1.0000000E-01", "  ")}) {
    Lines file = TwoParameterFile();
    file[1] = line;
    AlgorithmData alg = TwoParameterAlg();
    EXPECT_EQ(ParseAlgorithmLines(file, alg).fault, Fault::BadlyFormatted) << "'" << line << "'";
    EXPECT_EQ(alg.Values[1], 1.5);
    EXPECT_EQ(alg.Steps[1], 0.1);
    EXPECT_EQ(alg.Links[1], "~~");  // unread entries are unlinked, never blank
    EXPECT_EQ(alg.Values[2], 0);    // the arrays were sized afresh
  }
}

TEST(ParseAlgorithmLines, CountMismatchLeavesEverythingUntouched) {
  Lines file = TwoParameterFile();
  file[0] = "             3  Number of parameters";
  AlgorithmData alg = TwoParameterAlg();
  alg.Tolerance = 7;
  AlgorithmParseResult result = ParseAlgorithmLines(file, alg);
  EXPECT_EQ(result.fault, Fault::CountMismatch);
  EXPECT_EQ(result.fileParameterCount, 3);
  EXPECT_EQ(alg.Values, (std::vector<double>{0, 9, 9}));
  EXPECT_EQ(alg.Links[1], "~");
  EXPECT_EQ(alg.Tolerance, 7);
  EXPECT_EQ(AlgorithmFileFaultText(result, "/runs/fit.alg", 2),
            "Algorithm file  /runs/fit.alg  has 3 parameters, but your model specifies 2");
}

TEST(ParseAlgorithmLines, LinesAfterTheRecordMustBeEmpty) {
  Lines file = TwoParameterFile();
  file.insert(file.end(), {"", "", ""});
  AlgorithmData alg = TwoParameterAlg();
  EXPECT_TRUE(ParseAlgorithmLines(file, alg).ok());

  file.push_back(" ");
  alg = TwoParameterAlg();
  EXPECT_EQ(ParseAlgorithmLines(file, alg).fault, Fault::TooManyLines);
  EXPECT_EQ(alg.FileFrequency, 3);  // not cleared: the read failed
  EXPECT_EQ(alg.ReductionFraction, 0.2);
}

TEST(ParseAlgorithmLines, ShortFilesGiveTooFewLines) {
  AlgorithmData alg = TwoParameterAlg();
  EXPECT_EQ(ParseAlgorithmLines({}, alg).fault, Fault::TooFewLines);
  EXPECT_EQ(ParseAlgorithmLines({"             2  Number of parameters"}, alg).fault, Fault::TooFewLines);

  Lines file = TwoParameterFile();
  file.pop_back();
  alg = TwoParameterAlg();
  EXPECT_EQ(ParseAlgorithmLines(file, alg).fault, Fault::TooFewLines);
  EXPECT_EQ(alg.OutputFileName, "       run.kvl");  // settings read before the end are kept
  EXPECT_EQ(alg.ReductionFraction, 0.1);
}

TEST(ParseAlgorithmLines, BadFieldWithMoreFileToComeIsBadlyFormatted) {
  Lines file = TwoParameterFile();
  file[2] = ParameterLine("-2.0000000E+00", "     abc      ", "~~");
  AlgorithmData alg = TwoParameterAlg();
  alg.Tolerance = 7;
  AlgorithmParseResult result = ParseAlgorithmLines(file, alg);
  EXPECT_EQ(result.fault, Fault::BadlyFormatted);
  EXPECT_EQ(AlgorithmFileFaultText(result, "/runs/fit.alg", 2),
            "Algorithm file seems to have inappropriate, badly formatted, or missing, information - better check "
            "it!\r\nLine 3 of /runs/fit.alg cannot be read: \"" + file[2].substr(0, file[2].find_last_not_of(' ') + 1) + "\"");
  EXPECT_EQ(alg.Values, (std::vector<double>{0, 1.5, -2}));  // the value before the bad step is kept
  EXPECT_EQ(alg.Steps, (std::vector<double>{0, 0.1, 0}));
  EXPECT_EQ(alg.Links[1], "AB");
  EXPECT_EQ(alg.Tolerance, 7);

  // The same fault on the file's last line counts as reaching its end.
  file = TwoParameterFile();
  file.back() = "       x        Step size reduction fraction";
  alg = TwoParameterAlg();
  EXPECT_EQ(ParseAlgorithmLines(file, alg).fault, Fault::TooFewLines);
  file.push_back("");
  EXPECT_EQ(ParseAlgorithmLines(file, alg).fault, Fault::BadlyFormatted);
}

TEST(ParseAlgorithmLines, NumericFieldsAllowBlanksOnlyAround) {
  const std::vector<std::pair<std::string, bool>> values = {
      {"   1.5        ", true}, {"1.5", true}, {"  -3E2", true}, {"   1.5 x      ", false},
      {"   1,5        ", false}, {"              ", false}, {"   1.5.2      ", false},
  };
  for (const auto& [field, ok] : values) {
    Lines file = TwoParameterFile();
    file[3] = field + std::string(14 - field.size(), ' ') + "  Simplex limit (+ for ABS, - for REL)";
    AlgorithmData alg = TwoParameterAlg();
    EXPECT_EQ(ParseAlgorithmLines(file, alg).ok(), ok) << "'" << field << "'";
  }
}

TEST(ParseAlgorithmLines, IntegerFieldsRoundHalfToEvenAndAreRangeChecked) {
  Lines file = TwoParameterFile();
  file[0] = "           2.4  Number of parameters";
  file[4] = "           2.5  Maximum # of function calls";
  file[5] = "           3.5  Terminal output frequency";
  AlgorithmData alg = TwoParameterAlg();
  ASSERT_TRUE(ParseAlgorithmLines(file, alg).ok());
  EXPECT_EQ(alg.MaxFunctionCalls, 2);
  EXPECT_EQ(alg.TerminalFrequency, 4);

  file = TwoParameterFile();
  file[4] = "    2147483647  Maximum";
  alg = TwoParameterAlg();
  ASSERT_TRUE(ParseAlgorithmLines(file, alg).ok());
  EXPECT_EQ(alg.MaxFunctionCalls, 2147483647);

  for (auto [line, text] : {std::pair{4, "    2147483648"}, {5, "         32768"}, {6, "        -32769"},
                            {0, "      1.0E+300"}}) {
    file = TwoParameterFile();
    file[line] = std::string(text) + "  out of range";
    alg = TwoParameterAlg();
    EXPECT_EQ(ParseAlgorithmLines(file, alg).fault, Fault::BadlyFormatted) << text;
  }
}

class ReadAlgorithmFileTest : public ::testing::Test {
 protected:
  std::string WriteFile(const std::string& name, const Lines& lines, const std::string& end = "\r\n") {
    std::string path = testing::TempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) out << line << end;
    return path;
  }
  void SetUp() override {
    ws.Alg = TwoParameterAlg();
    ws.AlgorithmFileName = "/runs/fit.alg";
  }
  Workspace ws;
  ui::ScriptedFrontend ui;
};

TEST_F(ReadAlgorithmFileTest, ReadsFilesWithCarriageReturnLineEnds) {
  std::string path = WriteFile("cr.alg", TwoParameterFile(), "\r");
  AlgorithmReadResult result = ReadAlgorithmFile(ws, ui, path);
  EXPECT_EQ(result.status, AlgorithmReadStatus::Read);
  EXPECT_EQ(ws.Alg.Values[2], -2);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReadAlgorithmFileTest, EachFaultShowsItsMessageWhileTheMainMenuIsHidden) {
  Lines tooMany = TwoParameterFile();
  tooMany.push_back(" ");
  Lines bad = TwoParameterFile();
  bad[3] = "  nonsense    ";
  Lines count = TwoParameterFile();
  count[0] = "            13";
  // Blank lines after the record are harmless, but the reader stops 1000 lines past it.
  Lines endless = TwoParameterFile();
  endless.resize(endless.size() + 1001);
  const std::vector<std::pair<Lines, std::string>> cases = {
      {tooMany, "Algorithm file seems to have too many lines of information - better check it!"},
      {endless, "Algorithm file seems to have too many lines of information - better check it!"},
      {bad, "Algorithm file seems to have inappropriate, badly formatted, or missing, information - better check it!"
            "\r\nLine 4 of /runs/fit.alg cannot be read: \"  nonsense\""},
      {{"             2"}, "Algorithm file seems to have too few lines of information - better check it!"},
      {count, "Algorithm file  /runs/fit.alg  has 13 parameters, but your model specifies 2"},
  };
  for (const auto& [lines, text] : cases) {
    ui::ScriptedFrontend ui;
    ui.openWindows.insert("frmMenu");
    ui.ExpectMessage(kAlgorithmReadFailedTitle);
    AlgorithmReadResult result = ReadAlgorithmFile(ws, ui, WriteFile("bad.alg", lines));
    EXPECT_EQ(result.status, AlgorithmReadStatus::Invalid);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, text);
    EXPECT_EQ(ui.messages[0].style, 64);
    EXPECT_EQ(ui.windowEvents, (std::vector<std::string>{"hide frmMenu", "show frmMenu"}));
  }
}

TEST_F(ReadAlgorithmFileTest, ClosedMainMenuIsNotShownByTheMessage) {
  ui.ExpectMessage(kAlgorithmReadFailedTitle);
  ReadAlgorithmFile(ws, ui, WriteFile("empty.alg", {}));
  EXPECT_EQ(ui.LastMessage().text, "Algorithm file seems to have too few lines of information - better check it!");
  EXPECT_TRUE(ui.windowEvents.empty());
}

TEST_F(ReadAlgorithmFileTest, FileThatCannotBeOpenedIsLeftToTheCaller) {
  Lines wide = TwoParameterFile();
  wide[1] += std::string(5000, ' ');
  for (const std::string& path : {testing::TempDir() + "/missing.alg", WriteFile("wide.alg", wide)}) {
    AlgorithmReadResult result = ReadAlgorithmFile(ws, ui, path);
    EXPECT_EQ(result.status, AlgorithmReadStatus::OpenFailed);
    EXPECT_FALSE(result.openError.empty());
  }
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ws.Alg.Values[1], 9);
}

TEST(AlgorithmFileRoundTrip, BothWritersReadBackWithTheDocumentedChanges) {
  for (AlgorithmFileVariant variant : {AlgorithmFileVariant::MainMenu, AlgorithmFileVariant::Ranking}) {
    AlgorithmData alg;
    alg.NumParameters = 4;
    alg.Values = {0, 1.0 / 3.0, -123456789.0, 0, 6.02214076e23};
    alg.Steps = {0, 0.05, -1e-300, 0, 1};
    alg.Links = {"", "AB", "AB", "", "Z"};  // a blank link is written unlinked, not left unreadable
    alg.Descriptions = {"", "a", "b", "c", "d"};
    alg.Tolerance = -3e-6;
    alg.MaxFunctionCalls = 123456;
    alg.TerminalFrequency = -7;
    alg.FileFrequency = 25;
    alg.OutputFileName = "log.kvl";
    alg.ReductionFraction = 0.25;

    AlgorithmData back = TwoParameterAlg();
    back.NumParameters = 4;
    ASSERT_TRUE(ParseAlgorithmLines(SplitLines(AlgorithmFileText(alg, variant)), back).ok());
    EXPECT_EQ(back.Values, (std::vector<double>{0, 3.3333333e-1, -1.2345679e8, 0, 6.0221408e23}));
    EXPECT_EQ(back.Steps, (std::vector<double>{0, 0.05, -1e-300, 0, 1}));
    EXPECT_EQ(std::vector<std::string>(back.Links.begin() + 1, back.Links.end()),
              (std::vector<std::string>{"AB", "AB", "~~", "Z"}));
    EXPECT_EQ(back.Tolerance, -3e-6);
    EXPECT_EQ(back.MaxFunctionCalls, 123456);
    EXPECT_EQ(back.TerminalFrequency, -7);
    EXPECT_EQ(back.FileFrequency, 0);
    EXPECT_EQ(back.OutputFileName, "       log.kvl");
    EXPECT_EQ(back.ReductionFraction, 0.25);
  }
}

}  // namespace
}  // namespace kalvex
