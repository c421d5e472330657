#pragma once
// The front end of kalvex-batch: never blocks. Message boxes go to standard
// error as one line "title: text" (the notes only with --verbose); the
// commands fill the analyses' settings from their options, so a question
// that still comes is answered No, an input box and a file dialog as
// cancelled; a long run's progress is one line redrawn in place.
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

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

  int MessageCount() const { return messageCount_; }
  // For an MPI rank other than 0: from now on only the boxes with the
  // critical icon (the errors) are shown at once, each line opened by
  // "rank N: "; the others that rank 0 would show are held for EndRun.
  void ShowOnlyErrors(int rank) {
    errorsOnly_ = true;
    rankPrefix_ = "rank " + std::to_string(rank) + ": ";
  }
  // A rank that failed alone may have met what no other rank met (a file
  // missing on its machine): the messages held are shown then.
  void EndRun(bool failed);

  ui::Answer Message(std::string_view title, std::string_view text, int style) override;
  std::optional<std::string> Input(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const ui::FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const ui::FileDialog&) override { return std::nullopt; }
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
  std::map<std::string, std::string, std::less<>> panes_;
  int messageCount_ = 0;
  bool errorsOnly_ = false;
  std::string rankPrefix_;
  std::vector<std::string> held_;  // lines held by ShowOnlyErrors
};

}  // namespace kalvex::batch
