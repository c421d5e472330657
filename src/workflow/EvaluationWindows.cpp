#include "workflow/EvaluationWindows.h"

#include "ui/Names.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

namespace names = ui::names;

// The main window's menus a posterior hides while it runs.
constexpr std::string_view kPosteriorHiddenMenus[] = {"mnuWindow", "mnuAbout", "mnuWisdom", "mnuDefaultNames"};

// Where a report pane is saved and how its dialog asks.
struct ReportSave {
  std::string_view form, pane;
  const char *title, *filter, *extension, *what;
};

constexpr ReportSave kProfileSave{names::kMaxLikeForm, names::kMaxLikePane, "Save maximum-likelihood values in...",
                                  "All files (*.*)|*.*|Max-like files (*.mlc)|*.mlc", ".mlc",
                                  "The maximum-likelihood data"};
constexpr ReportSave kPosteriorSave{names::kBayesianForm, names::kBayesianPane, "Save Bayesian posterior values in...",
                                    "All files (*.*)|*.*|Bayesian posterior files (*.pos)|*.pos", ".pos",
                                    "The Bayesian posterior data"};

std::optional<std::string> SaveReportPane(const Workspace& ws, ui::Frontend& ui, const ReportSave& save) {
  const ui::FileDialog dialog = ui::SaveDialogBeside(ws.AlgorithmFileName, save.title, save.filter, save.extension);
  return ui::SavePaneToFile(ui, save.form, save.pane, dialog, save.what);
}

}  // namespace

EvaluationReportWindow::EvaluationReportWindow(ui::Frontend& ui, EditorWindow& editor, std::function<void()> showMenu,
                                               std::string_view form, std::string_view pane)
    : ui_(ui), editor_(editor), showMenu_(std::move(showMenu)), form_(form), pane_(pane) {}

void EvaluationReportWindow::ShowReport(const std::string& text) {
  ui_.ShowWindow(form_);
  ui_.SetPaneText(form_, pane_, text);
}

void EvaluationReportWindow::EditValuesAndSteps() { editor_.OpenAndWait(EditorCaller::Evaluation, form_); }

void EvaluationReportWindow::Ended() {
  if (showMenu_)
    showMenu_();
  else
    ui_.ShowWindow(names::kMenuForm);
  HideRunControls();
}

void EvaluationReportWindow::ShowMainControl(std::string_view control, bool visible) {
  ui_.SetVisible(names::kMainForm, control, visible);
}

ProfileWindow::ProfileWindow(ui::Frontend& ui, EditorWindow& editor, std::function<void()> showMenu)
    : EvaluationReportWindow(ui, editor, std::move(showMenu), names::kMaxLikeForm, names::kMaxLikePane) {}

void ProfileWindow::PointsStarting(bool minimizing) {
  ShowMainControl("stbMain4", true);
  if (!minimizing) ShowMainControl(names::kInterruptMLMenuBar, true);
}

void ProfileWindow::HideRunControls() {
  ShowMainControl(names::kInterruptMLMenuBar, false);
  ShowMainControl("stbMain4", false);
}

PosteriorWindow::PosteriorWindow(ui::Frontend& ui, EditorWindow& editor, std::function<void()> showMenu)
    : EvaluationReportWindow(ui, editor, std::move(showMenu), names::kBayesianForm, names::kBayesianPane) {}

void PosteriorWindow::PointsStarting(bool) {
  ShowMainControl("stbMain2", true);
  ShowMainControl("stbMain4", true);
  ShowMainControl(names::kInterruptBayesMenuBar, true);
  for (std::string_view menu : kPosteriorHiddenMenus) ShowMainControl(menu, false);
  ui_.HideWindow(names::kMenuForm);
}

void PosteriorWindow::IntegrationStarted() { ShowMainControl("stbMain3", true); }

void PosteriorWindow::HideRunControls() {
  for (std::string_view bar : {"stbMain2", "stbMain3", "stbMain4"}) ShowMainControl(bar, false);
  ShowMainControl(names::kInterruptBayesMenuBar, false);
  for (std::string_view menu : kPosteriorHiddenMenus) ShowMainControl(menu, true);
}

std::optional<std::string> SaveLikelihoodProfile(const Workspace& ws, ui::Frontend& ui) {
  return SaveReportPane(ws, ui, kProfileSave);
}

std::optional<std::string> SavePosterior(const Workspace& ws, ui::Frontend& ui) {
  return SaveReportPane(ws, ui, kPosteriorSave);
}

}  // namespace kalvex
