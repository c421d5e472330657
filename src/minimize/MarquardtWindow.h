#pragma once
// The Marquardt setup questions and the buttons of frmMarquardt.
namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// Asks for numerical or analytical derivatives (ws.DerivativeMode "N"/"A")
// and whether to show them (ws.ShowDerivatives). False when cancelled.
bool MarquardtSetup(Workspace& ws, ui::Frontend& ui);

// The window's buttons.
void OnMarquardtInterruptPressed(Workspace& ws, ui::Frontend& ui);
void OnMarquardtNextIteration(Workspace& ws, ui::Frontend& ui);
void OnMarquardtContinue(Workspace& ws, ui::Frontend& ui);
// Hides cmdIteration and cmdContinue.
void HideStepButtons(ui::Frontend& ui);

}  // namespace kalvex
