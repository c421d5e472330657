#pragma once
// The controller of frmSimplex: its panes and its Interrupt button, what a
// Simplex run tells the window (MinimizerWindow), and whether the main-menu
// command runs (the window stays open until it has ended).
#include <functional>
#include <string_view>

#include "minimize/MinimizerWindow.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

class SimplexWindow : public MinimizerWindow {
 public:
  // showMenu brings the main menu back, its enabling rules applied.
  SimplexWindow(ui::Frontend& ui, std::function<void()> showMenu);

  void RunBegins() override;
  void InterruptOffered(bool offered) override;
  void Show(MinimizerReport report, std::string_view text) override;
  void RunEnded() override;

  // The main-menu command runs (the window may not close meanwhile).
  void CommandRuns(bool runs) { commandRuns_ = runs; }
  bool CommandRunning() const { return commandRuns_; }

  // The Interrupt button: the run asks at its next move.
  void InterruptPressed(Workspace& ws);
  // The window is being closed: its panes and the activity panels are
  // cleared. True when it may close (its command is not running); the main
  // menu is then shown again.
  bool Closing();

 private:
  ui::Frontend& ui_;
  std::function<void()> showMenu_;
  bool commandRuns_ = false;
};

}  // namespace kalvex
