#pragma once
// A front end for tests: answers every prompt from a queue of expected
// prompts, records what was shown, and throws ScriptError on a prompt it was
// not told about and on a form or control name that ui/Names.h does not know.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Frontend.h"

namespace kalvex::ui {

class ScriptError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

struct ShownMessage {
  std::string title, text;
  int style = 0;
};

struct ShownInput {
  std::string prompt, title, defaultText;
};

enum class PromptKind { Message, Input, OpenFile, SaveFile };

// One expected prompt. An empty title matches any title.
struct ScriptedPrompt {
  PromptKind kind = PromptKind::Message;
  std::string title;
  Answer answer = Answer::OK;          // for messages
  std::optional<std::string> text;     // for inputs and dialogs (nullopt = cancel)
};

class ScriptedFrontend : public Frontend {
 public:
  // Queueing expectations.
  ScriptedFrontend& ExpectMessage(std::string title, Answer answer = Answer::OK);
  ScriptedFrontend& ExpectInput(std::string title, std::optional<std::string> answer);
  ScriptedFrontend& ExpectOpen(std::optional<std::string> path, std::string title = {});
  ScriptedFrontend& ExpectSave(std::optional<std::string> path, std::string title = {});
  std::size_t PendingPrompts() const { return script_.size(); }

  // What was shown.
  std::vector<ShownMessage> messages;
  std::vector<ShownInput> inputs;
  std::vector<FileDialog> dialogs;
  std::map<std::pair<int, int>, std::string> status;  // (bar, panel) -> text
  std::vector<std::string> statusHistory;             // every text set, in order
  std::set<std::string> openWindows;
  std::vector<std::string> windowEvents;              // "show frmX", "close frmX"
  std::map<std::string, std::string> panes;           // "form.pane" -> text
  std::map<std::string, bool> enabled;                // "form.control"
  std::map<std::string, bool> visible;
  std::map<std::string, std::string> captions;
  std::map<std::string, std::string> tooltips;
  std::string focus;
  int pumpCount = 0;
  LocalDateTime now{2026, 3, 7, 14, 5, 0};

  // Called from PumpEvents: lets a test press a button during a run.
  std::function<void()> onPump;

  bool IsEnabled(std::string_view form, std::string_view control) const;
  std::string Status(int bar, int panel) const;
  const ShownMessage& LastMessage() const;

  Answer Message(std::string_view title, std::string_view text, int style) override;
  std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                   std::string_view defaultText) override;
  std::optional<std::string> OpenFile(const FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const FileDialog& dialog) override;
  void SetStatus(int bar, int panel, std::string_view text) override;
  void ClearStatusBars() override;
  void ShowWindow(std::string_view form) override;
  void HideWindow(std::string_view form) override;
  void CloseWindow(std::string_view form) override;
  bool IsWindowOpen(std::string_view form) const override;
  void SetPaneText(std::string_view form, std::string_view pane, std::string_view text) override;
  std::string PaneText(std::string_view form, std::string_view pane) const override;
  void SetEnabled(std::string_view form, std::string_view control, bool value) override;
  void SetVisible(std::string_view form, std::string_view control, bool value) override;
  void SetCaption(std::string_view form, std::string_view control, std::string_view text) override;
  void SetToolTip(std::string_view form, std::string_view control, std::string_view text) override;
  void SetFocus(std::string_view form, std::string_view control) override;
  void PumpEvents(bool force = false) override;
  LocalDateTime Now() const override { return now; }

 private:
  ScriptedPrompt Next(PromptKind kind, std::string_view title, std::string_view what);
  static std::string Key(std::string_view form, std::string_view control);
  static void CheckForm(std::string_view form);
  static std::string CheckedKey(std::string_view form, std::string_view control);
  std::deque<ScriptedPrompt> script_;
};

}  // namespace kalvex::ui
