#pragma once
// A minimizer with its window: the interactive driver (reports told to the
// window, log, questions, profile mode) around a quiet kernel on a problem,
// on a run context of its own. The main-menu commands run one inside that context's
// fault handling (RunSimplex, RunMarquardt); a likelihood profile runs one
// per point inside its own run, so that a numeric fault ends the whole
// profile and is reported once.
#include <memory>
#include <vector>

#include "minimize/MinimizeResult.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;
class Problem;
class RunContext;

class WindowMinimizer {
 public:
  virtual ~WindowMinimizer() = default;
  // The window shown and made ready, the kernel run, the window left as
  // after a finished run. A NumericFault passes through.
  virtual MinimizeResult Run() = 0;
  // The full vector whose evaluation raised the fault.
  virtual const std::vector<double>& FaultVector() const = 0;
  // After a fault: the state repaired as the minimizer promises, the counts.
  virtual MinimizeResult AfterFault() = 0;
  virtual RunContext& Context() = 0;
};

enum class MinimizerKind { Simplex, Marquardt };

// The minimizer on problem (made from ws after the links were normalized and
// the free parameters collected); ws provides the report texts, the log,
// the kept simplex and the derivative choice, options.window the window that
// shows the run (none when empty). problem, ws, ui and options must outlive
// it.
std::unique_ptr<WindowMinimizer> MakeWindowMinimizer(MinimizerKind kind, Workspace& ws, ui::Frontend& ui,
                                                     Problem& problem, const MinimizeOptions& options);
std::unique_ptr<WindowMinimizer> MakeSimplexOnWindow(Workspace& ws, ui::Frontend& ui, Problem& problem,
                                                     const MinimizeOptions& options);
std::unique_ptr<WindowMinimizer> MakeMarquardtOnWindow(Workspace& ws, ui::Frontend& ui, Problem& problem,
                                                       const MinimizeOptions& options);

}  // namespace kalvex
