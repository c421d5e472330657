#pragma once
// The interactive Marquardt: the quiet kernel (MarquardtKernel.h) with its
// reports and derivative display to the window options.window
// (MinimizerWindow.h), the log, the questions and the profile mode, on a run
// context.
#include "minimize/MinimizeResult.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// One minimization on Values and ws.Free with ws.DerivativeMode. Values
// holds the last accepted point whatever way the run ends.
MinimizeResult RunMarquardt(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

}  // namespace kalvex
