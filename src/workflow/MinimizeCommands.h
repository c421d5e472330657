#pragma once
// The main-menu commands "Simple&x" and "&Marquardt" as one path for the
// windows and kalvex-batch, and what closing a minimizer window does to the
// main menu.
#include "minimize/MinimizeResult.h"
#include "workflow/MenuControls.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// Shows frmMenu and applies its enabling rules: once the model is
// initialized, all twelve buttons with algorithm data, else only Initialize
// and Load.
void ShowMainMenu(const Workspace& ws, ui::Frontend& ui);

// "Simple&x" (MainMenu::Simplex): normalizes the links, collects the
// FreeParameters and runs the Simplex (continuing a kept simplex).
// NothingToDo when every step is 0.
MinimizeResult SimplexCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// "&Marquardt" (MainMenu::Marquardt): the derivative setup, then the run.
// Cancelled when the setup is cancelled, NothingToDo when every step is 0.
MinimizeResult MarquardtCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// The minimizer windows are being closed: their panes and the activity
// panels are cleared. True when the window may close (its main-menu command
// is not running); the main menu is then shown again.
bool OnSimplexWindowClosing(Workspace& ws, ui::Frontend& ui);
bool OnMarquardtWindowClosing(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
