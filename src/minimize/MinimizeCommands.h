#pragma once
// The main-menu commands "Simple&x" and "&Marquardt" and the menu state they
// change: the twelve workflow buttons, the "&Application" menu and the
// main-menu window.
#include "minimize/MinimizeResult.h"
#include "ui/MenuControls.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// Shows frmMenu and applies its enabling rules: once the model is
// initialized, all twelve buttons with algorithm data, else only Initialize
// and Load.
void ShowMainMenu(const Workspace& ws, ui::Frontend& ui);

// "Simple&x": normalizes the links, collects the FreeParameters and runs the
// Simplex (continuing a kept simplex). NothingToDo when every step is 0.
MinimizeResult SimplexCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// "&Marquardt": the derivative setup, then the run. Cancelled when the
// setup is cancelled, NothingToDo when every step is 0.
MinimizeResult MarquardtCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

}  // namespace kalvex
