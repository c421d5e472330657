#include "workflow/MinimizeCommands.h"

#include "minimize/Marquardt.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/MinimizerReports.h"
#include "minimize/Simplex.h"
#include "ui/Frontend.h"
#include "workflow/MainMenu.h"
#include "workspace/Workspace.h"

namespace kalvex {

void ShowMainMenu(const Workspace& ws, ui::Frontend& ui) {
  ui.ShowWindow(ui::kMenuForm);
  if (!ws.InitializeAlready) return;
  if (!ws.AlgorithmFileName.empty()) {
    ui::SetWorkflowButtonsEnabled(ui, true);
    return;
  }
  ui::SetWorkflowButtonsEnabled(ui, false);
  ui.SetEnabled(ui::kMenuForm, "cmdInitialize", true);
  ui.SetEnabled(ui::kMenuForm, "cmdLoadAlg", true);
}

MinimizeResult SimplexCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  return MainMenu(ws, ui).Simplex(options);
}

MinimizeResult MarquardtCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  return MainMenu(ws, ui).Marquardt(options);
}

bool OnSimplexWindowClosing(Workspace& ws, ui::Frontend& ui) {
  ui.SetPaneText(kSimplexForm, kSimplexInitialPane, "");
  ui.SetPaneText(kSimplexForm, kSimplexPane, "");
  ClearPanels(ui, 1, 4);
  if (ws.MinimizationRunning != 0) return false;
  ShowMainMenu(ws, ui);
  return true;
}

bool OnMarquardtWindowClosing(Workspace& ws, ui::Frontend& ui) {
  ui.SetPaneText(kMarquardtForm, kMarquardtPane, "");
  ws.DerivativeWait = 1;
  ws.ShowDerivatives = "no";
  HideStepButtons(ui);
  ClearPanels(ui, 1, 3);
  if (ws.MarquardtRunning != 0) return false;
  ShowMainMenu(ws, ui);
  return true;
}

}  // namespace kalvex
