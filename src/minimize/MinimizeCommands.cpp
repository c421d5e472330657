#include "minimize/MinimizeCommands.h"

#include "minimize/Marquardt.h"
#include "minimize/MarquardtWindow.h"
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
    ui::CloseAnalysisWindows(ui_);
    ui::SetWorkflowButtonsEnabled(ui_, false);
    ui_.HideWindow(ui::kMenuForm);
    ui_.SetEnabled(ui::kMainForm, ui::kApplicationMenu, false);
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
    ui_.SetEnabled(ui::kMainForm, ui::kApplicationMenu, true);
    ui::SetWorkflowButtonsEnabled(ui_, true);
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
