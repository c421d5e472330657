#include "support/ScriptedFrontend.h"

#include "ui/Names.h"

namespace kalvex::ui {
namespace {

const char* KindName(PromptKind kind) {
  switch (kind) {
    case PromptKind::Message: return "message";
    case PromptKind::Input: return "input";
    case PromptKind::OpenFile: return "open dialog";
    case PromptKind::SaveFile: return "save dialog";
  }
  return "?";
}

}  // namespace

ScriptedFrontend& ScriptedFrontend::ExpectMessage(std::string title, Answer answer) {
  script_.push_back({PromptKind::Message, std::move(title), answer, std::nullopt});
  return *this;
}

ScriptedFrontend& ScriptedFrontend::ExpectInput(std::string title, std::optional<std::string> answer) {
  script_.push_back({PromptKind::Input, std::move(title), Answer::OK, std::move(answer)});
  return *this;
}

ScriptedFrontend& ScriptedFrontend::ExpectOpen(std::optional<std::string> path, std::string title) {
  script_.push_back({PromptKind::OpenFile, std::move(title), Answer::OK, std::move(path)});
  return *this;
}

ScriptedFrontend& ScriptedFrontend::ExpectSave(std::optional<std::string> path, std::string title) {
  script_.push_back({PromptKind::SaveFile, std::move(title), Answer::OK, std::move(path)});
  return *this;
}

ScriptedPrompt ScriptedFrontend::Next(PromptKind kind, std::string_view title, std::string_view what) {
  std::string shown = std::string(KindName(kind)) + " \"" + std::string(title) + "\": " + std::string(what);
  if (script_.empty()) throw ScriptError("unexpected " + shown);
  ScriptedPrompt prompt = script_.front();
  if (prompt.kind != kind || (!prompt.title.empty() && prompt.title != title))
    throw ScriptError("expected " + std::string(KindName(prompt.kind)) + " \"" + prompt.title +
                      "\" but got " + shown);
  script_.pop_front();
  return prompt;
}

Answer ScriptedFrontend::Message(std::string_view title, std::string_view text, int style) {
  messages.push_back({std::string(title), std::string(text), style});
  return Next(PromptKind::Message, title, text).answer;
}

std::optional<std::string> ScriptedFrontend::Input(std::string_view prompt, std::string_view title,
                                                   std::string_view defaultText) {
  inputs.push_back({std::string(prompt), std::string(title), std::string(defaultText)});
  return Next(PromptKind::Input, title, prompt).text;  // nullopt: Cancel
}

std::optional<std::string> ScriptedFrontend::OpenFile(const FileDialog& dialog) {
  dialogs.push_back(dialog);
  return Next(PromptKind::OpenFile, dialog.title, dialog.fileName).text;
}

std::optional<std::string> ScriptedFrontend::SaveFile(const FileDialog& dialog) {
  dialogs.push_back(dialog);
  return Next(PromptKind::SaveFile, dialog.title, dialog.fileName).text;
}

void ScriptedFrontend::SetStatus(int bar, int panel, std::string_view text) {
  status[{bar, panel}] = std::string(text);
  statusHistory.emplace_back(text);
}

void ScriptedFrontend::ClearStatusBars() { status.clear(); }

void ScriptedFrontend::CheckForm(std::string_view form) {
  if (!names::IsKnownForm(form)) throw ScriptError("unknown form \"" + std::string(form) + "\"");
}

std::string ScriptedFrontend::CheckedKey(std::string_view form, std::string_view control) {
  CheckForm(form);
  if (!names::IsKnownControl(control))
    throw ScriptError("unknown control \"" + std::string(control) + "\" of " + std::string(form));
  return Key(form, control);
}

void ScriptedFrontend::ShowWindow(std::string_view form) {
  CheckForm(form);
  openWindows.insert(std::string(form));
  windowEvents.push_back("show " + std::string(form));
}

void ScriptedFrontend::HideWindow(std::string_view form) {
  CheckForm(form);
  openWindows.erase(std::string(form));
  windowEvents.push_back("hide " + std::string(form));
}

void ScriptedFrontend::CloseWindow(std::string_view form) {
  CheckForm(form);
  openWindows.erase(std::string(form));
  windowEvents.push_back("close " + std::string(form));
}

bool ScriptedFrontend::IsWindowOpen(std::string_view form) const {
  CheckForm(form);
  return openWindows.count(std::string(form)) > 0;
}

std::string ScriptedFrontend::Key(std::string_view form, std::string_view control) {
  return std::string(form) + "." + std::string(control);
}

void ScriptedFrontend::SetPaneText(std::string_view form, std::string_view pane, std::string_view text) {
  panes[CheckedKey(form, pane)] = std::string(text);
}

std::string ScriptedFrontend::PaneText(std::string_view form, std::string_view pane) const {
  auto it = panes.find(CheckedKey(form, pane));
  return it == panes.end() ? std::string() : it->second;
}

void ScriptedFrontend::SetEnabled(std::string_view form, std::string_view control, bool value) {
  enabled[CheckedKey(form, control)] = value;
}

void ScriptedFrontend::SetVisible(std::string_view form, std::string_view control, bool value) {
  visible[CheckedKey(form, control)] = value;
}

void ScriptedFrontend::SetCaption(std::string_view form, std::string_view control, std::string_view text) {
  captions[CheckedKey(form, control)] = std::string(text);
}

void ScriptedFrontend::SetToolTip(std::string_view form, std::string_view control, std::string_view text) {
  tooltips[CheckedKey(form, control)] = std::string(text);
}

void ScriptedFrontend::SetFocus(std::string_view form, std::string_view control) {
  focus = CheckedKey(form, control);
}

void ScriptedFrontend::PumpEvents(bool) {
  ++pumpCount;
  if (onPump) onPump();
}

bool ScriptedFrontend::IsEnabled(std::string_view form, std::string_view control) const {
  auto it = enabled.find(CheckedKey(form, control));
  return it != enabled.end() && it->second;
}

std::string ScriptedFrontend::Status(int bar, int panel) const {
  auto it = status.find({bar, panel});
  return it == status.end() ? std::string() : it->second;
}

const ShownMessage& ScriptedFrontend::LastMessage() const {
  if (messages.empty()) throw ScriptError("no message was shown");
  return messages.back();
}

}  // namespace kalvex::ui
