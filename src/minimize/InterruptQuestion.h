#pragma once
// The questions a minimizer puts when its interrupt is pending, shared by the
// interactive drivers of the Simplex and of Marquardt.
#include "minimize/MinimizeResult.h"

namespace kalvex {
class RunContext;
class MinimizerWindow;

enum class InterruptChoice {
  None,           // no interrupt pending
  GoOn,           // the user declined to stop
  Quit,           // quit minimizing (outside a profile)
  QuitProcedure,  // quit the whole ML procedure (the profile point is moved past the last)
  NextPoint,      // end this point, the procedure goes on with the next one
};

// When the run's interrupt is pending: clears it, offers the window's
// interrupt again, empties the given activity panel and asks what to do.
// While a profile point is minimized (profiling) the questions are those of the ML
// procedure.
InterruptChoice AskAfterInterrupt(RunContext& run, MinimizerWindow& window, int panelToClear, bool profiling,
                                  ProfilePoint* point);

}  // namespace kalvex
