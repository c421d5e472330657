#pragma once
// The main-menu commands "Simple&x" and "&Marquardt" as one path for the
// windows and kalvex-batch.
#include "minimize/MinimizeResult.h"
#include "workflow/FitSettings.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// "Simple&x" (MainMenu::Simplex): normalizes the links, collects the
// FreeParameters and runs the Simplex (continuing a kept simplex).
// NothingToDo when every step is 0.
MinimizeResult SimplexCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// "&Marquardt" (MainMenu::Marquardt): the derivative setup, then the run.
// Cancelled when the setup is cancelled, NothingToDo when every step is 0.
MinimizeResult MarquardtCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

// Either, the Marquardt setup answered by settings (MainMenu::Fit).
MinimizeResult FitCommand(Workspace& ws, ui::Frontend& ui, const FitSettings& settings);

}  // namespace kalvex
