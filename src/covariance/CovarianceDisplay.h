#pragma once
// The two covariance windows' commands: "Covariance data" (display, save,
// finish) and the "Covariance calculations" log window's button and close.
// The windows build their widgets and forward their clicks here.
#include <optional>
#include <string>

#include "ui/Names.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

enum class CovarianceDataMode {
  Completed,    // after a run: "Calculation completed. Do you wish to:"
  LastResults,  // the last results on request: "Do you wish to:"
};

inline constexpr const char* kCovarianceDataCaption = "Covariance data";
inline constexpr const char* kCovarianceLogCaption = "Covariance calculations";
inline constexpr const char* kCovarianceExplanation =
    "If the results for numerically calculated SEs etc. are similar for all three grids,"
    " then the model's behaviour can be considered to be 'close-to-linear' and the"
    " uncertainty around the parameter estimates can be considered to be"
    " represented by a normal distribution.  Else the SEs etc. are probably"
    " inaccurate and parameter uncertainty is more difficult to interpret.  This"
    " problem tends to diminish as sample size increases and the central limit"
    " theorem starts to apply.  Alternatively, you can choose the option 'Evaluate"
    " estimates' from the Main Menu, then use maximum-likelihood or Bayesian"
    " utilities to evaluate parameter uncertainty.";

// Opens "Covariance data" in front with the mode's caption; saving stays
// disabled until the report is displayed.
void ShowCovarianceData(Workspace& ws, ui::Frontend& ui, CovarianceDataMode mode);

// "Display results on &screen": the report of ws.Covariance.Results
// replaces the log pane's text (the log window opens when closed).
void CollateCovarianceReport(Workspace& ws, ui::Frontend& ui);

// "Save &covariance results as...": the dialog, then the header line and
// the pane's text written to the chosen file; the pane keeps the header.
// The path saved to; nullopt when cancelled or failed (a failure is shown).
std::optional<std::string> SaveCovarianceFile(Workspace& ws, ui::Frontend& ui);

// "&Finish display" (and closing "Covariance data"): both windows close and
// status panel 1 is cleared. The caller shows the main menu again.
void FinishCovarianceDisplay(Workspace& ws, ui::Frontend& ui);
// The user closes "Covariance data" itself: the same without closing it.
void OnCovarianceDataClosing(Workspace& ws, ui::Frontend& ui);

// The log window's button: the interrupt while it has its first caption,
// else "Covariance data" to the front.
void OnCovarianceLogButton(Workspace& ws, ui::Frontend& ui);

// The log window is closing; false keeps it open (a calculation is running).
bool OnCovarianceLogClosing(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
