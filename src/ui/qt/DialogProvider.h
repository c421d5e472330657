#pragma once
// The modal dialogs of the Qt front end, behind an interface so that window
// tests can answer them from a script instead of a person.
#include <memory>
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "ui/Frontend.h"

class QWidget;

namespace kalvex::ui::qt {

class DialogProvider {
 public:
  virtual ~DialogProvider() = default;
  virtual Answer Message(QWidget* parent, const std::string& title, const std::string& text, int style) = 0;
  // nullopt for Cancel; an empty answer is an empty text.
  virtual std::optional<std::string> Input(QWidget* parent, const std::string& prompt, const std::string& title,
                                           const std::string& defaultText) = 0;
  virtual std::optional<std::string> OpenFile(QWidget* parent, const FileDialog& dialog) = 0;
  virtual std::optional<std::string> SaveFile(QWidget* parent, const FileDialog& dialog) = 0;
};

// Real QMessageBox, QInputDialog and QFileDialog.
class WidgetDialogProvider : public DialogProvider {
 public:
  Answer Message(QWidget* parent, const std::string& title, const std::string& text, int style) override;
  std::optional<std::string> Input(QWidget* parent, const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) override;
  std::optional<std::string> OpenFile(QWidget* parent, const FileDialog& dialog) override;
  std::optional<std::string> SaveFile(QWidget* parent, const FileDialog& dialog) override;
};

// "desc|pat|desc|pat" as Qt name filters ("Algorithm files (*.alg)"). A
// pattern of "*.*" becomes "*" so that files without an extension show too.
QStringList NameFilters(const std::string& filter);

// CR LF and CR line ends as "\n" for Qt texts.
QString ToQt(const std::string& text);

}  // namespace kalvex::ui::qt
