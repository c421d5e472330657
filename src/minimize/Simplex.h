#pragma once
// The interactive Simplex: the quiet kernel (SimplexKernel.h) with its
// reports to the window options.window (MinimizerWindow.h), the log, the
// questions and the profile mode, on a run context.
#include "minimize/MinimizeResult.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// One minimization on Values and ws.Free (NormalizeLinks and
// CollectFreeParameters done by the caller). Continues from ws.Simplex while
// SimplexStateKept is set. The best vertex is written back into Values
// except after the "Simplex error" box; after a numeric fault Values holds
// the lowest point evaluated.
MinimizeResult RunSimplex(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

}  // namespace kalvex
