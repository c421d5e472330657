#pragma once
// The interactive Marquardt: the quiet kernel (MarquardtKernel.h) with the
// window frmMarquardt, its reports and derivative display, the log, the
// questions and the profile mode, on a run context.
#include "minimize/MinimizeResult.h"
#include "ui/Names.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

using ui::names::kMarquardtForm;
using ui::names::kMarquardtPane;
inline constexpr const char* kMarquardtCaption =
    "Marquardt minimization (uses derivatives; works best when model behaviour is close-to-linear; progress is "
    "insensitive to (non-zero) step sizes)";

// One minimization on Values and ws.Free with ws.DerivativeMode. Values
// holds the last accepted point whatever way the run ends.
MinimizeResult RunMarquardt(Workspace& ws, ui::Frontend& ui, const MinimizeOptions& options = {});

}  // namespace kalvex
