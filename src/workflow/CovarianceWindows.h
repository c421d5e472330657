#pragma once
// The covariance windows: the "Covariance calculations" log (frmCovariance:
// the log pane and its one button) and "Covariance data" (frmCovData: display,
// save, finish). The calculator's dialogue and run (covariance/) tell the log
// what happened; the windows forward their clicks here.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "covariance/CovarianceCalculator.h"
#include "ui/Frontend.h"
#include "ui/Names.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::workflow {

inline constexpr std::string_view kCovarianceLogForm = ui::names::kCovarianceForm;
inline constexpr std::string_view kCovarianceDataForm = ui::names::kCovDataForm;

inline constexpr const char* kCovarianceDataCaption = "Covariance data";
inline constexpr const char* kCovarianceLogCaption = "Covariance calculations";
inline constexpr const char* kInterruptCaption = "&Interrupt these calculations";
inline constexpr const char* kCovarianceExplanation =
    "If the results for numerically calculated SEs etc. are similar for all "
    "three grids,"
    " then the model's behaviour can be considered to be 'close-to-linear' and "
    "the"
    " uncertainty around the parameter estimates can be considered to be"
    " represented by a normal distribution.  Else the SEs etc. are probably"
    " inaccurate and parameter uncertainty is more difficult to interpret.  "
    "This"
    " problem tends to diminish as sample size increases and the central limit"
    " theorem starts to apply.  Alternatively, you can choose the option "
    "'Evaluate"
    " estimates' from the Main Menu, then use maximum-likelihood or Bayesian"
    " utilities to evaluate parameter uncertainty.";

enum class CovarianceDataMode {
  Completed,    // after a run: "Calculation completed. Do you wish to:"
  LastResults,  // the last results on request: "Do you wish to:"
};

class CovarianceWindows : public CovarianceLog {
 public:
  CovarianceWindows(Workspace& ws, ui::Frontend& ui) : ws_(ws), ui_(ui) {}

  // "&Single model covariances" after the main menu's own question: the
  // calculator's dialogue with its log in frmCovariance, then "Covariance
  // data" when the run completed.
  CovarianceRunEnd Calculate(CovarianceCalculatorOptions options);
  // A calculation is running: the log window stays open.
  bool Running() const { return running_; }

  // Opens "Covariance data" in front with the mode's caption; saving stays
  // disabled until the report is displayed.
  void ShowData(CovarianceDataMode mode);
  // "Display results on &screen": the report of ws.Covariance.Results
  // replaces the log pane's text (the log window opens when closed).
  void DisplayReport();
  // "Save &covariance results as...": the dialog, then the header line and
  // the pane's text written to the chosen file; the pane keeps the header.
  // The path saved to; nullopt when cancelled or failed (a failure is shown).
  std::optional<std::string> Save();
  // "&Finish display" (and closing "Covariance data"): both windows close and
  // status panel 1 is cleared. The caller shows the main menu again.
  void Finish();
  // The user closes "Covariance data" itself: the same without closing it.
  void DataClosing();

  // The log window's button: the interrupt while it has its first caption,
  // else "Covariance data" to the front.
  void LogButton();
  // The log window is closing; false keeps it open (a calculation is running).
  bool LogClosing();

  // What the run tells its log.
  void Started() override;
  void Changed(const std::string& log) override;
  void InterruptTaken() override;

 private:
  void SetLogButton(std::string_view caption, bool interrupts);

  Workspace& ws_;
  ui::Frontend& ui_;
  bool running_ = false;
  // The log's button reads "&Interrupt these calculations"; once a report
  // is shown it brings "Covariance data" forward instead.
  bool logButtonInterrupts_ = true;
};

}  // namespace kalvex::workflow
