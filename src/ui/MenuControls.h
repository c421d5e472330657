#pragma once
// Names and small operations on the main menu shared by every command that
// disables and re-enables the workflow or closes the analysis windows.
#include <array>
#include <string_view>

namespace kalvex::ui {

class Frontend;

inline constexpr std::string_view kMainForm = "frmMain";
inline constexpr std::string_view kMenuForm = "frmMenu";
inline constexpr std::string_view kApplicationMenu = "mnuApplication";
inline constexpr std::string_view kOneFunctionForm = "frmOneFunction";
inline constexpr std::string_view kSimplexForm = "frmSimplex";
inline constexpr std::string_view kMarquardtForm = "frmMarquardt";

// The twelve workflow buttons of the main menu (Quit is not one of them).
inline constexpr std::array<std::string_view, 12> kWorkflowButtons = {
    "cmdInitialize",  "cmdLoadAlg",     "cmdEditAlg",    "cmdSaveAlg",  "cmdSimplex",     "cmdMarquardt",
    "cmdUserSummary", "cmdOneFunction", "cmdCovariance", "cmdBayesian", "cmdParEstimate", "cmdRank"};

void SetWorkflowButtonsEnabled(Frontend& ui, bool enabled);

// Closes the one-function-call, Simplex and Marquardt windows if open.
void CloseAnalysisWindows(Frontend& ui);

}  // namespace kalvex::ui
