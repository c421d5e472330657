#include "minimize/MinimizeCommands.h"

#include "minimize/Marquardt.h"
#include "minimize/Simplex.h"
#include "ui/Frontend.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

// Disables the menu for the run; whatever way the run leaves, the running
// flag is cleared and the menu comes back usable.
class BusyMenu {
 public:
  BusyMenu(Workspace& ws, ui::Frontend& ui, int16_t& running) : ws_(ws), ui_(ui), running_(running) {
    running_ = -1;
    CloseAnalysisWindows(ui_);
    SetWorkflowEnabled(ui_, false);
    ui_.HideWindow(kMenuForm);
    ui_.SetEnabled(kMainForm, kApplicationMenu, false);
  }
  ~BusyMenu() {
    if (released_) return;
    try {
      Release();
    } catch (...) {  // already unwinding from the run's own failure
    }
  }
  void Release() {
    released_ = true;
    ShowMainMenu(ws_, ui_);
    ui_.SetEnabled(kMainForm, kApplicationMenu, true);
    SetWorkflowEnabled(ui_, true);
    running_ = 0;
  }
  BusyMenu(const BusyMenu&) = delete;
  BusyMenu& operator=(const BusyMenu&) = delete;

 private:
  Workspace& ws_;
  ui::Frontend& ui_;
  int16_t& running_;
  bool released_ = false;
};

MinimizeResult NothingToDo(BusyMenu& busy, ui::Frontend& ui) {
  busy.Release();
  ui.Message("There is nothing to do!", "All step sizes are zero", ui::style::kExclamation);
  MinimizeResult result;
  result.end = RunEnd::NothingToDo;
  return result;
}

}  // namespace

void SetWorkflowEnabled(ui::Frontend& ui, bool enabled) {
  for (const char* button : kWorkflowButtons) ui.SetEnabled(kMenuForm, button, enabled);
}

void ShowMainMenu(const Workspace& ws, ui::Frontend& ui) {
  ui.ShowWindow(kMenuForm);
  if (!ws.InitializeAlready) return;
  if (!ws.AlgorithmFileName.empty()) {
    SetWorkflowEnabled(ui, true);
    return;
  }
  SetWorkflowEnabled(ui, false);
  ui.SetEnabled(kMenuForm, "cmdInitialize", true);
  ui.SetEnabled(kMenuForm, "cmdLoadAlg", true);
}

void CloseAnalysisWindows(ui::Frontend& ui) {
  for (const char* form : {kOneFunctionForm, kSimplexForm, kMarquardtForm})
    if (ui.IsWindowOpen(form)) ui.CloseWindow(form);
}

MinimizeResult SimplexCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  BusyMenu busy(ws, ui, ws.MinimizationRunning);
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  if (ws.Free.FreeCount == 0) return NothingToDo(busy, ui);
  ws.CovarianceResultsValid = kOff;
  MinimizeResult result = RunSimplex(ws, ui, options);
  busy.Release();
  return result;
}

MinimizeResult MarquardtCommand(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options) {
  BusyMenu busy(ws, ui, ws.MarquardtRunning);
  if (!MarquardtSetup(ws, ui)) {
    busy.Release();
    MinimizeResult result;
    result.end = RunEnd::Cancelled;
    return result;
  }
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  if (ws.Free.FreeCount == 0) return NothingToDo(busy, ui);
  ws.CovarianceResultsValid = kOff;
  int16_t terminalFrequency = ws.Alg.TerminalFrequency;
  MinimizeResult result = RunMarquardt(ws, ui, options);
  ws.SimplexStateKept = false;
  ws.Alg.TerminalFrequency = terminalFrequency;
  busy.Release();
  return result;
}

}  // namespace kalvex
