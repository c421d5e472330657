#include "workflow/MarquardtWindow.h"

#include "minimize/MarquardtSetup.h"
#include "minimize/MinimizerReports.h"
#include "ui/Frontend.h"
#include "ui/Names.h"
#include "ui/RunContext.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

namespace names = ui::names;
constexpr std::string_view kForm = names::kMarquardtForm;
constexpr std::string_view kStepButtons[] = {names::kNextIterationButton, names::kContinueButton};

}  // namespace

MarquardtWindow::MarquardtWindow(ui::Frontend& ui, std::function<void()> showMenu)
    : ui_(ui), showMenu_(std::move(showMenu)) {}

void MarquardtWindow::RunBegins() {
  ui_.ShowWindow(kForm);
  ui_.SetEnabled(kForm, names::kStopButton, false);
  Show(MinimizerReport::Progress, "");
}

void MarquardtWindow::InterruptOffered(bool offered) {
  ui_.SetEnabled(kForm, names::kStopButton, offered);
  if (offered) ui_.SetCaption(kForm, names::kStopButton, "&Interrupt this minimization");
}

void MarquardtWindow::Show(MinimizerReport, std::string_view text) { ui_.SetPaneText(kForm, names::kMarquardtPane, text); }

void MarquardtWindow::StepButtons(bool shown) {
  for (std::string_view button : kStepButtons) {
    ui_.SetVisible(kForm, button, shown);
    ui_.SetEnabled(kForm, button, shown);
  }
}

void MarquardtWindow::HideStepButtons() {
  for (std::string_view button : kStepButtons) ui_.SetVisible(kForm, button, false);
}

void MarquardtWindow::StepAwaited(bool awaited) {
  if (awaited) waiting_ = true;
  StepButtons(awaited);
}

// Closing the window also releases the wait.
void MarquardtWindow::WaitForStep() {
  while (waiting_ && ui_.IsWindowOpen(kForm)) ui_.WaitForEvents();
}

// No more derivatives shown and nothing waits for a step.
void MarquardtWindow::StopShowingDerivatives() {
  waiting_ = false;
  showDerivatives_ = false;
  HideStepButtons();
}

void MarquardtWindow::MinimumReported() { StopShowingDerivatives(); }

// However it ended, the window is left as after a finished run: no
// interrupt to press, no step buttons, nothing waiting.
void MarquardtWindow::RunEnded() {
  ui_.SetEnabled(kForm, names::kStopButton, false);
  StepButtons(false);
  waiting_ = false;
}

void MarquardtWindow::Dismissed() { ui_.CloseWindow(kForm); }

std::optional<FitSettings> MarquardtWindow::AskSettings(Workspace& ws) {
  FitSettings settings;
  settings.method.minimizer = checks::FitMinimizer::Marquardt;
  if (!MarquardtSetup(ws, ui_, &settings.showDerivatives)) return std::nullopt;
  settings.method.derivatives = ws.DerivativeMode == "A" ? Derivatives::Analytical : Derivatives::Numerical;
  return settings;
}

void MarquardtWindow::BringToFront() {
  if (ui_.IsWindowOpen(kForm)) ui_.ShowWindow(kForm);
}

void MarquardtWindow::InterruptPressed(Workspace& ws) {
  InterruptToken(ws, InterruptFlag::Marquardt).Raise();
  ui_.SetEnabled(kForm, names::kStopButton, false);
  SetPanel(ui_, 2, "Interrupt pending...");
  for (std::string_view button : kStepButtons) ui_.SetEnabled(kForm, button, false);
  StopShowingDerivatives();
}

void MarquardtWindow::NextIteration() {
  waiting_ = false;
  HideStepButtons();
}

void MarquardtWindow::Continue() { StopShowingDerivatives(); }

bool MarquardtWindow::Closing() {
  Show(MinimizerReport::Progress, "");
  StopShowingDerivatives();
  ClearPanels(ui_, 1, 3);
  if (commandRuns_) return false;
  if (showMenu_) showMenu_();
  return true;
}

}  // namespace kalvex
