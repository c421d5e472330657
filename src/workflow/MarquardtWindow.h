#pragma once
// The controller of frmMarquardt: its pane and buttons (Interrupt, Next
// iteration, Continue), what a Marquardt run tells the window
// (MinimizerWindow), whether the derivatives are shown and the run waits
// over them, and whether the main-menu command runs.
#include <functional>
#include <optional>
#include <string_view>

#include "minimize/MinimizerWindow.h"
#include "workflow/FitSettings.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

inline constexpr const char* kMarquardtCaption =
    "Marquardt minimization (uses derivatives; works best when model behaviour is close-to-linear; progress is "
    "insensitive to (non-zero) step sizes)";

class MarquardtWindow : public MinimizerWindow {
 public:
  // showMenu brings the main menu back, its enabling rules applied.
  MarquardtWindow(ui::Frontend& ui, std::function<void()> showMenu);

  void RunBegins() override;
  void InterruptOffered(bool offered) override;
  void Show(MinimizerReport report, std::string_view text) override;
  bool DerivativesWanted() const override { return showDerivatives_; }
  void StepAwaited(bool awaited) override;
  void WaitForStep() override;
  void MinimumReported() override;
  void RunEnded() override;
  void Dismissed() override;

  // The setup questions (MarquardtSetup.h) as a fit's settings; nullopt
  // when cancelled.
  std::optional<FitSettings> AskSettings(Workspace& ws);
  // Whether the derivatives are shown (answered beforehand).
  void DisplayDerivatives(bool display) { showDerivatives_ = display; }

  // The main-menu command runs (the window may not close meanwhile).
  void CommandRuns(bool runs) { commandRuns_ = runs; }
  bool CommandRunning() const { return commandRuns_; }
  // The run waits for Next iteration or Continue.
  bool Waiting() const { return waiting_; }
  // After a run: the window, if open, in front of the menu.
  void BringToFront();

  // The buttons.
  void InterruptPressed(Workspace& ws);
  void NextIteration();
  void Continue();
  // The window is being closed: its pane and the activity panels are
  // cleared and no wait is left. True when it may close (its command is
  // not running); the main menu is then shown again.
  bool Closing();

 private:
  void StepButtons(bool shown);
  void HideStepButtons();
  void StopShowingDerivatives();

  ui::Frontend& ui_;
  std::function<void()> showMenu_;
  bool showDerivatives_ = false;
  bool waiting_ = false;
  bool commandRuns_ = false;
};

}  // namespace kalvex
