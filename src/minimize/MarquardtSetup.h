#pragma once
// The questions before a Marquardt run: the derivative kind, and whether
// the derivatives are shown after every iteration.
namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// Asks for numerical or analytical derivatives (ws.DerivativeMode "N"/"A")
// and whether to show them (*showDerivatives, when given). False when
// cancelled.
bool MarquardtSetup(Workspace& ws, ui::Frontend& ui, bool* showDerivatives = nullptr);

}  // namespace kalvex
