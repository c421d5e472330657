#include "workflow/MinimizeCommands.h"

#include "workflow/MainMenu.h"

namespace kalvex {

MinimizeResult SimplexCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  return MainMenu(ws, ui).Simplex(options);
}

MinimizeResult MarquardtCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  return MainMenu(ws, ui).Marquardt(options);
}

MinimizeResult FitCommand(Workspace& ws, ui::Frontend& ui, const FitSettings& settings) {
  return MainMenu(ws, ui).Fit(settings);
}

}  // namespace kalvex
