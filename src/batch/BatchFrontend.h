#pragma once
// The front end of kalvex-batch: never blocks. Message boxes go to standard
// error as one line "title: text" (the notes only with --verbose);
// questions take fixed answers; file dialogs answer from paths the command
// line gave; a long run's progress is one line redrawn in place.
#include <deque>
#include <iosfwd>
#include <map>
#include <string>

#include "batch/ProgressLine.h"
#include "ui/Frontend.h"

namespace kalvex::batch {

// What goes to standard error besides warnings and errors.
struct BatchOutput {
  bool verbose = false;  // the notes and the questions answered by policy too
  ProgressMode progress = ProgressMode::Auto;
  bool terminal = false;  // standard error is a terminal
};

// A box that only says how things went or asks what the batch answers by
// policy: the completion notes, the derivative notes, the questions without
// a warning icon. Warnings and errors are never notes.
bool IsNote(std::string_view title, std::string_view text, int style);

class BatchFrontend : public ui::Frontend {
 public:
  explicit BatchFrontend(std::ostream& err, BatchOutput output = {})
      : err_(err), verbose_(output.verbose), progress_(err, output.progress, output.terminal) {}

  // The answer given to a question box with this title (default: No).
  void Answer(std::string title, ui::Answer answer) { answers_[std::move(title)] = answer; }
  // The answer given to an input box with this title (default: none, as
  // Cancel: the command that asks ends).
  void AnswerInput(std::string title, std::string answer) { inputs_[std::move(title)] = std::move(answer); }
  // The path the next save (or open) dialog answers with.
  void QueueSavePath(std::string path) { savePaths_.push_back(std::move(path)); }
  void QueueOpenPath(std::string path) { openPaths_.push_back(std::move(path)); }

  int MessageCount() const { return messageCount_; }
  // Shows only the boxes with the critical icon (the errors) from now on.
  void ShowOnlyErrors() { errorsOnly_ = true; }

  ui::Answer Message(std::string_view title, std::string_view text, int style) override;
  std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                   std::string_view defaultText) override;
  std::optional<std::string> OpenFile(const ui::FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const ui::FileDialog& dialog) override;
  void SetStatus(int, int, std::string_view) override {}
  void ClearStatusBars() override {}
  void ShowWindow(std::string_view) override {}
  void HideWindow(std::string_view) override {}
  void CloseWindow(std::string_view) override {}
  bool IsWindowOpen(std::string_view) const override { return false; }
  void SetPaneText(std::string_view form, std::string_view pane, std::string_view text) override;
  std::string PaneText(std::string_view form, std::string_view pane) const override;
  void SetEnabled(std::string_view, std::string_view, bool) override {}
  void SetVisible(std::string_view, std::string_view, bool) override {}
  void SetCaption(std::string_view, std::string_view, std::string_view) override {}
  void SetToolTip(std::string_view, std::string_view, std::string_view) override {}
  void SetFocus(std::string_view, std::string_view) override {}
  void PumpEvents(bool) override {}
  void ShowProgress(const ui::RunProgress& progress) override {
    if (!errorsOnly_) progress_.Show(progress);  // one line for an MPI run: the primary rank's
  }
  void EndProgress() override { progress_.End(); }
  ui::LocalDateTime Now() const override;

 private:
  std::ostream& err_;
  bool verbose_;
  ProgressLine progress_;
  std::map<std::string, ui::Answer, std::less<>> answers_;
  std::map<std::string, std::string, std::less<>> inputs_;
  std::deque<std::string> savePaths_, openPaths_;
  std::map<std::string, std::string, std::less<>> panes_;
  int messageCount_ = 0;
  bool errorsOnly_ = false;
};

}  // namespace kalvex::batch
