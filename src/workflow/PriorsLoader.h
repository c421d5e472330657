#pragma once
// The "Load Bayesian priors" window (frmPriorsLoader) and its commands:
// open a priors file, go to the prior editor, or reset every prior to
// uniform-unbounded. The window that opened the loader (the main menu, the
// model ranking) is hidden while it is open and shown again through
// showCaller when it closes.
#include <functional>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

class PriorEditor;

class PriorsLoader {
 public:
  PriorsLoader(Workspace& ws, ui::Frontend& ui, PriorEditor& editor);

  // Shows the loader and switches the priors on; the caller has hidden itself.
  void Open(std::function<void()> showCaller);

  // "&Open an existing Bayesian Priors file"
  void OpenFile();
  // "&Set or reset prior distributions"
  void SetOrReset();
  // "Set &uniform-unbounded prior distributions"
  void SetUniform();
  // "&Cancel"
  void Cancel();
  // The window is closing (by any path): the priors follow their rule and
  // the caller comes back.
  void Closed();

 private:
  void Close();
  void ShowCaller();
  void SetDefaults();

  Workspace& ws_;
  ui::Frontend& ui_;
  PriorEditor& editor_;
  std::function<void()> showCaller_;
};

}  // namespace kalvex
