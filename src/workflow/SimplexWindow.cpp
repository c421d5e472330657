#include "workflow/SimplexWindow.h"

#include "minimize/MinimizerReports.h"
#include "ui/Frontend.h"
#include "ui/Names.h"
#include "ui/RunContext.h"

namespace kalvex {
namespace {

namespace names = ui::names;

std::string_view PaneOf(MinimizerReport report) {
  return report == MinimizerReport::Start ? names::kSimplexInitialPane : names::kSimplexPane;
}

}  // namespace

SimplexWindow::SimplexWindow(ui::Frontend& ui, std::function<void()> showMenu)
    : ui_(ui), showMenu_(std::move(showMenu)) {}

void SimplexWindow::RunBegins() {
  ui_.ShowWindow(names::kSimplexForm);
  Show(MinimizerReport::Start, "");
  Show(MinimizerReport::Progress, "");
  InterruptOffered(true);
  ui_.SetCaption(names::kSimplexForm, names::kStopButton, "&Interrupt this minimization");
}

void SimplexWindow::InterruptOffered(bool offered) { ui_.SetEnabled(names::kSimplexForm, names::kStopButton, offered); }

void SimplexWindow::Show(MinimizerReport report, std::string_view text) {
  ui_.SetPaneText(names::kSimplexForm, PaneOf(report), text);
}

void SimplexWindow::RunEnded() { InterruptOffered(false); }

void SimplexWindow::InterruptPressed(Workspace& ws) {
  InterruptToken(ws, InterruptFlag::Simplex).Raise();
  InterruptOffered(false);
  SetPanel(ui_, 1, "Interrupt pending...");
}

bool SimplexWindow::Closing() {
  Show(MinimizerReport::Start, "");
  Show(MinimizerReport::Progress, "");
  ClearPanels(ui_, 1, 4);
  if (commandRuns_) return false;
  if (showMenu_) showMenu_();
  return true;
}

}  // namespace kalvex
