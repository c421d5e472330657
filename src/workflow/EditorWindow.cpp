#include "workflow/EditorWindow.h"

#include "ui/Names.h"

namespace kalvex {

namespace names = ui::names;

EditorWindow::EditorWindow(ui::Frontend& ui, const std::function<void()>* show) : ui_(ui), show_(show) {}

void EditorWindow::Open(EditorCaller caller, std::string_view evaluationForm) {
  caller_ = caller;
  evaluationForm_ = evaluationForm;
  closed_ = false;
  if (show_ && *show_)
    (*show_)();
  else
    ui_.ShowWindow(names::kEditorForm);
}

void EditorWindow::OpenAndWait(EditorCaller caller, std::string_view evaluationForm) {
  Open(caller, evaluationForm);
  while (!closed_ && ui_.IsWindowOpen(names::kEditorForm)) ui_.WaitForEvents();
}

void EditorWindow::Closed() {
  closed_ = true;
  const EditorCaller caller = caller_;
  caller_ = EditorCaller::None;
  switch (caller) {
    case EditorCaller::Menu:
      if (returnToMenu)
        returnToMenu();
      else
        ui_.ShowWindow(names::kMenuForm);
      break;
    case EditorCaller::Ranking: ui_.ShowWindow(names::kRankForm); break;
    case EditorCaller::Evaluation: ui_.ShowWindow(evaluationForm_); break;
    case EditorCaller::None: break;
  }
}

}  // namespace kalvex
