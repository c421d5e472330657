#include <gtest/gtest.h>

#include "priors/PriorsFixture.h"
#include "support/ScriptedFrontend.h"
#include "workflow/PriorEditor.h"
#include "workflow/PriorProfileWindow.h"
#include "workflow/PriorReviewWindow.h"
#include "workflow/PriorsLoader.h"

namespace kalvex {
namespace {

using testing::Prior;
using testing::Slurp;
using testing::TestData;
using ui::Answer;

constexpr const char* kTitle = "Evaluation of prior distributions";

class PriorsWindows : public ::testing::Test {
 protected:
  PriorsWindows() : ws(testing::PriorsWorkspace(10)), editor(ws, ui), loader(ws, ui, editor) {}
  void OpenLoader() {
    loader.Open([this] { ++callerShown; });
    EXPECT_EQ(ws.PriorsActive, kOn);
    EXPECT_TRUE(ui.IsWindowOpen("frmPriorsLoader"));
  }
  // Closing the editor with non-uniform priors: no save, then the constant.
  void ExpectClosingWithPriors() {
    ui.ExpectMessage("Just so you know")
        .ExpectMessage("Save Bayesian priors", Answer::No)
        .ExpectInput("Enter constant", "2");
  }
  // The entry the editor stores for parameter 1 from the given answers (and
  // a message box with the given title after them).
  PriorEntry Entered(char letter, std::vector<std::optional<std::string>> answers, std::string message = {}) {
    for (auto& answer : answers) ui.ExpectInput("", answer);
    if (!message.empty()) ui.ExpectMessage(message);
    editor.Enter(letter);
    EXPECT_EQ(ui.PendingPrompts(), 0u) << letter;
    return ws.Priors[1];
  }

  ui::ScriptedFrontend ui;
  Workspace ws;
  PriorEditor editor;
  PriorsLoader loader;
  int callerShown = 0;
};

TEST_F(PriorsWindows, PriorsActiveAfterEachLoaderPath) {
  OpenLoader();
  loader.Cancel();
  EXPECT_EQ(ws.PriorsActive, kOff);  // every type U
  EXPECT_EQ(callerShown, 1);
  EXPECT_FALSE(ui.IsWindowOpen("frmPriorsLoader"));

  ws.Priors[4] = Prior("N", 1, 1);
  OpenLoader();
  ui.ExpectMessage("Default prior probabilities");
  loader.SetUniform();
  EXPECT_FALSE(ws.AnyPriorSet());
  EXPECT_EQ(ws.PriorsActive, kOff);
  EXPECT_EQ(ui.Status(1, 2), "Bayesian priors file: ");
  EXPECT_EQ(callerShown, 2);

  OpenLoader();
  ui.ExpectMessage("Setting Bayesian Priors", Answer::No).ExpectMessage("Default prior probabilities");
  loader.SetOrReset();
  EXPECT_EQ(ws.PriorsActive, kOff);
  EXPECT_EQ(ui.messages[ui.messages.size() - 2].text.substr(0, 40), "You have the choice to set Bayesian prio");

  // Yes: the editor on a date-time name; closed with every type U, the priors are off.
  OpenLoader();
  ui.ExpectMessage("Setting Bayesian Priors", Answer::Yes);
  loader.SetOrReset();
  EXPECT_EQ(ws.PriorsFileName, "03071405.pri");
  EXPECT_EQ(ui.Status(1, 2), "Bayesian priors file: 03071405");
  EXPECT_TRUE(ui.IsWindowOpen("frmPriors"));
  EXPECT_EQ(ui.Status(5, 1), "Note: Unset parameters in your Bayesian Priors file have the value '*'");
  ui.ExpectMessage("Just so you know");
  editor.Finish();
  EXPECT_EQ(ws.PriorsActive, kOff);
  EXPECT_EQ(callerShown, 4);
  EXPECT_FALSE(ui.IsWindowOpen("frmPriors"));
  EXPECT_FALSE(ui.IsWindowOpen("frmPriorsLoader"));

  // A file read: the editor on its table; closed with priors set, on, and the constant asked.
  OpenLoader();
  const std::string path = testing::TestData("priors/hand_edited.pri");
  ui.ExpectOpen(path, "Load Bayesian Priors file").ExpectMessage("Bayes information");
  loader.OpenFile();
  EXPECT_EQ(ws.PriorsFileName, path);
  EXPECT_EQ(ui.LastMessage().text, "Bayesian Priors file " + path + " has been loaded");
  // The main menu, shown again as the loader closed, is hidden before the editor comes.
  EXPECT_EQ(std::vector<std::string>(ui.windowEvents.end() - 3, ui.windowEvents.end()),
            (std::vector<std::string>{"close frmPriorsLoader", "hide frmMenu", "show frmPriors"}));
  EXPECT_EQ(ui.Status(1, 2), "Bayesian priors file: hand_edited");
  EXPECT_EQ(editor.Cell(2, 1).text, "Gaussian or Normal");
  ExpectClosingWithPriors();
  editor.Closed();
  EXPECT_EQ(ws.PriorsActive, kOn);
  EXPECT_EQ(ws.ObjectiveScale, 0.5);
  EXPECT_EQ(ui.PendingPrompts(), 0u);

  // The loader closed by the user follows the rule too.
  OpenLoader();
  ws.Priors = PriorTable(11);
  loader.Closed();
  EXPECT_EQ(ws.PriorsActive, kOff);
}

TEST_F(PriorsWindows, EntriesAndTheirAcceptanceRules) {
  editor.Open([this] { ++callerShown; });
  PriorEntry e = Entered('E', {"-4"});
  EXPECT_EQ(e.TypeLetters, "E");
  EXPECT_EQ(e.FirstTerm, 4);
  EXPECT_EQ(e.SecondTerm, 4);
  EXPECT_EQ(ui.inputs.back().title, "Exponential");
  EXPECT_EQ(ui.inputs.back().prompt,
            "For the exponential distribution the instantaneous decay rate is equal to the reciprocal of both the "
            "mean and the SD\r\n\r\nChoose the mean (and thus SD) of parameter #1");
  EXPECT_EQ(editor.Cell(1, 2).text, "4.000E+000");
  EXPECT_EQ(editor.Cell(1, 4).text, "Unused");
  EXPECT_EQ(editor.Cell(1, 3).colour, PriorColour::Red);
  EXPECT_EQ(editor.Cell(1, 4).colour, PriorColour::Black);

  PriorEntry beta = Entered('B', {"0.5", "0.1"}, "Beta");
  EXPECT_EQ(ui.LastMessage().text, "The corresponding values for 'a' & 'b' of \u00DF (a,b) are: 12. & 12.");
  EXPECT_EQ(beta.TypeLetters, "B");

  EXPECT_EQ(Entered('B', {"0.5", "0.6"}, "Beta").SecondTerm, 0.1);  // nothing stored
  EXPECT_EQ(ui.LastMessage().text, "An unacceptable (< 0) value for 'a' of \u00DF (a,b) is: -0.1528");

  // The right foot below the left one is asked again, with its SD.
  PriorEntry bounded = Entered('T', {"5", "-1", "2", "0", "7", "0.5"});
  EXPECT_EQ(bounded.FirstTerm, 5);
  EXPECT_EQ(bounded.SecondTerm, 1);
  EXPECT_EQ(bounded.ThirdTerm.text, "7");
  EXPECT_EQ(bounded.FourthTerm.number, 0.5);
  EXPECT_EQ(ui.inputs[ui.inputs.size() - 2].prompt, "Choose right foot of parameter #1, it must exceed left foot.");
  EXPECT_EQ(editor.Cell(1, 5).colour, PriorColour::Red);

  // Refused silently: the Gamma SD at or above the mean (also once made positive), a zero Ln-normal mean.
  EXPECT_EQ(Entered('G', {"2", "3"}).TypeLetters, "T");
  EXPECT_EQ(Entered('G', {"-5", "-10"}).TypeLetters, "T");
  EXPECT_EQ(Entered('L', {"0", "1"}).TypeLetters, "T");
  EXPECT_EQ(Entered('N', {"3", std::nullopt}).TypeLetters, "T");  // an empty answer ends the entry

  PriorEntry normal = Entered('N', {"3", "-2"});
  EXPECT_EQ(normal.FirstTerm, 3);
  EXPECT_EQ(normal.SecondTerm, 2);
  EXPECT_EQ(Entered('U', {}).FirstTerm, kPriorUnset);
  EXPECT_EQ(editor.Cell(1, 2).text, "*");
}

TEST_F(PriorsWindows, TheClickedRowIsGreenUntilAnotherIsClicked) {
  ws.Priors[2] = Prior("T", 0, 1, PriorNumber(1), PriorNumber(1));
  editor.Open({});
  EXPECT_EQ(editor.Cell(1, 0).colour, PriorColour::Black);
  EXPECT_EQ(editor.Cell(2, 0).colour, PriorColour::Blue);
  editor.Select(2);
  EXPECT_EQ(editor.Cell(2, 5).colour, PriorColour::Green);  // all four terms of a uniform-bounded prior
  EXPECT_EQ(editor.Cell(2, 6).colour, PriorColour::Blue);
  editor.Select(1);
  EXPECT_EQ(editor.Cell(2, 5).colour, PriorColour::Blue);
  EXPECT_EQ(editor.Cell(1, 3).colour, PriorColour::Green);
  EXPECT_EQ(editor.Cell(1, 4).colour, PriorColour::Black);
  EXPECT_EQ(editor.Selected(), 1);
}

TEST(PriorProfileWindow, ThePromptsAndTheReportOfANormalPrior) {
  Workspace ws = testing::PriorsWorkspace(3);
  ws.Priors[3] = Prior("N", 5, 2);
  ui::ScriptedFrontend ui;
  ui.ExpectMessage(kTitle)
      .ExpectMessage(kTitle)
      .ExpectInput(kTitle, "1")  // uniform-unbounded: nothing to plot
      .ExpectMessage(kTitle)
      .ExpectInput(kTitle, "3")
      .ExpectInput(kTitle, "1002")  // asked again
      .ExpectInput(kTitle, "10");   // 11 points
  std::optional<PriorProfile> profile = ProfilePrior(ws, ui, 3);
  ASSERT_TRUE(profile);
  EXPECT_EQ(ui.messages[0].style, 65);
  EXPECT_EQ(ui.messages[2].text, "There is nothing to plot when the prior distribution is uniform-unbounded");
  EXPECT_EQ(ui.inputs[0].prompt, "Choose the parameter number to be profiled.\r\n(0 < parameter # <= 3)");
  EXPECT_EQ(ui.inputs[0].defaultText, "3");
  EXPECT_EQ(ui.inputs[2].defaultText, "101");
  EXPECT_EQ(profile->table.PointCount, 11);
  EXPECT_EQ(ui.Status(5, 1), "");  // the point texts are gone

  const std::string path = testing::TempDir() + "/normal.pdp";
  ui.ExpectSave(path, "Save Bayesian prior values in...");
  ASSERT_EQ(SavePriorProfile(ws, ui), path);
  EXPECT_EQ(Slurp(path), "Originally saved with the file name: " + path + "\r\n\r\n" +
                             Slurp(TestData("priors/normal_11.pdp")));
  EXPECT_EQ(ui.dialogs.back().filter, "All files (*.*)|*.*|Bayesian prior distribution files (*.pdp)|*.pdp");
}

TEST(PriorReviewWindow, ListsThePriorsThatAreNotUniformAndTheirTotal) {
  Workspace ws = testing::PriorsWorkspace(4);
  ws.Alg.Values = {0, 7, 123, -0.001, 2};
  ws.Priors[1] = Prior("N", 5, 2);
  ws.Priors[3] = Prior("S", 0, 0);  // a wall: its figures are cut to their columns
  ws.Priors[4] = Prior("E", 4, 4);
  ws.ObjectiveScale = 0.5;
  ui::ScriptedFrontend ui;
  ReviewPriors(ws, ui);
  EXPECT_TRUE(ui.IsWindowOpen("frmReviewPriors"));
  const std::string path = testing::TempDir() + "/review.rvp";
  ui.ExpectSave(path, "Save review in...");
  ASSERT_EQ(SavePriorReview(ws, ui), path);
  EXPECT_EQ(Slurp(path), "Originally saved with the file name: " + path + "\r\n\r\n" +
                             Slurp(TestData("priors/review.rvp")));
  // Saved again, the pane keeps one header: the new save's.
  const std::string again = testing::TempDir() + "/review2.rvp";
  ui.ExpectSave(again, "Save review in...");
  ASSERT_EQ(SavePriorReview(ws, ui), again);
  EXPECT_EQ(Slurp(again), "Originally saved with the file name: " + again + "\r\n\r\n" +
                              Slurp(TestData("priors/review.rvp")));

  Workspace uniform = testing::PriorsWorkspace(2);
  ReviewPriors(uniform, ui);
  std::string text = ui.PaneText("frmReviewPriors", "rtbReviewPriors");
  EXPECT_TRUE(text.ends_with(
      "\r\n\r\n           The entire model has a prior -ln[L] of     0.00 and a prior likelihood of 1.000000\r\n"))
      << text;
}

}  // namespace
}  // namespace kalvex
