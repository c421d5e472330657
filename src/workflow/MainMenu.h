#pragma once
// The main-menu workflow: which workflow buttons are enabled, the steps each
// button runs before handing over to its analysis, and the quit sequence.
// Written against ui::Frontend so that the order of work can be tested
// without windows; the windows only forward their clicks here.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "checks/JitterCheck.h"
#include "minimize/MinimizeResult.h"
#include "report/SessionResults.h"
#include "ui/Frontend.h"
#include "ui/Names.h"
#include "workflow/CovarianceWindows.h"
#include "workflow/EditorWindow.h"
#include "workflow/EvaluationWindows.h"
#include "workflow/FitSettings.h"
#include "workflow/MarquardtWindow.h"
#include "workflow/PriorEditor.h"
#include "workflow/PriorsLoader.h"
#include "workflow/RankingWindow.h"
#include "workflow/SimplexWindow.h"
#include "workspace/Workspace.h"

namespace kalvex {

// The form names of ui/Names.h as the windows register them.
namespace forms {
inline constexpr const char* kMain = ui::names::kMainForm.data();
inline constexpr const char* kMenu = ui::names::kMenuForm.data();
inline constexpr const char* kInitialize = ui::names::kInitializeForm.data();
inline constexpr const char* kEditor = ui::names::kEditorForm.data();
inline constexpr const char* kEditAll = ui::names::kEditAllForm.data();
inline constexpr const char* kOneFunction = ui::names::kOneFunctionForm.data();
inline constexpr const char* kApplicationMenu = ui::names::kApplicationMenu.data();
}  // namespace forms

// The workflow buttons of the main menu (Quit is not one of them: it is
// always enabled). CheckMinimum, the jittered starts, stands beside the
// minimizers and follows the results summary's rules.
enum class MenuCommand {
  Initialize, LoadAlg, EditAlg, SaveAlg, Simplex, Marquardt,
  UserSummary, OneFunction, Covariance, Bayesian, ParEstimate, Rank, CheckMinimum
};
inline constexpr int kWorkflowCommandCount = 13;
inline constexpr std::array<MenuCommand, kWorkflowCommandCount> kWorkflowCommands = {
    MenuCommand::Initialize, MenuCommand::LoadAlg,     MenuCommand::EditAlg,    MenuCommand::SaveAlg,
    MenuCommand::Simplex,    MenuCommand::Marquardt,   MenuCommand::UserSummary, MenuCommand::OneFunction,
    MenuCommand::Covariance, MenuCommand::Bayesian,    MenuCommand::ParEstimate, MenuCommand::Rank,
    MenuCommand::CheckMinimum};

// objectName of a button ("cmdInitialize", "cmdLoadAlg", ...).
const char* ControlName(MenuCommand command);

// How the load command ended.
enum class LoadOutcome {
  Loaded,     // a file was read or the defaults were applied
  Failed,     // a cancelled dialog, a file that could not be opened or read
  Cancelled,  // Cancel in the first question: nothing changed
};

// What the window layer adds to the commands: the windows it opens itself,
// and the "not available" answer for a command whose hook is empty.
struct MainMenuActions {
  std::function<LoadOutcome()> loadAlgorithm;
  // The main-menu variant of the algorithm file writer; false when nothing
  // was written (dialog cancelled or the write failed).
  std::function<bool()> saveAlgorithm;
  std::function<void()> showInitializeForm;
  std::function<void()> openEditor;  // shows frmAlgo filled from the workspace
  // Called with the button caption when a hook above is empty.
  std::function<void(std::string_view caption)> notAvailable;
};

class MainMenu {
 public:
  MainMenu(Workspace& ws, ui::Frontend& ui, MainMenuActions actions = {});
  // The priors windows call back into this menu.
  MainMenu(const MainMenu&) = delete;
  MainMenu& operator=(const MainMenu&) = delete;

  MainMenuActions& Actions() { return actions_; }
  // Who opened the algorithm data editor and whether it has closed.
  EditorWindow& Editor() { return editor_; }
  // The commands of the priors loader and the prior editor windows.
  PriorsLoader& PriorsLoaderWindow() { return priorsLoader_; }
  PriorEditor& PriorEditorWindow() { return priorEditor_; }
  // The controller of the model ranking window.
  ranking::RankingWindow& RankingWindow() { return ranking_; }
  // The controllers of the minimizer windows.
  SimplexWindow& SimplexWindowControl() { return simplexWindow_; }
  MarquardtWindow& MarquardtWindowControl() { return marquardtWindow_; }
  // The commands of the two covariance windows.
  workflow::CovarianceWindows& CovarianceCommands() { return covariance_; }
  // The last result of each analysis the session ran, for "Save report...".
  report::SessionResults& Session() { return session_; }

  // Shows the main menu with the enabling rules applied, whichever way it
  // comes back; while the editor opened from it is open, Initialize and Load
  // stay disabled.
  void ShowMenu();
  void HideMenu();
  void CloseMenu();
  // The window layer reports a menu closed by the user.
  void MenuUnloaded() { loaded_ = false; }
  bool MenuLoaded() const { return loaded_; }
  void ApplyEnablingRules();
  // The states the enabling rules give each of the twelve buttons (in the
  // order of kWorkflowCommands), for a menu window being made.
  std::array<bool, kWorkflowCommandCount> RuleStates() const;
  // The results-summary button's caption and tooltip for the current state.
  const char* ResultsCaption() const;
  const char* ResultsToolTip() const;

  // The buttons.
  void Initialize();
  LoadOutcome LoadAlgorithm();
  // Initialize with the data file, then load the algorithm file, as the
  // two buttons do with these answers (the workbench's --example); true when
  // both went through.
  bool OpenExample(int species, const std::string& dataFile, const std::string& algorithmFile);
  void EditAlgorithm();
  bool SaveAlgorithm();
  // The minimizers, one path for the windows and kalvex-batch: Marquardt
  // asks its setup questions, Fit takes the answers from settings (refused
  // with a box when they cannot drive a fit).
  MinimizeResult Simplex(const MinimizeOptions& options = {});
  MinimizeResult Marquardt(const MinimizeOptions& options = {});
  MinimizeResult Fit(const FitSettings& settings, const MinimizeOptions& options = {});
  // "Check the minimum...": the jittered starts of the current fit; show
  // tells the window that a run starts (nullptr: nothing to show yet) and
  // hands it the table before the offer of a lower minimum.
  std::optional<checks::JitterCheck> CheckMinimum(const std::function<void(const checks::JitterCheck*)>& show = {});
  void ResultsSummary();
  void OneFunctionCall();
  void Covariance();
  void Priors();
  // "E&valuate single model parameter estimates" opens the chooser
  // frmParEvals; its three buttons follow.
  void Evaluate();
  void EvaluateByProfile();
  void EvaluateByPosterior();
  void CancelEvaluation();
  void MultiModel();
  // The quit sequence; true when the program should end.
  bool Quit();

  // The initialization form.
  void OpenInitializeForm();
  std::optional<std::string> SelectDataFile();
  // "&Done?": true when the model was initialized and the form closed.
  bool FinishInitialization(std::string_view speciesText, std::string_view dataFile);
  void CancelInitialization();
  // The form was given up (closed by the user): the menu comes back and the
  // status bars show the unchanged files again.
  void InitializationGivenUp();

  // An analysis that runs in its own window ended: the "&Application" menu
  // comes back and the main menu is shown again.
  void AnalysisEnded();

  void SetEnabled(MenuCommand command, bool enabled);
  void SetAllEnabled(bool enabled);

  // Button captions and tooltips.
  static const char* Caption(MenuCommand command);
  static const char* ToolTip(MenuCommand command);

 private:
  void Prologue(bool closesMenu);
  // The menu after the algorithm data were loaded (or not).
  LoadOutcome AlgorithmLoaded(LoadOutcome outcome);
  void ShowFileNames();
  void SetApplicationMenu(bool enabled);
  void EnableAllButInitializeAndLoad();
  bool NothingToDo();
  // Marquardt with the setup answered by settings, or asked (nullptr).
  MinimizeResult MarquardtFit(const FitSettings* settings, const MinimizeOptions& options);
  // A fit that ran is the session's fit; what was computed before it is dropped.
  void RecordFit(const char* minimizer, const MinimizeResult& result);
  // Runs body; a numeric fault it did not handle itself gets the run-time
  // report. False after a fault.
  bool Guarded(const std::function<void()>& body);

  Workspace& ws_;
  ui::Frontend& ui_;
  MainMenuActions actions_;
  EditorWindow editor_;  // after actions_: it opens the editor through them
  ProfileWindow profileWindow_;
  PosteriorWindow posteriorWindow_;
  PriorEditor priorEditor_;
  PriorsLoader priorsLoader_;
  ranking::RankingWindow ranking_;
  SimplexWindow simplexWindow_;
  MarquardtWindow marquardtWindow_;
  workflow::CovarianceWindows covariance_;
  checks::JitterSettings jitterSettings_;  // the last answers
  report::SessionResults session_;
  bool loaded_ = false;
};

// The model's question before an initialization with these options, asked
// as "Initialize model" (Yes/No, exclamation, No the default); true when
// there is none or the answer is Yes.
bool ConfirmModelInitialization(Workspace& ws, ui::Frontend& ui, const ModelInitOptions& options);

// The first step of the results summary in both front ends: one NF = 1
// evaluation through the objective protocol when any value is non-zero (the
// best-fit record then describes the current values), then the links
// expanded in Values. Throws NumericFault.
void EvaluateForResultsSummary(Workspace& ws, ui::Frontend& ui);

// The results-summary caption and tooltip after algorithm data exist.
inline constexpr const char* kResultsCaptionLoaded = "Res&ults Summary";
inline constexpr const char* kResultsToolTipLoaded =
    "Produces a saveable summary (and perhaps plots) of model results for the current parameter estimates";

}  // namespace kalvex
