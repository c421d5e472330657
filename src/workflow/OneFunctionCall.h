#pragma once
// The "1 Function call" action: one evaluation at the current values, shown
// with the time it took in the report pane of frmOneFunction.
#include <functional>
#include <string>

#include "ui/Frontend.h"
#include "ui/Names.h"
#include "workspace/Workspace.h"

namespace kalvex {

using ui::names::kOneFunctionForm;
using ui::names::kOneFunctionPane;

struct OneFunctionCallOptions {
  // Seconds on a steady clock; the default reads std::chrono::steady_clock.
  std::function<double()> seconds;
};

struct OneFunctionCallResult {
  bool evaluated = false;  // false when the evaluation raised a fault
  double objective = 0;
  double elapsedSeconds = 0;
  std::string text;
};

// The report text for an objective value and an elapsed time (CR LF lines).
std::string OneFunctionCallText(const AlgorithmData& alg, double objective, double elapsedSeconds);

// Elapsed seconds rounded to hundredths as the report shows them.
double RoundedElapsed(double seconds);

// Shows the window, evaluates with NF = 1 and fills the pane; while the
// priors are on, the prior review of the values follows. A numeric fault
// is reported in a message box and leaves the pane empty.
OneFunctionCallResult OneFunctionCallReport(Workspace& ws, ui::Frontend& ui,
                                            const OneFunctionCallOptions& options = {});

}  // namespace kalvex
