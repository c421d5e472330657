#pragma once
// Small operations on the main menu shared by every command that disables
// and re-enables the workflow or closes the analysis windows.
#include <array>
#include <string_view>

#include "ui/Names.h"

namespace kalvex::ui {

class Frontend;

using names::kApplicationMenu;
using names::kMainForm;
using names::kMarquardtForm;
using names::kMenuForm;
using names::kOneFunctionForm;
using names::kSimplexForm;
using names::kWorkflowButtons;

void SetWorkflowButtonsEnabled(Frontend& ui, bool enabled);

// Closes the one-function-call, Simplex and Marquardt windows if open.
void CloseAnalysisWindows(Frontend& ui);

}  // namespace kalvex::ui
