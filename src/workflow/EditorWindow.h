#pragma once
// The algorithm data editor's window: who opened it and gets the screen back
// when the edit ends, and whether it has ended. The editor's commands
// (AlgorithmEditor) only report that the edit ended.
#include <functional>
#include <string>
#include <string_view>

#include "ui/Frontend.h"

namespace kalvex {

// Who opened the editor; None: a caller that waits for the edit itself and
// shows nothing again.
enum class EditorCaller { None, Menu, Ranking, Evaluation };

class EditorWindow {
 public:
  // *show opens the editor filled from the workspace (the window layer's,
  // installed after the main menu is built; empty: frmAlgo is shown as it
  // is). A pointer, so that no temporary can stand in for the hook.
  EditorWindow(ui::Frontend& ui, const std::function<void()>* show);

  // Brings the main menu back after an edit opened from it; empty: frmMenu
  // is shown.
  std::function<void()> returnToMenu;

  // Opens the editor for caller; an evaluation names its report window,
  // shown again when the edit ends.
  void Open(EditorCaller caller, std::string_view evaluationForm = {});
  // Opens it and waits until the edit ended or the window went away.
  void OpenAndWait(EditorCaller caller, std::string_view evaluationForm = {});
  // The edit ended: the caller's window comes back.
  void Closed();

  // While an edit opened from the main menu is under way.
  bool OpenFromMenu() const { return caller_ == EditorCaller::Menu; }
  bool HasClosed() const { return closed_; }

 private:
  ui::Frontend& ui_;
  const std::function<void()>* show_;
  EditorCaller caller_ = EditorCaller::None;
  std::string evaluationForm_;
  bool closed_ = false;
};

}  // namespace kalvex
