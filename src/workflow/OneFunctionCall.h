#pragma once
// The "1 Function call" action: one evaluation at the current values, shown
// with the time it took in the report pane of frmOneFunction.
#include <cstdint>
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
  // When the evaluation took less than this, it is repeated until the
  // repetitions have run at least this long, to give a time per call.
  double timingSeconds = 0.25;
};

// The time of one evaluation as a mean over repeated ones.
struct CallTiming {
  double secondsPerCall = 0;
  int64_t calls = 0;  // 0: not measured
};

struct OneFunctionCallResult {
  bool evaluated = false;  // false when the evaluation raised a fault
  double objective = 0;
  double elapsedSeconds = 0;
  CallTiming timing;
  std::string text;
};

// The report text for an objective value and an elapsed time (CR LF lines),
// with the measured time per call below when there is one.
std::string OneFunctionCallText(const AlgorithmData& alg, double objective, double elapsedSeconds,
                                const CallTiming& timing = {});

// "Note: One function call takes 1.9 microseconds (mean of 10000 calls)".
std::string CallTimingLine(const CallTiming& timing);

// Elapsed seconds rounded to hundredths as the report shows them.
double RoundedElapsed(double seconds);

// Shows the window, evaluates with NF = 1 and fills the pane; while the
// priors are on, the prior review of the values follows. A quick evaluation
// is repeated on a copy of the values to time it: each repetition is the
// same NF = 1 call on the same values, so the best-fit record, the call
// count and Values end as one evaluation leaves them. A numeric fault is
// reported in a message box and leaves the pane empty.
OneFunctionCallResult OneFunctionCallReport(Workspace& ws, ui::Frontend& ui,
                                            const OneFunctionCallOptions& options = {});

}  // namespace kalvex
