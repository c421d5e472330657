#include "workflow/MainMenu.h"

#include <gtest/gtest.h>

#include "workflow/AlgorithmEditor.h"
#include "model/OskaneModel.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

using ui::Answer;

// A model that fails its initialization when asked for a file named "bad".
class MenuTestModel : public testing::FunctionModel {
 public:
  MenuTestModel()
      : FunctionModel(3, [](std::span<double> v) {
          double s = 0;
          for (std::size_t i = 1; i < v.size(); ++i) s += v[i] * v[i];
          return s;
        }) {}
  ModelShape Initialize(const ModelInitOptions& options) override {
    if (options.dataFileName == "bad") throw InitializationError("Problem with the data file", "Cannot read bad");
    initializedWith = options;
    return FunctionModel::Initialize(options);
  }
  ModelInitOptions initializedWith;
};

class MainMenuTest : public ::testing::Test {
 protected:
  MainMenuTest() : ws(std::make_unique<MenuTestModel>()), menu(ws, ui) {
    menu.Actions().loadAlgorithm = [this] {
      ++loads;
      if (loadOutcome == LoadOutcome::Loaded) {
        SetDefaultAlgorithmData(ws);
        ws.AlgorithmFileName = "03071405.alg";
      }
      return loadOutcome;
    };
    menu.Actions().saveAlgorithm = [this] {
      ++saves;
      return saveSucceeds;
    };
    menu.Actions().notAvailable = [this](std::string_view caption) { unavailable.emplace_back(caption); };
  }

  MenuTestModel& Model() { return static_cast<MenuTestModel&>(*ws.model); }
  bool Enabled(MenuCommand command) { return ui.IsEnabled("frmMenu", ControlName(command)); }
  std::vector<MenuCommand> EnabledCommands() {
    std::vector<MenuCommand> result;
    for (MenuCommand command : kWorkflowCommands)
      if (Enabled(command)) result.push_back(command);
    return result;
  }
  void Initialized() {
    ui.ExpectOpen("two.dat");
    menu.ShowMenu();
    menu.Initialize();
    menu.SelectDataFile();
    ASSERT_TRUE(menu.FinishInitialization("2", "two.dat"));
  }
  void Ready() {
    Initialized();
    menu.LoadAlgorithm();
  }

  ui::ScriptedFrontend ui;
  Workspace ws;
  MainMenu menu;
  LoadOutcome loadOutcome = LoadOutcome::Loaded;
  bool saveSucceeds = true;
  int loads = 0, saves = 0;
  std::vector<std::string> unavailable;
};

TEST_F(MainMenuTest, EnablingRulesFollowTheOrderOfWork) {
  menu.ShowMenu();
  EXPECT_EQ(EnabledCommands(), std::vector<MenuCommand>{MenuCommand::Initialize});
  menu.CloseMenu();
  ws.InitializeAlready = true;
  menu.ShowMenu();
  EXPECT_EQ(EnabledCommands(), (std::vector<MenuCommand>{MenuCommand::Initialize, MenuCommand::LoadAlg}));
  menu.CloseMenu();
  ws.AlgorithmFileName = "fit.alg";
  menu.ShowMenu();
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount});
  EXPECT_EQ(ui.captions["frmMenu.cmdUserSummary"], "Res&ults Summary");
  // However the menu comes back, the rules hold.
  menu.SetEnabled(MenuCommand::Initialize, false);
  menu.HideMenu();
  menu.ShowMenu();
  EXPECT_TRUE(Enabled(MenuCommand::Initialize));
}

TEST_F(MainMenuTest, InitializationSetsTheWorkspaceUp) {
  Initialized();
  EXPECT_EQ(Model().initializedWith.numSpecies, 2);
  EXPECT_EQ(Model().initializedWith.dataFileName, "two.dat");
  EXPECT_EQ(ui.dialogs[0].title, "Load the input data file");
  EXPECT_EQ(ui.dialogs[0].filter, "All Files (*.*)|*.*|Data Files (*.dat)|*.dat");
  EXPECT_EQ(ui.dialogs[0].filterIndex, 2);
  EXPECT_EQ(ui.captions["frmMain.frmMain"], "Oskane model");
  EXPECT_EQ(ui.captions["frmInitialize.txtDataFile"], "two.dat");
  EXPECT_TRUE(ws.InitializeAlready);
  EXPECT_EQ(ws.Alg.Links[1], "~");
  EXPECT_EQ(ui.Status(0, 1), "two.dat");
  EXPECT_EQ(ui.Status(1, 2), "Bayesian priors file: ");
  EXPECT_EQ(ui.focus, "frmMenu.cmdLoadAlg");
  EXPECT_FALSE(ui.IsWindowOpen("frmInitialize"));
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
  EXPECT_EQ(EnabledCommands(), (std::vector<MenuCommand>{MenuCommand::Initialize, MenuCommand::LoadAlg}));
}

TEST_F(MainMenuTest, InitializationFailuresLeaveTheFormOpen) {
  menu.ShowMenu();
  menu.Initialize();
  ui.ExpectMessage("Missing input");
  EXPECT_FALSE(menu.FinishInitialization("1", ""));
  EXPECT_EQ(ui.LastMessage().text, "Please choose a data file");
  EXPECT_EQ(ui.LastMessage().style, 64);

  ui.ExpectMessage("Problem with the data file");
  EXPECT_FALSE(menu.FinishInitialization("1", "bad"));
  EXPECT_EQ(ui.LastMessage().text, "Cannot read bad");
  EXPECT_FALSE(ws.InitializeAlready);
  EXPECT_TRUE(ui.IsWindowOpen("frmInitialize"));

  ui.ExpectOpen(std::nullopt);
  EXPECT_FALSE(menu.SelectDataFile());
  EXPECT_EQ(ui.captions["frmInitialize.txtDataFile"], "");
}

TEST_F(MainMenuTest, InitializeQuestionWhenAlgorithmDataExist) {
  Ready();
  ws.Alg.Values[1] = 4;
  // Cancel keeps the algorithm data and the buttons.
  ui.ExpectMessage("Initialize", Answer::Cancel);
  menu.Initialize();
  EXPECT_EQ(ui.LastMessage().text,
            "Algorithm data will be lost during this initialization.\r\n\r\n  Do you need to save current algorithm data?");
  EXPECT_EQ(ui.LastMessage().style, 51);
  EXPECT_EQ(ws.AlgorithmFileName, "03071405.alg");
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount});
  EXPECT_FALSE(ui.IsWindowOpen("frmInitialize"));

  // Yes with a save that wrote nothing stops too: the data are not thrown away.
  saveSucceeds = false;
  ui.ExpectMessage("Initialize", Answer::Yes);
  menu.Initialize();
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(ws.AlgorithmFileName, "03071405.alg");
  EXPECT_FALSE(ui.IsWindowOpen("frmInitialize"));

  // No: the name goes and the form opens with the menu closed.
  ui.ExpectMessage("Initialize", Answer::No);
  menu.Initialize();
  EXPECT_EQ(ws.AlgorithmFileName, "");
  EXPECT_TRUE(ui.IsWindowOpen("frmInitialize"));
  EXPECT_FALSE(menu.MenuLoaded());

  menu.CancelInitialization();
  EXPECT_EQ(EnabledCommands(), (std::vector<MenuCommand>{MenuCommand::Initialize, MenuCommand::LoadAlg}));
  EXPECT_EQ(ws.Alg.Values[1], 4);
}

TEST_F(MainMenuTest, LoadOutcomes) {
  Initialized();
  loadOutcome = LoadOutcome::Cancelled;
  menu.LoadAlgorithm();
  EXPECT_EQ(EnabledCommands(), (std::vector<MenuCommand>{MenuCommand::Initialize, MenuCommand::LoadAlg}));
  EXPECT_EQ(ui.captions.count("frmMenu.cmdUserSummary"), 0u);

  loadOutcome = LoadOutcome::Failed;
  menu.SetEnabled(MenuCommand::Initialize, false);
  menu.LoadAlgorithm();
  EXPECT_EQ(EnabledCommands(), (std::vector<MenuCommand>{MenuCommand::Initialize, MenuCommand::LoadAlg}));

  loadOutcome = LoadOutcome::Loaded;
  ws.SimplexStateKept = true;
  menu.LoadAlgorithm();
  EXPECT_FALSE(ws.SimplexStateKept);
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount});
  EXPECT_EQ(ui.Status(1, 1), "Algorithm file: 03071405.alg");
  EXPECT_EQ(ui.captions["frmMenu.cmdUserSummary"], "Res&ults Summary");
  EXPECT_EQ(ui.tooltips["frmMenu.cmdUserSummary"], kResultsToolTipLoaded);
  EXPECT_EQ(ui.focus, "frmMenu.cmdEditAlg");
}

TEST_F(MainMenuTest, EditKeepsInitializeAndLoadDisabledWhileTheEditorIsOpen) {
  Ready();
  ui.ShowWindow("frmOneFunction");
  menu.EditAlgorithm();
  EXPECT_TRUE(menu.Editor().OpenFromMenu());
  EXPECT_FALSE(ui.IsWindowOpen("frmOneFunction"));
  EXPECT_TRUE(ui.IsWindowOpen("frmAlgo"));
  EXPECT_FALSE(ui.IsWindowOpen("frmMenu"));  // hidden
  EXPECT_FALSE(Enabled(MenuCommand::Initialize));
  EXPECT_FALSE(Enabled(MenuCommand::LoadAlg));
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount} - 2);
  menu.ShowMenu();  // called up while the editor is open
  EXPECT_FALSE(Enabled(MenuCommand::Initialize));
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount} - 2);
  ui.ExpectMessage("Just so you know");
  AlgorithmEditor editor(ws, ui);
  editor.closed = [this] { menu.Editor().Closed(); };
  editor.Finish();  // the menu comes back by itself
  EXPECT_TRUE(menu.Editor().HasClosed());
  EXPECT_FALSE(menu.Editor().OpenFromMenu());
  EXPECT_EQ(ui.windowEvents.back(), "close frmAlgo");
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
  menu.ShowMenu();
  EXPECT_TRUE(Enabled(MenuCommand::Initialize));
}

TEST_F(MainMenuTest, SaveDisablesThenEnablesEverything) {
  Ready();
  std::vector<bool> duringSave;
  menu.Actions().saveAlgorithm = [&] {
    duringSave.push_back(Enabled(MenuCommand::EditAlg));
    return true;
  };
  EXPECT_TRUE(menu.SaveAlgorithm());
  EXPECT_EQ(duringSave, std::vector<bool>{false});
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount});
}

TEST_F(MainMenuTest, MinimizingWithoutFreeParameters) {
  Ready();
  ui.ExpectMessage("There is nothing to do!");
  EXPECT_EQ(menu.Simplex().end, RunEnd::NothingToDo);
  EXPECT_EQ(ui.LastMessage().text, "All step sizes are zero");
  EXPECT_EQ(ui.LastMessage().style, 48);
  EXPECT_FALSE(ui.IsWindowOpen("frmSimplex"));
  EXPECT_FALSE(menu.SimplexWindowControl().CommandRunning());
  EXPECT_TRUE(ui.IsEnabled("frmMain", "mnuApplication"));
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount});

  ws.Alg.Steps[2] = 0.5;
  ws.Alg.Values[2] = 2;
  ws.CovarianceResultsValid = kOn;
  bool applicationDuringRun = true;
  bool runningDuringRun = false;
  ui.onPump = [&] {
    applicationDuringRun = applicationDuringRun && ui.IsEnabled("frmMain", "mnuApplication");
    runningDuringRun = menu.SimplexWindowControl().CommandRunning();
  };
  ui.ExpectMessage("Simplex minimum");
  EXPECT_EQ(menu.Simplex().end, RunEnd::Converged);
  EXPECT_FALSE(applicationDuringRun);
  EXPECT_TRUE(runningDuringRun);
  EXPECT_FALSE(menu.SimplexWindowControl().CommandRunning());
  EXPECT_EQ(ws.CovarianceResultsValid, kOff);
  EXPECT_EQ(ws.Free.FreeCount, 1);
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
}

TEST_F(MainMenuTest, MarquardtRestoresTheTerminalFrequency) {
  Ready();
  ws.Alg.Steps[1] = 1;
  ws.Alg.Values[1] = 3;
  ws.SimplexStateKept = true;
  ui.onPump = [&] { ws.Alg.TerminalFrequency = 1; };
  ui.ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimum");
  EXPECT_EQ(menu.Marquardt().end, RunEnd::Converged);
  EXPECT_EQ(ws.Alg.TerminalFrequency, 10);
  EXPECT_FALSE(ws.SimplexStateKept);
  EXPECT_FALSE(menu.MarquardtWindowControl().CommandRunning());

  // Cancelling the derivative choice ends with the menu shown again.
  ui.onPump = nullptr;
  ui.ExpectMessage("Marquardt minimization", Answer::Cancel);
  EXPECT_EQ(menu.Marquardt().end, RunEnd::Cancelled);
  EXPECT_FALSE(ui.IsWindowOpen("frmMarquardt"));
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
}

TEST_F(MainMenuTest, TheEvaluationChooserOpensInTheMenusPlace) {
  Ready();
  menu.Evaluate();
  EXPECT_TRUE(ui.IsWindowOpen("frmParEvals"));
  EXPECT_FALSE(ui.IsWindowOpen("frmMenu"));
  EXPECT_TRUE(ui.IsEnabled("frmMain", "mnuApplication"));
  menu.CancelEvaluation();
  EXPECT_FALSE(ui.IsWindowOpen("frmParEvals"));
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));
  EXPECT_TRUE(unavailable.empty());
  EXPECT_EQ(EnabledCommands().size(), std::size_t{kWorkflowCommandCount});  // nothing was disabled
}

// Results become valid only from a run that produced them; valid results
// are offered for viewing first. The "&Application" menu is off during the
// run, and the "Covariance data" window stands in for the main menu after it.
TEST_F(MainMenuTest, CovarianceResultsAreValidOnlyAfterARun) {
  Ready();
  ws.Alg.Steps[2] = 0.5;
  menu.Actions().openEditor = [] {};
  ui.ExpectMessage("Covariance calculator", Answer::Cancel);
  menu.Covariance();
  EXPECT_EQ(ws.CovarianceResultsValid, kOff);
  EXPECT_TRUE(ui.IsWindowOpen("frmMenu"));

  bool applicationDuringRun = true;
  ui.onPump = [&] { applicationDuringRun = applicationDuringRun && ui.IsEnabled("frmMain", "mnuApplication"); };
  ui.ExpectMessage("Covariance calculator", Answer::No)
      .ExpectMessage("Covariance calculator")
      .ExpectInput("Covariance calculator", "1")
      .ExpectInput("Covariance calculator", "0.1")
      .ExpectInput("Covariance calculator", "0.01")
      .ExpectMessage("Covariance calculator", Answer::Yes)
      .ExpectInput("Enter constant", "1")
      .ExpectMessage("Calculate optimistic SEs only?", Answer::No);
  menu.Covariance();
  EXPECT_FALSE(applicationDuringRun);
  EXPECT_EQ(ws.CovarianceResultsValid, kOn);
  EXPECT_TRUE(ui.IsEnabled("frmMain", "mnuApplication"));
  EXPECT_FALSE(ui.IsWindowOpen("frmMenu"));
  EXPECT_TRUE(ui.IsWindowOpen("frmCovData"));

  ui.onPump = nullptr;
  ui.ExpectMessage("Covariance", Answer::Yes);
  menu.Covariance();
  EXPECT_EQ(ui.LastMessage().text, "View the last set of calculated covariance results?");
  EXPECT_EQ(ui.captions["frmCovData.lblCovData"], "Do you wish to:");
}

TEST_F(MainMenuTest, ResultsSummaryEvaluatesOnlyWhenAValueIsSet) {
  Ready();
  Model().callCodes.clear();
  menu.ResultsSummary();
  EXPECT_TRUE(Model().callCodes.empty());
  EXPECT_TRUE(ui.IsEnabled("frmMain", "mnuApplication"));

  ws.Alg.Values[2] = 3;
  menu.ResultsSummary();
  EXPECT_EQ(Model().callCodes, std::vector<int32_t>{1});
  EXPECT_EQ(Model().BestObjective(), 9);
  EXPECT_EQ(ui.Status(5, 1), "");
  EXPECT_NE(std::find(ui.statusHistory.begin(), ui.statusHistory.end(),
                      "One moment please while one function call is executed..."),
            ui.statusHistory.end());
}

TEST_F(MainMenuTest, OneFunctionCallShowsTheReport) {
  Ready();
  ws.Alg.Values = {0, 1, 2, 3};
  ws.Alg.Steps = {0, 1, 1, 1};
  ws.Alg.Links = {"", "A", "A", "~~"};
  menu.OneFunctionCall();
  EXPECT_EQ(ws.Alg.Values[2], 1);  // the links were normalized first
  EXPECT_EQ(ws.Free.FreeCount, 2);
  std::string pane = ui.PaneText("frmOneFunction", "rtbOneFunction");
  EXPECT_NE(pane.find("Current minimum of 11. found at"), std::string::npos) << pane;
  EXPECT_TRUE(ui.IsEnabled("frmMain", "mnuApplication"));
  EXPECT_FALSE(menu.MenuLoaded());
}

TEST_F(MainMenuTest, QuitSequence) {
  Ready();
  ui.ExpectMessage("Exit Kalvex", Answer::No);
  EXPECT_FALSE(menu.Quit());
  EXPECT_EQ(ui.LastMessage().style, 292);
  EXPECT_EQ(ui.LastMessage().text, "Do you want to quit Kalvex?");

  // Every prior type is U: no priors question.
  ui.ExpectMessage("Exit Kalvex", Answer::Yes).ExpectMessage("What about algorithm data?", Answer::Yes);
  EXPECT_TRUE(menu.Quit());
  EXPECT_EQ(ui.PendingPrompts(), 0u);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(ui.Status(1, 2), "Bayesian priors file: ");

  // The main-menu writer saves the priors and names the whole path.
  ws.Priors[2].TypeLetters = "N";
  ws.Log.Open(testing::TempDir() + "/quit.kvl");
  ws.LogOpen = -1;
  const std::string priors = testing::TempDir() + "/quit.pri";
  ui.ExpectMessage("Exit Kalvex", Answer::Yes)
      .ExpectMessage("What about algorithm data?", Answer::No)
      .ExpectMessage("What about Bayesian priors?", Answer::Yes)
      .ExpectSave(priors, "Save Bayesian priors file in...");
  EXPECT_TRUE(menu.Quit());
  EXPECT_EQ(ui.messages.back().text, "Save Bayesian priors?");
  EXPECT_EQ(ui.dialogs.back().fileName, "03071405.pri");  // no priors file yet: the date-time name
  EXPECT_EQ(ui.Status(1, 2), "Bayesian priors file: " + priors);
  EXPECT_EQ(ws.PriorsFileName, priors);
  EXPECT_FALSE(ws.Log.IsOpen());
  EXPECT_EQ(ws.LogOpen, 0);

  // A save that wrote nothing keeps the program running.
  saveSucceeds = false;
  ui.ExpectMessage("Exit Kalvex", Answer::Yes).ExpectMessage("What about algorithm data?", Answer::Yes);
  EXPECT_FALSE(menu.Quit());
}

// The workbench's --example: both buttons' work done with the example files,
// the menu ready for a fit; an algorithm file that cannot be read leaves the
// menu where a failed load does.
TEST(MainMenuExample, OpensTheTwoSpeciesExampleReadyToFit) {
  const std::string examples = KALVEX_EXAMPLES;
  for (const char* alg : {"/two_species.alg", "/missing.alg"}) {
    ui::ScriptedFrontend ui;
    Workspace ws(MakeOskaneModel());
    MainMenu menu(ws, ui);
    menu.ShowMenu();
    bool ready = std::string(alg) == "/two_species.alg";
    if (!ready) ui.ExpectMessage("");  // why the file could not be read
    EXPECT_EQ(menu.OpenExample(2, examples + "/two_species.dat", examples + alg), ready) << alg;
    EXPECT_EQ(ui.Status(0, 1), examples + "/two_species.dat");
    EXPECT_EQ(ui.IsEnabled("frmMenu", "cmdSimplex"), ready) << alg;
    EXPECT_TRUE(ui.IsEnabled("frmMenu", "cmdLoadAlg")) << alg;
    if (ready) EXPECT_EQ(ui.Status(1, 1), "Algorithm file: " + examples + alg);
    EXPECT_EQ(ui.PendingPrompts(), 0u) << alg;
  }
}

}  // namespace
}  // namespace kalvex
