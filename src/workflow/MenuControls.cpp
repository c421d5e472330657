#include "workflow/MenuControls.h"

#include "ui/Frontend.h"

namespace kalvex::ui {

void SetWorkflowButtonsEnabled(Frontend& ui, bool enabled) {
  for (std::string_view button : kWorkflowButtons) ui.SetEnabled(kMenuForm, button, enabled);
}

void CloseAnalysisWindows(Frontend& ui) {
  for (std::string_view form : {kOneFunctionForm, kSimplexForm, kMarquardtForm})
    if (ui.IsWindowOpen(form)) ui.CloseWindow(form);
}

}  // namespace kalvex::ui
