#include "workflow/MainMenu.h"

#include <cmath>

#include "algorithm/AlgorithmCommands.h"
#include "algorithm/MinimizationLog.h"
#include "evaluation/LikelihoodProfile.h"
#include "evaluation/PosteriorIntegration.h"
#include "minimize/Marquardt.h"
#include "minimize/Simplex.h"
#include "workflow/PriorReviewWindow.h"
#include "priors/PriorsFile.h"
#include "ui/RunContext.h"
#include "workflow/JitterWindow.h"
#include "workflow/OneFunctionCall.h"
#include "workflow/SummaryWindow.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

struct CommandTexts {
  const char* control;
  const char* caption;
  const char* toolTip;
};

const CommandTexts& Texts(MenuCommand command) {
  static const CommandTexts texts[] = {
      {"cmdInitialize", "&Initialize model",
       "Loads a form that tells you how to prepare your data and initialize your model"},
      {"cmdLoadAlg", "&Load algorithm data",
       "Loads or creates a file that contains parameter estimates and other info used by the minimization "
       "algorithms"},
      {"cmdEditAlg", "&Edit  algorithm data", "Allows you to edit the algorithm data"},
      {"cmdSaveAlg", "&Save algorithm data", "Allows you to save the algorithm data"},
      {"cmdSimplex", "Simple&x", "Searches for an objective function minimum using simplex geometry"},
      {"cmdMarquardt", "&Marquardt",
       "Searches for an objective function minimum using numerical (automatic) or analytical (if "
       "user-supplied) derivatives"},
      {"cmdUserSummary", "&Single model results",
       "Produces a saveable summary (and perhaps plots) of the results for a single model at the current "
       "parameter estimates"},
      {"cmdOneFunction", "&1 Function call", "Calculates the objective function at the current parameter estimates"},
      {"cmdCovariance", "&Single model covariances",
       "Produces an asymptotically consistent (i.e., central limit theorem applies when sample size is large) "
       "covariance matrix of the estimated parameters"},
      {"cmdBayesian", "Set &Bayesian priors",
       "Allows you to assign Bayesian prior probabilities to the parameters to be estimated"},
      {"cmdParEstimate", "E&valuate single model parameter estimates",
       "Uses maximum-likelihood or Bayesian procedures to assess individual parameter estimates"},
      {"cmdRank", "&Multi-model statistics", "Uses AICc to rank and average among the best competing models"},
      {"cmdCheckMinimum", "Chec&k the minimum...",
       "Fits the model again from many starts jittered around the current estimates: is the current fit the "
       "lowest minimum?"},
  };
  return texts[static_cast<int>(command)];
}

// Closes the one-function-call, Simplex and Marquardt windows if open.
void CloseAnalysisWindows(ui::Frontend& ui) {
  for (std::string_view form : {ui::names::kOneFunctionForm, ui::names::kSimplexForm, ui::names::kMarquardtForm})
    if (ui.IsWindowOpen(form)) ui.CloseWindow(form);
}

// The review looks at the values a fit left, once it has stored its
// minimum; priors that cannot be evaluated there make the fit a failure.
void ReviewFitPriors(Workspace& ws, ui::Frontend& ui, MinimizeResult& result) {
  if (result.end != RunEnd::Converged || ws.ProfileEvaluationActive == kOn || ws.PriorsActive != kOn) return;
  if (std::optional<std::string> fault = ReviewPriors(ws, ui)) {
    result.end = RunEnd::Error;
    result.message = *fault;
  }
}

}  // namespace

const char* ControlName(MenuCommand command) { return Texts(command).control; }
const char* MainMenu::Caption(MenuCommand command) { return Texts(command).caption; }
const char* MainMenu::ToolTip(MenuCommand command) { return Texts(command).toolTip; }

MainMenu::MainMenu(Workspace& ws, ui::Frontend& ui, MainMenuActions actions)
    : ws_(ws),
      ui_(ui),
      actions_(std::move(actions)),
      editor_(ui, &actions_.openEditor),
      profileWindow_(ui, editor_, [this] { ShowMenu(); }),
      posteriorWindow_(ui, editor_, [this] { ShowMenu(); }),
      priorEditor_(ws, ui),
      priorsLoader_(ws, ui, priorEditor_),
      ranking_(ws, ui),
      simplexWindow_(ui, [this] { ShowMenu(); }),
      marquardtWindow_(ui, [this] { ShowMenu(); }),
      covariance_(ws, ui) {
  profileWindow_.ShowMinimizersIn(simplexWindow_, marquardtWindow_);
}

void MainMenu::SetEnabled(MenuCommand command, bool enabled) {
  ui_.SetEnabled(forms::kMenu, ControlName(command), enabled);
}

void MainMenu::SetAllEnabled(bool enabled) {
  for (MenuCommand command : kWorkflowCommands) SetEnabled(command, enabled);
}

void MainMenu::EnableAllButInitializeAndLoad() {
  for (MenuCommand command : kWorkflowCommands)
    SetEnabled(command, command != MenuCommand::Initialize && command != MenuCommand::LoadAlg);
}

void MainMenu::SetApplicationMenu(bool enabled) {
  ui_.SetEnabled(forms::kMain, forms::kApplicationMenu, enabled);
}

std::array<bool, kWorkflowCommandCount> MainMenu::RuleStates() const {
  std::array<bool, kWorkflowCommandCount> states{};
  for (std::size_t i = 0; i < states.size(); ++i) {
    MenuCommand command = kWorkflowCommands[i];
    if (!ws_.InitializeAlready)
      states[i] = command == MenuCommand::Initialize;  // before the first initialization
    else if (ws_.AlgorithmFileName.empty())
      states[i] = command == MenuCommand::Initialize || command == MenuCommand::LoadAlg;
    else
      states[i] = true;
  }
  return states;
}

// A menu made anew keeps the caption it had once algorithm data existed.
const char* MainMenu::ResultsCaption() const {
  return ws_.InitializeAlready && !ws_.AlgorithmFileName.empty() ? kResultsCaptionLoaded
                                                                 : Caption(MenuCommand::UserSummary);
}

const char* MainMenu::ResultsToolTip() const {
  return ws_.InitializeAlready && !ws_.AlgorithmFileName.empty() ? kResultsToolTipLoaded
                                                                 : ToolTip(MenuCommand::UserSummary);
}

void MainMenu::ApplyEnablingRules() {
  std::array<bool, kWorkflowCommandCount> states = RuleStates();
  for (std::size_t i = 0; i < states.size(); ++i) SetEnabled(kWorkflowCommands[i], states[i]);
  if (ws_.InitializeAlready && !ws_.AlgorithmFileName.empty()) {
    ui_.SetCaption(forms::kMenu, ControlName(MenuCommand::UserSummary), kResultsCaptionLoaded);
    ui_.SetToolTip(forms::kMenu, ControlName(MenuCommand::UserSummary), kResultsToolTipLoaded);
  }
}

void MainMenu::ShowMenu() {
  ui_.ShowWindow(forms::kMenu);
  loaded_ = true;
  if (editor_.OpenFromMenu())
    EnableAllButInitializeAndLoad();
  else
    ApplyEnablingRules();
}

void MainMenu::HideMenu() { ui_.HideWindow(forms::kMenu); }

void MainMenu::CloseMenu() {
  ui_.CloseWindow(forms::kMenu);
  loaded_ = false;
}

void MainMenu::Prologue(bool closesMenu) {
  CloseAnalysisWindows(ui_);
  if (closesMenu) {
    CloseMenu();
    SetApplicationMenu(false);
  }
}

void MainMenu::AnalysisEnded() {
  SetApplicationMenu(true);
  ShowMenu();
}

bool MainMenu::Guarded(const std::function<void()>& body) {
  // The run-time report of a fault the analysis did not handle itself.
  RunContext run(ws_, ui_, {"", "Kalvex", "", InterruptFlag::None});
  return !run.Run(body).faulted;
}

// ---------------------------------------------------------------- Initialize

void MainMenu::Initialize() {
  if (!ws_.AlgorithmFileName.empty()) {
    Answer answer = ui_.Message("Initialize",
                                "Algorithm data will be lost during this initialization.\r\n\r\n"
                                "  Do you need to save current algorithm data?",
                                style::kYesNoCancel + style::kExclamation);
    if (answer == Answer::Cancel) return;
    // A save the user asked for but that wrote nothing must not be followed
    // by throwing the data away.
    if (answer == Answer::Yes && !SaveAlgorithm()) return;
    ws_.AlgorithmFileName.clear();
    SetAllEnabled(false);
    SetEnabled(MenuCommand::Initialize, true);
    SetEnabled(MenuCommand::LoadAlg, true);
  }
  // Only once the question is answered: a Cancel there changes nothing.
  ui_.ClearStatusBars();
  OpenInitializeForm();
  SetAllEnabled(false);
  CloseMenu();
}

void MainMenu::OpenInitializeForm() {
  if (actions_.showInitializeForm)
    actions_.showInitializeForm();
  else
    ui_.ShowWindow(forms::kInitialize);
  ui_.SetCaption(forms::kMain, forms::kMain, "Oskane model");
  ui_.SetCaption(forms::kInitialize, "txtDataFile", "");
}

std::optional<std::string> MainMenu::SelectDataFile() {
  ui::FileDialog dialog;
  dialog.title = "Load the input data file";
  dialog.filter = "All Files (*.*)|*.*|Data Files (*.dat)|*.dat";
  dialog.filterIndex = 2;
  std::optional<std::string> path = ui_.OpenFile(dialog);
  if (!path || path->empty()) return std::nullopt;
  ui_.SetCaption(forms::kInitialize, "txtDataFile", *path);
  ui_.SetFocus(forms::kInitialize, "cmdDone");
  return path;
}

bool MainMenu::FinishInitialization(std::string_view speciesText, std::string_view dataFile) {
  if (dataFile.empty()) {
    ui_.Message("Missing input", "Please choose a data file", style::kInformation);
    return false;
  }
  ModelInitOptions options;
  // The list's text converted to a number, then to the nearest integer.
  options.numSpecies = ToInt16(Val(speciesText)).value_or(1);
  options.dataFileName = std::string(dataFile);
  if (!ConfirmModelInitialization(ws_, ui_, options)) return false;
  try {
    if (!Guarded([&] { InitializeModel(ws_, options); })) return false;
  } catch (const InitializationError& error) {
    // The model keeps its previous state; the form stays open for another file.
    ui_.Message(error.Title(), error.what(), error.Style());
    return false;
  }
  session_ = {};  // the results of another model or data
  ShowMenu();
  ui_.SetStatus(1, 2, "Bayesian priors file: ");
  ApplyEnablingRules();
  SetEnabled(MenuCommand::LoadAlg, true);
  ui_.SetFocus(forms::kMenu, ControlName(MenuCommand::LoadAlg));
  ui_.SetStatus(0, 1, ws_.DataFileName);
  ui_.CloseWindow(forms::kInitialize);
  return true;
}

void MainMenu::CancelInitialization() {
  InitializationGivenUp();
  ui_.CloseWindow(forms::kInitialize);
}

void MainMenu::InitializationGivenUp() {
  ShowMenu();
  ShowFileNames();
}

// The file panels as the unchanged workspace has them, after Initialize
// cleared the bars for a form that was then given up.
void MainMenu::ShowFileNames() {
  if (!ws_.InitializeAlready) return;
  ui_.SetStatus(0, 1, ws_.DataFileName);
  if (!ws_.AlgorithmFileName.empty()) ui_.SetStatus(1, 1, "Algorithm file: " + ws_.AlgorithmFileName);
  ui_.SetStatus(1, 2, "Bayesian priors file: " + ws_.PriorsFileName);
}

bool ConfirmModelInitialization(Workspace& ws, ui::Frontend& ui, const ModelInitOptions& options) {
  std::optional<std::string> question = ws.model->InitializeQuestion(options);
  if (!question) return true;
  return ui.Message("Initialize model", *question,
                    style::kYesNo + style::kExclamation + style::kSecondDefault) == Answer::Yes;
}

// ---------------------------------------------------------------- Load, Edit, Save

LoadOutcome MainMenu::LoadAlgorithm() {
  Prologue(false);
  if (!actions_.loadAlgorithm) {
    if (actions_.notAvailable) actions_.notAvailable(Caption(MenuCommand::LoadAlg));
    return LoadOutcome::Cancelled;
  }
  return AlgorithmLoaded(actions_.loadAlgorithm());
}

bool MainMenu::OpenExample(int species, const std::string& dataFile, const std::string& algorithmFile) {
  if (!FinishInitialization(std::to_string(species), dataFile)) return false;
  Prologue(false);
  AlgorithmReadResult read = LoadAlgorithmFile(ws_, ui_, algorithmFile);
  if (read.status == AlgorithmReadStatus::OpenFailed)  // the reader says nothing of a file it cannot open
    ui_.Message("Problem Reading Algorithm File!",
                "Be suspicious that your algorithm file is not properly formatted (" + read.openError + ")",
                style::kCritical);
  return AlgorithmLoaded(read.status == AlgorithmReadStatus::Read ? LoadOutcome::Loaded : LoadOutcome::Failed) ==
         LoadOutcome::Loaded;
}

LoadOutcome MainMenu::AlgorithmLoaded(LoadOutcome outcome) {
  switch (outcome) {
    case LoadOutcome::Loaded:
      ws_.SimplexStateKept = false;
      session_.ForgetFitResults();
      session_.fits.clear();
      ui_.SetStatus(1, 1, "Algorithm file: " + ws_.AlgorithmFileName);
      ui_.PumpEvents(true);
      SetAllEnabled(true);
      ui_.SetCaption(forms::kMenu, ControlName(MenuCommand::UserSummary), kResultsCaptionLoaded);
      ui_.SetToolTip(forms::kMenu, ControlName(MenuCommand::UserSummary), kResultsToolTipLoaded);
      ui_.SetFocus(forms::kMenu, ControlName(MenuCommand::EditAlg));
      break;
    case LoadOutcome::Failed:
      SetEnabled(MenuCommand::Initialize, true);
      SetEnabled(MenuCommand::LoadAlg, true);
      break;
    case LoadOutcome::Cancelled:
      break;
  }
  return outcome;
}

void MainMenu::EditAlgorithm() {
  Prologue(false);
  SetAllEnabled(false);
  editor_.Open(EditorCaller::Menu);
  EnableAllButInitializeAndLoad();
  HideMenu();
}

bool MainMenu::SaveAlgorithm() {
  Prologue(false);
  SetAllEnabled(false);
  bool saved = false;
  if (actions_.saveAlgorithm)
    saved = actions_.saveAlgorithm();
  else if (actions_.notAvailable)
    actions_.notAvailable(Caption(MenuCommand::SaveAlg));
  SetAllEnabled(true);
  return saved;
}

// ---------------------------------------------------------------- Minimizers

bool MainMenu::NothingToDo() {
  if (ws_.Free.FreeCount != 0) return false;
  SetAllEnabled(true);
  ui_.Message("There is nothing to do!", "All step sizes are zero", style::kExclamation);
  return true;
}

MinimizeResult MainMenu::Simplex(const MinimizeOptions& options) {
  MinimizeResult result;
  simplexWindow_.CommandRuns(true);
  Prologue(true);
  SetAllEnabled(false);
  NormalizeLinks(ws_);
  CollectFreeParameters(ws_);
  if (NothingToDo()) {
    simplexWindow_.CommandRuns(false);
    AnalysisEnded();
    result.end = RunEnd::NothingToDo;
    return result;
  }
  ws_.CovarianceResultsValid = kOff;
  MinimizeOptions shown = options;
  shown.window = &simplexWindow_;
  Guarded([&] {
    result = RunSimplex(ws_, ui_, shown);
    if (!result.faulted) ReviewFitPriors(ws_, ui_, result);
  });
  RecordFit("Simplex", result);
  simplexWindow_.CommandRuns(false);
  AnalysisEnded();
  SetAllEnabled(true);
  return result;
}

MinimizeResult MainMenu::Marquardt(const MinimizeOptions& options) { return MarquardtFit(nullptr, options); }

MinimizeResult MainMenu::Fit(const FitSettings& settings, const MinimizeOptions& options) {
  if (std::optional<std::string> refused = settings.Validate()) {
    ui_.Message(std::string(settings.method.Name()) + " minimization", *refused, style::kCritical);
    MinimizeResult result;
    result.message = *refused;
    return result;
  }
  if (settings.method.minimizer == checks::FitMinimizer::Simplex) return Simplex(options);
  return MarquardtFit(&settings, options);
}

MinimizeResult MainMenu::MarquardtFit(const FitSettings* settings, const MinimizeOptions& options) {
  MinimizeResult result;
  marquardtWindow_.CommandRuns(true);
  Prologue(true);
  SetAllEnabled(false);
  // The window asks what kalvex-batch gives: the settings of the fit.
  std::optional<FitSettings> asked;
  if (!settings) {
    asked = marquardtWindow_.AskSettings(ws_);
    if (!asked) {
      marquardtWindow_.CommandRuns(false);
      AnalysisEnded();
      result.end = RunEnd::Cancelled;
      return result;
    }
    settings = &*asked;
  }
  ws_.DerivativeMode = settings->method.derivatives == Derivatives::Analytical ? "A" : "N";
  marquardtWindow_.DisplayDerivatives(settings->showDerivatives);
  NormalizeLinks(ws_);
  CollectFreeParameters(ws_);
  if (NothingToDo()) {
    marquardtWindow_.CommandRuns(false);
    AnalysisEnded();
    result.end = RunEnd::NothingToDo;
    return result;
  }
  ws_.CovarianceResultsValid = kOff;
  int16_t terminalFrequency = ws_.Alg.TerminalFrequency;
  MinimizeOptions shown = options;
  shown.window = &marquardtWindow_;
  Guarded([&] {
    result = RunMarquardt(ws_, ui_, shown);
    if (!result.faulted) ReviewFitPriors(ws_, ui_, result);
  });
  RecordFit("Marquardt", result);
  ws_.SimplexStateKept = false;
  ws_.Alg.TerminalFrequency = terminalFrequency;
  marquardtWindow_.CommandRuns(false);
  AnalysisEnded();
  // The window wide enough for its caption reaches over the menu's side:
  // the results just reported stay in front.
  marquardtWindow_.BringToFront();
  SetAllEnabled(true);
  return result;
}

std::optional<checks::JitterCheck> MainMenu::CheckMinimum(
    const std::function<void(const checks::JitterCheck*)>& show) {
  Prologue(true);
  SetAllEnabled(false);
  NormalizeLinks(ws_);
  CollectFreeParameters(ws_);
  std::optional<checks::JitterCheck> check;
  if (NothingToDo()) {
    AnalysisEnded();
    return check;
  }
  if (std::optional<checks::JitterSettings> settings = checks::AskJitterSettings(ui_, jitterSettings_)) {
    jitterSettings_ = *settings;
    if (show) show(nullptr);
    check = workflow::RunJitterCheck(ws_, ui_, *settings);
    if (check && show) show(&*check);
    if (check) {
      session_.jitter = check->run;  // kept for "Save report..."
      session_.failed.erase(report::Analysis::Jitter);
      // Values taken from a start are a new fit: what described the old one goes.
      if (checks::OfferLowerMinimum(ws_, ui_, *check)) session_.ForgetFitResults();
    }
  }
  AnalysisEnded();
  // The menu comes back beside the window, which stays in front.
  if (ui_.IsWindowOpen(workflow::kJitterForm)) ui_.ShowWindow(workflow::kJitterForm);
  SetAllEnabled(true);
  return check;
}

void MainMenu::RecordFit(const char* minimizer, const MinimizeResult& result) {
  if (result.end == RunEnd::NothingToDo || result.end == RunEnd::Cancelled) return;
  // Every result at the values before the fit describes them no more.
  session_.ForgetFitResults();
  session_.fits = {report::FitRecordOf(ws_, minimizer, result)};
  session_.failed.erase(report::Analysis::Fit);
  if (result.faulted || result.end == RunEnd::Error)
    session_.failed[report::Analysis::Fit] = result.message;
}

// ---------------------------------------------------------------- Reports

void MainMenu::OneFunctionCall() {
  Prologue(true);
  SetAllEnabled(false);
  NormalizeLinks(ws_);
  CollectFreeParameters(ws_);
  OneFunctionCallReport(ws_, ui_);
  SetApplicationMenu(true);
}

void EvaluateForResultsSummary(Workspace& ws, ui::Frontend& ui) {
  bool anyValue = false;
  for (int i = 1; i <= ws.Alg.NumParameters; ++i)
    if (ws.Alg.Values[i] != 0) anyValue = true;
  if (anyValue) {
    ui.SetStatus(5, 1, "One moment please while one function call is executed...");
    ui.PumpEvents(true);
    EvaluateObjectiveWithCode(ws, ws.Alg.Values, 1);
    ui.SetStatus(5, 1, "");
  }
  ExpandLinks(ws, ws.Alg.Values);
}

void MainMenu::ResultsSummary() {
  Prologue(true);
  SetAllEnabled(false);
  const bool shown = Guarded([&] {
    EvaluateForResultsSummary(ws_, ui_);
    workflow::RunResultsSummary(ws_, ui_);
  });
  if (!shown) {
    AnalysisEnded();
    return;
  }
  report::RecordSummary(session_, ws_);
  SetApplicationMenu(true);
}

void MainMenu::Covariance() {
  Prologue(true);
  SetAllEnabled(false);
  if (ws_.CovarianceResultsValid == kOn &&
      ui_.Message("Covariance", "View the last set of calculated covariance results?",
                  style::kYesNo + style::kQuestion) == Answer::Yes) {
    covariance_.ShowData(workflow::CovarianceDataMode::LastResults);
    SetApplicationMenu(true);
    return;
  }
  // Only a run that produced results makes them valid; the "Covariance
  // data" window then stands in for the menu until it is finished.
  if (covariance_.Calculate({.openEditor = [this] { editor_.OpenAndWait(EditorCaller::None); }, .clock = {}, .log = nullptr}) ==
      CovarianceRunEnd::Completed) {
    ws_.CovarianceResultsValid = kOn;
    std::string failure;
    session_.covariance = report::CovarianceRecordOf(ws_.Covariance.Results, failure);
    if (session_.covariance)
      session_.failed.erase(report::Analysis::Covariance);
    else
      session_.failed[report::Analysis::Covariance] = failure;
    SetApplicationMenu(true);
    return;
  }
  AnalysisEnded();
}

void MainMenu::Priors() {
  Prologue(true);
  SetAllEnabled(false);
  priorsLoader_.Open([this] { AnalysisEnded(); });
}

void MainMenu::Evaluate() {
  Prologue(true);
  SetAllEnabled(false);
  ws_.Evaluation.PriorPlotMode = false;
  ui_.ShowWindow(ui::names::kParEvalsForm);
  // Loading the chooser gives the "&Application" menu back.
  SetApplicationMenu(true);
}

void MainMenu::EvaluateByProfile() {
  ui_.CloseWindow(ui::names::kParEvalsForm);
  SetApplicationMenu(false);
  const EvaluationOptions options{.window = &profileWindow_, .clock = {}, .spreadNodes = {}};
  if (EvaluateByLikelihoodProfile(ws_, ui_, options) == EvaluationEnd::Results)
    if (std::optional<report::ProfileRecord> profile = report::ProfileRecordOf(ws_))
      report::KeepProfile(session_, std::move(*profile));
  SetApplicationMenu(true);
}

void MainMenu::EvaluateByPosterior() {
  ui_.CloseWindow(ui::names::kParEvalsForm);
  SetApplicationMenu(false);
  kalvex::EvaluateByPosterior(ws_, ui_, {.window = &posteriorWindow_, .clock = {}, .spreadNodes = {}});
  SetApplicationMenu(true);
}

void MainMenu::CancelEvaluation() {
  ui_.CloseWindow(ui::names::kParEvalsForm);
  AnalysisEnded();
}

void MainMenu::MultiModel() {
  Prologue(true);
  SetAllEnabled(false);
  ranking::RankingHooks hooks;
  hooks.showCaller = [this] {
    // The ranking's last results, kept when its window closes.
    if (ranking_.Table().Ranked())
      session_.ranking = report::RankingRecord{ranking_.Table(), ranking_.AverageText(), {}};
    AnalysisEnded();
  };
  hooks.openEditor = [this] { editor_.Open(EditorCaller::Ranking); };
  hooks.openPriors = [this](std::function<void()> back) { priorsLoader_.Open(std::move(back)); };
  ranking_.Open(std::move(hooks));
}

// ---------------------------------------------------------------- Quit

bool MainMenu::Quit() {
  if (ui_.Message("Exit Kalvex", "Do you want to quit Kalvex?",
                  style::kYesNo + style::kQuestion + style::kSecondDefault) != Answer::Yes)
    return false;
  if (ui_.Message("What about algorithm data?", "Save algorithm data?", style::kYesNo + style::kQuestion) ==
      Answer::Yes) {
    // Quitting after a save that wrote nothing would lose the data the user
    // wanted to keep; stay in the program instead.
    if (actions_.saveAlgorithm) {
      if (!actions_.saveAlgorithm()) return false;
    } else if (actions_.notAvailable) {
      actions_.notAvailable(Caption(MenuCommand::SaveAlg));
    }
  }
  if (ws_.AnyPriorSet()) {
    if (ui_.Message("What about Bayesian priors?", "Save Bayesian priors?", style::kYesNo + style::kQuestion) ==
        Answer::Yes) {
      // As for the algorithm data: no quitting after a save that wrote nothing.
      if (WritePriorsFile(ws_, ui_, PriorsFileVariant::MainMenu) != PriorsSaveOutcome::Saved) return false;
    }
  } else {
    ui_.SetStatus(1, 2, "Bayesian priors file: ");
  }
  CloseMinimizationLog(ws_, ui_);
  return true;
}

}  // namespace kalvex
