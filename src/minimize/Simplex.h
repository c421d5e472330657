#pragma once
// The downhill Simplex minimizer over the FreeParameters, with an axial
// search that must confirm every proposed convergence.
#include "minimize/MinimizeResult.h"
#include "ui/MenuControls.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

using ui::kSimplexForm;
inline constexpr const char* kSimplexInitialPane = "rtbSimplexInitial";
inline constexpr const char* kSimplexPane = "rtbSimplex";

// One minimization on Values and ws.Free (NormalizeLinks and
// CollectFreeParameters done by the caller). Continues from ws.Simplex while
// SimplexStateKept is set. The best vertex is written back into Values
// except after the "Simplex error" box; after a numeric fault Values holds
// the lowest point evaluated.
MinimizeResult RunSimplex(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// The axial search around the best vertex of ws.Simplex. Returns true when
// convergence is verified (StopFlag = 1, final report written unless a
// profile point is being minimized); on failure the simplex is rebuilt
// around the lower point and RestartCount is increased.
bool VerifyConvergence(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// The window's interrupt button: the run asks at its next move.
void OnSimplexInterruptPressed(Workspace& ws, ui::Frontend& ui);

// The window is being closed: clears its panes and the activity panels.
// Returns true when the window may close (no main-menu Simplex runs); the
// main menu is then shown again.
bool OnSimplexWindowClosing(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
