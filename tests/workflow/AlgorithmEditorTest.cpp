#include "workflow/AlgorithmEditor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

using ui::Answer;

Workspace MakeWorkspace(int n) {
  auto model = std::make_unique<testing::FunctionModel>(n, [](std::span<double>) { return 0.0; });
  Workspace ws(std::move(model));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  ws.AlgorithmFileName = "fit.alg";
  return ws;
}

class EditorTest : public ::testing::Test {
 protected:
  Workspace ws = MakeWorkspace(4);
  ui::ScriptedFrontend ui;
  AlgorithmEditor editor{ws, ui};
  void SetUp() override {
    editor.Fill();
    ws.SimplexStateKept = true;
    ws.CovarianceResultsValid = kOn;
  }
  void ExpectChangeFlagsCleared() {
    EXPECT_FALSE(ws.SimplexStateKept);
    EXPECT_EQ(ws.CovarianceResultsValid, kOff);
  }
  std::string Caption(const std::string& control) { return ui.captions["frmAlgo." + control]; }
};

TEST_F(EditorTest, FillShowsGridAndSettings) {
  ws.Alg.Values[2] = 1234.5;
  ws.Alg.Links[3] = "AB";
  ws.Alg.Tolerance = -2e-5;
  ws.Alg.ReductionFraction = 0.25;
  editor.Fill();
  EXPECT_EQ(editor.Cell(1, 1).text, "0");
  EXPECT_EQ(editor.Cell(2, 1).text, "1.2345E+03");
  EXPECT_TRUE(editor.Cell(3, 3).linked);
  EXPECT_FALSE(editor.Cell(1, 3).linked);
  EXPECT_EQ(Caption("frmAlgo"), "Algorithm data file name is:  fit.alg");
  EXPECT_EQ(Caption("lblAbsRel"), "Relative tolerance for convergence (TC):");
  EXPECT_EQ(Caption("txtAbsRel"), "2.000E-05");
  EXPECT_EQ(Caption("txtMaxFunctions"), "9999");
  EXPECT_EQ(Caption("txtReduction"), "0.25");
  // No log is open: the frequency controls are disabled.
  EXPECT_EQ(Caption("txtFileFreq"), "0");
  EXPECT_FALSE(ui.IsEnabled("frmAlgo", "txtFileFreq"));
  EXPECT_TRUE(ui.IsEnabled("frmAlgo", "cmdOpenLog"));
}

TEST_F(EditorTest, ValueEditFreesAFixedParameter) {
  editor.CommitCell(1, editor::kValueColumn, "2");
  EXPECT_EQ(ws.Alg.Values[1], 2);
  EXPECT_DOUBLE_EQ(ws.Alg.Steps[1], 0.2);
  EXPECT_TRUE(editor.Cell(1, 1).changed);
  EXPECT_TRUE(editor.Cell(1, 2).changed);
  EXPECT_EQ(editor.Cell(1, 2).text, "2.0000E-01");
  ExpectChangeFlagsCleared();
}

TEST_F(EditorTest, ZeroValueGetsTheProportionAsStep) {
  editor.proportionConstant = -0.3;
  ws.Alg.Values[2] = 5;
  editor.CommitCell(2, editor::kValueColumn, "0");
  EXPECT_DOUBLE_EQ(ws.Alg.Steps[2], 0.3);
  EXPECT_TRUE(editor.Cell(2, 1).changed);
}

TEST_F(EditorTest, TinyValueChangeIsNotMarked) {
  ws.Alg.Values[1] = 1;
  ws.Alg.Steps[1] = 0.1;
  editor.Fill();
  editor.CommitCell(1, editor::kValueColumn, "1.00000000001");
  EXPECT_FALSE(editor.Cell(1, 1).changed);
  // The step follows the value exactly, so it is marked even for a tiny change.
  EXPECT_TRUE(editor.Cell(1, 2).changed);
}

TEST_F(EditorTest, EmptyOrNonNumericCellChangesNothing) {
  // Text that is not a number is refused to be typed again; an empty cell is left.
  for (const char* entry : {"", "abc", "1.5x"}) {
    const bool number = *entry == '\0';
    if (!number) ui.ExpectMessage(editor::kCaption).ExpectMessage(editor::kCaption);
    EXPECT_EQ(editor.CommitCell(1, editor::kValueColumn, entry), number) << entry;
    EXPECT_EQ(editor.CommitCell(1, editor::kStepColumn, entry), number) << entry;
  }
  EXPECT_EQ(ui.LastMessage().text, "\"1.5x\" is not a number");
  EXPECT_EQ(ws.Alg.Values[1], 0);
  EXPECT_EQ(ws.Alg.Steps[1], 0);
  EXPECT_TRUE(ws.SimplexStateKept);
  EXPECT_FALSE(editor.Cell(1, 1).changed);
}

TEST_F(EditorTest, StepEditShowsZeroAsZero) {
  ws.Alg.Steps[3] = 0.5;
  editor.Fill();
  editor.CommitCell(3, editor::kStepColumn, " 0 ");
  EXPECT_EQ(ws.Alg.Steps[3], 0);
  EXPECT_EQ(editor.Cell(3, 2).text, "0");
  EXPECT_TRUE(editor.Cell(3, 2).changed);
}

TEST_F(EditorTest, FuseEntries) {
  struct Case {
    const char* entry;
    const char* stored;
  } cases[] = {{"ab", "AB"}, {"~", "~~"}, {" ~~ ", "~~"}, {"1A", "1A"}, {"z", "Z"},
               {"A1", "X"},  {"ABC", "X"}, {"", "X"},   {"a~", "X"}};
  for (const Case& c : cases) {
    ws.Alg.Links[1] = "X";
    editor.CommitCell(1, editor::kFuseColumn, c.entry);
    EXPECT_EQ(ws.Alg.Links[1], c.stored) << "entry \"" << c.entry << "\"";
  }
}

TEST_F(EditorTest, EditInPlaceStartsFromExactText) {
  ws.Alg.Values[1] = 0.1;
  ws.Alg.Steps[1] = 1e-20;
  ws.Alg.Links[1] = "AB";
  EXPECT_EQ(editor.CellEditText(1, 1), "0.1");
  EXPECT_EQ(editor.CellEditText(1, 2), "1e-20");
  EXPECT_EQ(editor.CellEditText(1, 3), "AB");
}

TEST_F(EditorTest, AllStepsSequenceAsksAgainAndStopsOnEmpty) {
  ui.ExpectInput("Edit all step sizes", "0.5")
      .ExpectInput("Edit all step sizes", "abc")
      .ExpectMessage("Edit all step sizes")
      .ExpectInput("Edit all step sizes", "0,25")
      .ExpectInput("Edit all step sizes", std::nullopt);
  editor.EditAllSteps();
  EXPECT_EQ(ui.PendingPrompts(), 0u);
  EXPECT_EQ(ws.Alg.Steps[1], 0.5);
  EXPECT_EQ(ws.Alg.Steps[2], 0.25);
  EXPECT_EQ(ws.Alg.Steps[3], 0);
  EXPECT_EQ(ui.inputs[0].prompt, "Enter new step size for parameter #1");
  EXPECT_EQ(ui.inputs[2].prompt, "Enter new step size for parameter #2");  // asked again
  EXPECT_EQ(ui.inputs[3].defaultText, "0");
}

TEST_F(EditorTest, AllFusesSequenceRejectsBadCodes) {
  ui.ExpectInput("Edit all parameter fuse characters", "a")
      .ExpectInput("Edit all parameter fuse characters", "abc")
      .ExpectInput("Edit all parameter fuse characters", "~")
      .ExpectInput("Edit all parameter fuse characters", "a")
      .ExpectInput("Edit all parameter fuse characters", "");
  editor.EditAllFuses();
  EXPECT_EQ(ui.PendingPrompts(), 0u);
  EXPECT_EQ(ws.Alg.Links[1], "A");
  EXPECT_EQ(ws.Alg.Links[2], "A");  // "abc" and "~" were asked again
  EXPECT_EQ(ws.Alg.Links[3], "~~");
  EXPECT_EQ(ui.inputs[0].prompt,
            "Enter new alphabetical fuse character(s) (e.g., A,B,AA,AB,...) or the null character [~~, unfused] for "
            "parameter #1");
}

TEST_F(EditorTest, UnfuseAll) {
  ws.Alg.Links = {"", "A", "A", "B", "~~"};
  editor.UnfuseAll();
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(ws.Alg.Links[i], "~~");
  ExpectChangeFlagsCleared();
}

TEST_F(EditorTest, ProportionConstant) {
  ui.ExpectInput("Change proportionality constant", "x")
      .ExpectMessage("Change proportionality constant")
      .ExpectInput("Change proportionality constant", "0");
  editor.proportionConstant = 0.5;
  editor.ChangeProportion();
  EXPECT_EQ(editor.proportionConstant, 0.1);
  EXPECT_EQ(ui.inputs[0].prompt, "Enter step size as a fraction of parameter values.\r\nA proportion of 0 will default to 0.1");
  EXPECT_EQ(ui.inputs[0].defaultText, "0.5");
  ui.ExpectInput("Change proportionality constant", "0.2");
  editor.ChangeProportion();
  EXPECT_EQ(editor.proportionConstant, 0.2);
  EXPECT_EQ(ws.Alg.Steps[1], 0);  // steps are not changed by this command
}

TEST_F(EditorTest, ValueSequences) {
  ws.Alg.Steps = {0, 0, 1, 0, 1};
  ui.ExpectInput("Edit free parameter values", "3").ExpectInput("Edit free parameter values", "0");
  editor.EditValues(ValueEdit::FreeValuesAndSteps);
  EXPECT_EQ(ui.inputs[0].prompt, "Enter the new value of parameter #2");
  EXPECT_EQ(ui.inputs[1].prompt, "Enter the new value of parameter #4");
  EXPECT_EQ(ws.Alg.Values[2], 3);
  EXPECT_DOUBLE_EQ(ws.Alg.Steps[2], 0.3);
  EXPECT_DOUBLE_EQ(ws.Alg.Steps[4], 0.1);
  EXPECT_TRUE(std::find(ui.windowEvents.begin(), ui.windowEvents.end(), "close frmEditVS") != ui.windowEvents.end());

  ui.ExpectInput("Edit a parameter value", "7").ExpectInput("Edit a parameter value", std::nullopt);
  editor.EditValues(ValueEdit::ValuesOnly);
  EXPECT_EQ(ws.Alg.Values[1], 7);
  EXPECT_EQ(ws.Alg.Steps[1], 0);

  ui.ExpectInput("Edit all parameter values", "-5").ExpectInput("Edit all parameter values", "");
  editor.EditValues(ValueEdit::AllValuesAndSteps);
  EXPECT_EQ(ws.Alg.Values[1], -5);
  EXPECT_DOUBLE_EQ(ws.Alg.Steps[1], 0.5);
}

TEST_F(EditorTest, ToleranceDialog) {
  const std::string title = "Change the tolerance for convergence";
  // Switch to relative; a value under the minimum becomes the minimum with its sign.
  ui.ExpectMessage(title, Answer::Yes).ExpectInput(title, "5E-07");
  editor.ChangeTolerance();
  EXPECT_EQ(ui.messages[0].text, "Current tolerance type is ABSOLUTE.\r\n\r\nDo you want to change to RELATIVE?");
  EXPECT_EQ(ui.messages[0].style, 36);
  EXPECT_EQ(ui.inputs[0].prompt, "Current tolerance is 1.0E-06  (Minimum allowed is 1E-06)");
  EXPECT_EQ(ws.Alg.Tolerance, -1e-6);
  EXPECT_EQ(Caption("lblAbsRel"), "Relative tolerance for convergence (TC):");

  // Cancelling the value keeps the old type even after Yes.
  ui.ExpectMessage(title, Answer::Yes).ExpectInput(title, std::nullopt);
  editor.ChangeTolerance();
  EXPECT_EQ(ui.messages[1].text, "Current tolerance type is RELATIVE.\r\n\r\nDo you want to change to ABSOLUTE?");
  EXPECT_EQ(ws.Alg.Tolerance, -1e-6);

  // Relative kept; 0 gives 0, which reads as absolute.
  ui.ExpectMessage(title, Answer::No).ExpectInput(title, "0");
  editor.ChangeTolerance();
  EXPECT_EQ(ws.Alg.Tolerance, 0);
  EXPECT_EQ(Caption("lblAbsRel"), "Absolute tolerance for convergence (TC):");

  // Text that is not a number is refused and asked again, never read as its
  // leading number; a decimal comma reads as the point.
  ui.ExpectMessage(title, Answer::No).ExpectInput(title, "3e-4 please").ExpectMessage(title).ExpectInput(title, "3,0E-04");
  editor.ChangeTolerance();
  EXPECT_EQ(ws.Alg.Tolerance, 3e-4);
  EXPECT_EQ(Caption("txtAbsRel"), "3.000E-04");
}

TEST_F(EditorTest, NumericSettings) {
  ui.ExpectMessage("Change the maximum # of function calls");
  SettingCommit commit = editor.CommitSetting(EditorSetting::MaxFunctions, "-5");
  EXPECT_TRUE(commit.refocus);
  EXPECT_EQ(commit.text, "9999");
  EXPECT_EQ(ui.LastMessage().text, "Maximum number of functions must be positive");
  EXPECT_EQ(ui.LastMessage().style, 64);

  ui.ExpectMessage("Change the maximum # of function calls");
  commit = editor.CommitSetting(EditorSetting::MaxFunctions, "abc");  // refused, restored, asked again
  EXPECT_TRUE(commit.refocus);
  EXPECT_EQ(commit.text, "9999");
  EXPECT_EQ(ui.LastMessage().text, "\"abc\" is not a number");

  editor.CommitSetting(EditorSetting::MaxFunctions, "0");
  EXPECT_EQ(ws.Alg.MaxFunctionCalls, 0);
  editor.CommitSetting(EditorSetting::MaxFunctions, "1e12");  // does not fit: restored
  EXPECT_EQ(ws.Alg.MaxFunctionCalls, 0);

  commit = editor.CommitSetting(EditorSetting::TerminalFrequency, "12.5");  // nearest, halves to even
  EXPECT_EQ(ws.Alg.TerminalFrequency, 12);
  EXPECT_EQ(commit.text, "12");

  ui.ExpectMessage("Change the step size reduction fraction");
  ws.Alg.ReductionFraction = 0.12345;
  commit = editor.CommitSetting(EditorSetting::Reduction, "-0.5");
  EXPECT_EQ(commit.text, "0.1235");
  EXPECT_EQ(ui.LastMessage().text, "Fraction must be positive");

  ui.ExpectMessage("Change the terminal display frequency").ExpectMessage("Change the file write frequency");
  editor.CommitSetting(EditorSetting::TerminalFrequency, "-1");
  editor.CommitSetting(EditorSetting::FileFrequency, "-1");
  EXPECT_EQ(ui.LastMessage().text, "Frequency must be positive");
  EXPECT_EQ(ui.PendingPrompts(), 0u);
}

TEST_F(EditorTest, LogOpenAndClose) {
  std::string path = testing::TempDir() + "/editor.kvl";
  ui.ExpectSave(path, "Save minimization progress in...").ExpectMessage("Log file management");
  editor.OpenLog();
  const ui::FileDialog& dialog = ui.dialogs.back();
  EXPECT_TRUE(dialog.overwritePrompt);
  EXPECT_EQ(dialog.filter, "All files (*.*)|*.*|Kalvex log files (*.kvl)|*.kvl");
  EXPECT_EQ(dialog.fileName, "minimize.kvl");
  EXPECT_EQ(ws.LogOpen, -1);
  EXPECT_EQ(ws.Alg.FileFrequency, 10);
  EXPECT_TRUE(ws.Log.IsOpen());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(ui.LastMessage().text, "The log file " + path + " is now open for output");
  EXPECT_EQ(Caption("txtFileFreq"), "10");
  EXPECT_EQ(Caption("txtFileName"), path);
  EXPECT_TRUE(ui.IsEnabled("frmAlgo", "cmdCloseLog"));
  EXPECT_FALSE(ui.IsEnabled("frmAlgo", "cmdOpenLog"));

  ui.ExpectMessage("Log file management");
  editor.CloseLog();
  EXPECT_EQ(ui.LastMessage().text, "The old log file " + path + " is now closed for input");
  EXPECT_EQ(ws.LogOpen, 0);
  EXPECT_EQ(ws.Alg.FileFrequency, 0);
  EXPECT_FALSE(ws.Log.IsOpen());
  EXPECT_EQ(Caption("txtFileName"), "");
  EXPECT_FALSE(ui.IsEnabled("frmAlgo", "txtFileFreq"));
}

TEST_F(EditorTest, LogCancelledOrUnwritable) {
  ui.ExpectSave(std::nullopt);
  editor.OpenLog();
  EXPECT_EQ(ws.LogOpen, 0);
  EXPECT_EQ(ws.Alg.OutputFileName, "minimize.kvl");

  ui.ExpectSave(testing::TempDir() + "/no/such/folder/x.kvl").ExpectMessage("Log file management");
  editor.OpenLog();
  EXPECT_EQ(ws.LogOpen, 0);
  EXPECT_EQ(ws.Alg.FileFrequency, 0);
  EXPECT_EQ(ui.LastMessage().style, 16);
}

TEST_F(EditorTest, ClosingNormalizesAndTellsTheWindow) {
  int closed = 0;
  editor.closed = [&] { ++closed; };
  ws.Alg.Values = {0, 1, 2, 3, 4};
  ws.Alg.Steps = {0, 0.1, 0.2, 0.3, 0};
  ws.Alg.Links = {"", "A", "A", "B", "~~"};
  ui.ExpectMessage("Just so you know");
  editor.Finish();
  EXPECT_EQ(ui.LastMessage().text, "Algorithm data, if changed, have been updated");
  EXPECT_EQ(ws.Alg.Values[2], 1);
  EXPECT_EQ(ws.Alg.Steps[2], 0);
  EXPECT_EQ(ws.Alg.Links[3], "~~");
  EXPECT_EQ(ws.Free.FreeCount, 2);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(ui.windowEvents, (std::vector<std::string>{"close frmEditVS", "close frmAlgo"}));
}

}  // namespace
}  // namespace kalvex
