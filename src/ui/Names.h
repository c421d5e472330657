#pragma once
// Every form and control name the core, the windows and the tests address
// through ui::Frontend, in one place. The scripted front end rejects a name
// that is not here, the Qt one warns about it, so a typo cannot go unseen.
// A new window adds its names to the lists below (one line each).
#include <string_view>

namespace kalvex::ui::names {

// ---- Forms (a form is also a control of itself: its caption)
inline constexpr std::string_view kMainForm = "frmMain";
inline constexpr std::string_view kMenuForm = "frmMenu";
inline constexpr std::string_view kInitializeForm = "frmInitialize";
inline constexpr std::string_view kEditorForm = "frmAlgo";
inline constexpr std::string_view kEditAllForm = "frmEditVS";
inline constexpr std::string_view kOneFunctionForm = "frmOneFunction";
inline constexpr std::string_view kSimplexForm = "frmSimplex";
inline constexpr std::string_view kMarquardtForm = "frmMarquardt";
inline constexpr std::string_view kSummaryForm = "frmSummary";
inline constexpr std::string_view kXYPlotForm = "frmXYPlot";
inline constexpr std::string_view kDefaultsForm = "frmDefaults";
inline constexpr std::string_view kWisdomForm = "frmWisdom";
inline constexpr std::string_view kCreditsForm = "frmCredits";
inline constexpr std::string_view kRankForm = "frmRank";
inline constexpr std::string_view kMaxLikeForm = "frmMaxLike";
inline constexpr std::string_view kBayesianForm = "frmBayesian";
inline constexpr std::string_view kParEvalsForm = "frmParEvals";
inline constexpr std::string_view kDistPlotForm = "frmDistPlot";
inline constexpr std::string_view kBivarPlotForm = "frmBivarPlot";
inline constexpr std::string_view kCovarianceForm = "frmCovariance";
inline constexpr std::string_view kCovDataForm = "frmCovData";
inline constexpr std::string_view kPriorsLoaderForm = "frmPriorsLoader";
inline constexpr std::string_view kPriorEditorForm = "frmPriors";
inline constexpr std::string_view kPriorProfileForm = "frmPriorProfile";
inline constexpr std::string_view kReviewPriorsForm = "frmReviewPriors";
inline constexpr std::string_view kHelpForm = "frmHelp";
inline constexpr std::string_view kDiagnosticsForm = "frmDiagnostics";
inline constexpr std::string_view kJitterForm = "frmJitter";
inline constexpr std::string_view kHindcastForm = "frmHindcast";

inline constexpr std::string_view kForms[] = {
    kMainForm,     kMenuForm,     kInitializeForm, kEditorForm,   kEditAllForm,   kOneFunctionForm, kSimplexForm,
    kMarquardtForm, kSummaryForm, kXYPlotForm,     kDefaultsForm, kWisdomForm,    kCreditsForm,     kRankForm,
    kMaxLikeForm,  kBayesianForm, kParEvalsForm,   kDistPlotForm, kBivarPlotForm,
    kCovarianceForm,
    kCovDataForm,
    kPriorsLoaderForm, kPriorEditorForm, kPriorProfileForm, kReviewPriorsForm, kHelpForm,
    kDiagnosticsForm,
    kJitterForm,
    kHindcastForm,
};

// ---- Controls shared by several forms
inline constexpr std::string_view kStopButton = "cmdStop";  // a minimizer window's Interrupt

// ---- frmMain: its menus
inline constexpr std::string_view kApplicationMenu = "mnuApplication";
inline constexpr std::string_view kInterruptMLMenu = "mnuInterruptML";
inline constexpr std::string_view kInterruptBayesMenu = "mnuInterruptBayes";
inline constexpr std::string_view kInterruptMLMenuBar = "mnuMLInt";
inline constexpr std::string_view kInterruptBayesMenuBar = "mnuBayesianInt";

// ---- frmMenu: the workflow buttons in their order, and Quit
inline constexpr std::string_view kWorkflowButtons[] = {
    "cmdInitialize",  "cmdLoadAlg",     "cmdEditAlg",    "cmdSaveAlg",  "cmdSimplex",     "cmdMarquardt",
    "cmdUserSummary", "cmdOneFunction", "cmdCovariance", "cmdBayesian", "cmdParEstimate", "cmdRank",
    "cmdCheckMinimum"};
inline constexpr std::string_view kQuitButton = "cmdQuit";

// ---- frmInitialize
inline constexpr std::string_view kDataFileBox = "txtDataFile";
inline constexpr std::string_view kDoneButton = "cmdDone";

// ---- frmOneFunction, frmSimplex, frmMarquardt, frmSummary: report panes and buttons
inline constexpr std::string_view kOneFunctionPane = "rtbOneFunction";
inline constexpr std::string_view kSimplexInitialPane = "rtbSimplexInitial";
inline constexpr std::string_view kSimplexPane = "rtbSimplex";
inline constexpr std::string_view kMarquardtPane = "rtbMarquardt";
inline constexpr std::string_view kNextIterationButton = "cmdIteration";
inline constexpr std::string_view kContinueButton = "cmdContinue";
inline constexpr std::string_view kSummaryPane = "rtbOut";
inline constexpr std::string_view kSaveSummaryButton = "cmdSaveSummary";

// ---- frmCovariance (the calculation log) and frmCovData (its choices)
inline constexpr std::string_view kCovariancePane = "rtbCovariance";
inline constexpr std::string_view kCovarianceInterruptButton = "cmdInterrupt";
inline constexpr std::string_view kCovDataLabel = "lblCovData";
inline constexpr std::string_view kCovDisplayButton = "cmdDisplay";
inline constexpr std::string_view kCovSaveButton = "cmdSaveCov";
inline constexpr std::string_view kCovFinishButton = "cmdFinishDisplay";
// ---- frmMaxLike and frmBayesian: the evaluation reports
inline constexpr std::string_view kMaxLikePane = "rtbMaxLike";
inline constexpr std::string_view kBayesianPane = "rtbBayesian";
// ---- the priors windows: report panes
inline constexpr std::string_view kPriorProfilePane = "rtbPriorProfile";
inline constexpr std::string_view kReviewPriorsPane = "rtbReviewPriors";
inline constexpr std::string_view kHelpPane = "rtbHelp";
// ---- frmDiagnostics: the residual diagnostics, opened from the results summary
inline constexpr std::string_view kDiagnosticsPane = "rtbDiagnostics";
// ---- frmJitter: the jittered starts, opened from the main menu
inline constexpr std::string_view kJitterPane = "rtbJitter";
// ---- frmHindcast: the hindcast, opened from the results summary
inline constexpr std::string_view kHindcastPane = "rtbHindcast";

// Every control name: the ones above and those only the windows and the
// editor address.
inline constexpr std::string_view kControls[] = {
    // shared
    kStopButton, "cmdCancel", "cmdClose", "cmdClear",
    // frmMain
    kApplicationMenu, kInterruptMLMenu, kInterruptBayesMenu, "mnuMLInt", "mnuBayesianInt", "mnuWindow", "mnuAbout",
    "mnuWisdom", "mnuCredits", "mnuDefaultNames", "mnuExit", "mnuMenu", "mnuSaveReport", "mnuCascade", "mnuTileHorizontal",
    "mnuTileVertical", "mnuArrangeIcons", "stbMain2", "stbMain3", "stbMain4",
    // frmMenu
    "cmdInitialize", "cmdLoadAlg", "cmdEditAlg", "cmdSaveAlg", "cmdSimplex", "cmdMarquardt", "cmdUserSummary",
    "cmdOneFunction", "cmdCovariance", "cmdBayesian", "cmdParEstimate", "cmdRank", kQuitButton, "lblModelName",
    "lblWelcome", "lblMinimize",
    // frmInitialize
    kDataFileBox, kDoneButton, "cmdSelect", "cboNSpecies", "lblNSpecies", "lblDataFile", "lblDataInput",
    "lblInstructions", "txtDataFormat", "txtInitialize", "lblNote",
    // frmAlgo and frmEditVS
    "grdVS", "cmdFinish", "cmdOpenLog", "cmdCloseLog", "cmdNext_Page", "cmdAllValues", "cmdFreeValues",
    "cmdValuesOnly", "cmdProportion", "cmdUnfuse", "cmdUpdate", "txtAbsRel", "lblAbsRel", "txtFileFreq",
    "lblFileFreq", "txtFileName", "lblFileName", "txtMaxFunctions", "lblMaxSimplex", "lblMaxMarquardt",
    "txtReduction", "lblReduction", "txtTerminalFreq", "lblTerminalFreq", "txtScaling", "txtValue", "fraLog",
    "fraOptions", "lblDo", "lblNote1", "lblNote2", "mnuEdit", "mnuFinish", "mnuProportion", "mnuStepSizes",
    "mnuUnfuse", "mnuValues", "mnuSep1", "mnuAlgApplication", "mnuAlgWindow", "mnuAlgCascade",
    "mnuAlgTileHorizontal", "mnuAlgTileVertical", "mnuAlgArrangeIcons", "mnuAlgExit",
    // the report windows
    kOneFunctionPane, kSimplexInitialPane, kSimplexPane, kMarquardtPane, kNextIterationButton, kContinueButton,
    kSummaryPane, kSaveSummaryButton,
    // frmXYPlot
    "picPlot", "listXVar", "listYVar", "cmdPlot", "cmdSavePicture", "txtXmin", "txtXmax", "txtYmin", "txtYmax", "lblXStart", "lblXEnd",
    "lblXZero", "lblYZero", "lblGraphMax", "lblGraphPage", "lblAverage", "lblCorr",
    // information windows
    "txtInformation",
    // frmRank
    "cmdAICc", "cmdQAICc", "cmdAverage", "cmdSaveRank", "grdRank", "txtCHat", "txtAverage", "lblRankModels",
    "lblAction", "lblCovariance", "lblDelete", "lblCovar", "lblNotes",
    // frmCovariance, frmCovData
    kCovariancePane, kCovarianceInterruptButton, kCovDataLabel, kCovDisplayButton, kCovSaveButton, kCovFinishButton,
    "txtExplanation",
    // frmPriorsLoader
    "cmdOpenPriors", "cmdSetPriors", "cmdUniformPriors",
    // frmPriors
    "grdPriors", "mnuPriorApplication", "mnuPriorMenu", "mnuPriorExit", "mnuEditPriors", "mnuPriorU", "mnuPriorT",
    "mnuPriorN", "mnuPriorE", "mnuPriorG", "mnuPriorB", "mnuPriorS", "mnuPriorD", "mnuPriorL", "mnuProfilePriors",
    "mnuSavePriors", "mnuHelpPriors", "mnuFinished", "mnuPriorWindow", "mnuPriorCascade", "mnuPriorTileHorizontal",
    "mnuPriorTileVertical", "mnuPriorArrangeIcons",
    // frmPriorProfile, frmReviewPriors, frmHelp
    kPriorProfilePane, "cmdSavePriorProfile", kReviewPriorsPane, "cmdSaveReview", kHelpPane,
    // frmParEvals, frmMaxLike, frmBayesian
    "cmdML", "cmdBP", "lblChoice", "lblNote3", "lblNote4", kMaxLikePane, "cmdSaveML", kBayesianPane, "cmdSaveBayesian",
    // frmDistPlot, frmBivarPlot
    "Graph", "listVar", "lblToPlot", "fraPlotOptions", "Check_Line", "Check_Scatter", "Check_Drop", "lblVar",
    "lblPlotInfo", "lblPlotInfoValues", "lblVerticalLine", "lblConfidenceInterval", "LegendBox", "lblXYMin",
    "lblXYMax", "lblPeak", "lblLineInfo",
    // frmSummary's way to the diagnostics, and frmDiagnostics
    "cmdDiagnostics", kDiagnosticsPane, "cmdSaveDiagnostics", "cmdSavePlots",
    // frmMenu's way to the jittered starts, and frmJitter
    "cmdCheckMinimum", kJitterPane, "cmdSaveJitter",
    // frmSummary's way to the hindcast, and frmHindcast
    "cmdHindcast", kHindcastPane, "txtPeels", "cboMinimizer", "chkAnalytical", "cmdRunHindcast", "cmdSaveHindcast",
};

bool IsKnownForm(std::string_view name);
// A control name, or a form addressed as its own control.
bool IsKnownControl(std::string_view name);

}  // namespace kalvex::ui::names
