#pragma once
// The Marquardt minimizer: damped Newton steps from numerical (or the
// model's analytical) derivatives, with an axial search confirming
// convergence.
#include "minimize/MinimizeResult.h"
#include "ui/MenuControls.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

using ui::kMarquardtForm;
inline constexpr const char* kMarquardtPane = "rtbMarquardt";
inline constexpr const char* kMarquardtCaption =
    "Marquardt minimization (uses derivatives; works best when model behaviour is close-to-linear; progress is "
    "insensitive to (non-zero) step sizes)";

// The relative step of the numerical derivatives.
inline constexpr double kRelativeStep = 0.001;

// Asks for numerical or analytical derivatives (ws.DerivativeMode "N"/"A")
// and whether to show them (ws.ShowDerivatives). False when cancelled.
bool MarquardtSetup(Workspace& ws, ui::Frontend& ui);

// One minimization on Values and ws.Free with ws.DerivativeMode. Values
// holds the last accepted point whatever way the run ends.
MinimizeResult RunMarquardt(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// The window's buttons and its closing.
void OnMarquardtInterruptPressed(Workspace& ws, ui::Frontend& ui);
void OnMarquardtNextIteration(Workspace& ws, ui::Frontend& ui);
void OnMarquardtContinue(Workspace& ws, ui::Frontend& ui);
// Returns true when the window may close (no main-menu Marquardt runs); the
// main menu is then shown again.
bool OnMarquardtWindowClosing(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
