#pragma once
// What a minimization tells the window that shows it, in the run's own
// words. The window's controller (src/workflow) turns them into its
// controls, their enabling and the window's flags; a run nobody watches
// (kalvex-batch, a profile point without a window) tells the base class,
// which does nothing.
#include <string_view>

namespace kalvex {

// The reports of a run: where it started (the Simplex's initial simplex)
// and how it goes on, down to the minimum.
enum class MinimizerReport { Start, Progress };

class MinimizerWindow {
 public:
  virtual ~MinimizerWindow() = default;
  // A run begins: the window shows, its reports empty.
  virtual void RunBegins() {}
  // From now on the run takes an interrupt (false: no longer).
  virtual void InterruptOffered(bool offered) { (void)offered; }
  virtual void Show(MinimizerReport report, std::string_view text) { (void)report, (void)text; }
  // Whether the person asked to see the derivatives after every iteration.
  virtual bool DerivativesWanted() const { return false; }
  // The derivatives are being shown and the run will wait for a step (or,
  // false, shows none and waits for nothing).
  virtual void StepAwaited(bool awaited) { (void)awaited; }
  // Returns once the person asked for the next step or closed the window.
  virtual void WaitForStep() {}
  // The minimum is reported: no more derivatives, no more waiting.
  virtual void MinimumReported() {}
  // The run is over, whatever way: nothing is left to interrupt or step.
  virtual void RunEnded() {}
  // The run ended with nothing worth keeping on screen.
  virtual void Dismissed() {}
};

}  // namespace kalvex
