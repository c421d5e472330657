#pragma once
// The results window (frmSummary): the "Save summary as..." button across
// the top and the editable report pane rtbOut below it.
#include <QWidget>

#include <functional>
#include <vector>

#include "ui/qt/QtFrontend.h"

class QPushButton;
class QTextEdit;

namespace kalvex {
namespace ui {
class Frontend;
}

class SummaryWindow : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  static constexpr const char* kFormName = "frmSummary";
  static constexpr const char* kCaption = "Oskane results summary";

  // Saving goes through frontend (the dialog, the pane text, messages).
  // onUserClose runs when the user closes the window (the main menu returns).
  explicit SummaryWindow(ui::Frontend& frontend, std::function<void()> onUserClose = {}, QWidget* parent = nullptr);
  bool UserClosing() override;

  QTextEdit* Pane() const { return rtbOut_; }
  void SaveSummary();
  // A check of the fit ("&Diagnostics...", "&Hindcast...") at the right end
  // of the save button's row, in the order added; a click runs action.
  void AddCheckButton(const char* name, const char* caption, const char* tip, std::function<void()> action);

 signals:
  // Closing the window hands the screen back to the main menu.
  void closed();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ui::Frontend& frontend_;
  std::function<void()> onUserClose_;
  QPushButton* cmdSaveSummary_ = nullptr;
  std::vector<QPushButton*> checkButtons_;
  QTextEdit* rtbOut_ = nullptr;
};

namespace app {
class Workbench;
// Registers frmSummary with the Qt front end and shows the summary's plots
// in an MDI child window.
void InstallResultsSummary(Workbench& workbench);
}  // namespace app

// Twips as pixels of this screen (1440 twips to the logical inch).
int TwipsToPixels(const QWidget& widget, double twips);

}  // namespace kalvex
