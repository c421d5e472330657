#pragma once
// The Qt front end's dialogs answered from a script, for window tests.
#include <optional>
#include <string>

#include "support/ScriptedFrontend.h"
#include "ui/qt/DialogProvider.h"

namespace kalvex::ui::qt {

// Answers from the queue of a ScriptedFrontend (ExpectMessage, ExpectInput,
// ExpectOpen, ExpectSave) and records what was asked in it.
class ScriptedDialogProvider : public DialogProvider {
 public:
  ScriptedFrontend script;

  Answer Message(QWidget*, const std::string& title, const std::string& text, int style) override {
    return script.Message(title, text, style);
  }
  std::optional<std::string> Input(QWidget*, const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) override {
    return script.Input(prompt, title, defaultText);
  }
  std::optional<std::string> OpenFile(QWidget*, const FileDialog& dialog) override { return script.OpenFile(dialog); }
  std::optional<std::string> SaveFile(QWidget*, const FileDialog& dialog) override { return script.SaveFile(dialog); }
};

}  // namespace kalvex::ui::qt
