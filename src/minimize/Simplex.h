#pragma once
// The interactive Simplex: the quiet kernel (SimplexKernel.h) with the
// window frmSimplex, its reports, the log, the questions and the profile
// mode, on a run context.
#include "minimize/MinimizeResult.h"
#include "ui/Names.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

using ui::names::kSimplexForm;
using ui::names::kSimplexInitialPane;
using ui::names::kSimplexPane;

// One minimization on Values and ws.Free (NormalizeLinks and
// CollectFreeParameters done by the caller). Continues from ws.Simplex while
// SimplexStateKept is set. The best vertex is written back into Values
// except after the "Simplex error" box; after a numeric fault Values holds
// the lowest point evaluated.
MinimizeResult RunSimplex(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// The window's interrupt button: the run asks at its next move.
void OnSimplexInterruptPressed(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
