#pragma once
// frmSimplex and frmMarquardt: the report panes and buttons the two
// minimizers write to while they run. The runs themselves live in
// src/minimize; these windows forward their buttons and their closing.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

class QPushButton;
class QTextEdit;

namespace kalvex::app {

class Workbench;

// Both windows open with every run, so they are kept when closed; Reopen
// gives them the look a new one would have for the current free count.
class SimplexForm : public QWidget, public ui::qt::UserClosable, public ui::qt::ReusableForm {
  Q_OBJECT
 public:
  explicit SimplexForm(Workbench& workbench);
  // The window stays while a main-menu Simplex runs.
  bool UserClosing() override;
  void Reopen() override;

 private:
  Workbench& workbench_;
  QTextEdit* initialPane_;
  QTextEdit* progressPane_;
  QPushButton* stop_;
};

class MarquardtForm : public QWidget, public ui::qt::UserClosable, public ui::qt::ReusableForm {
  Q_OBJECT
 public:
  explicit MarquardtForm(Workbench& workbench);
  bool UserClosing() override;
  void Reopen() override;

 private:
  Workbench& workbench_;
  QTextEdit* pane_;
  QPushButton* stop_;
  QPushButton* next_;
  QPushButton* resume_;
};

// Registers both windows (the main menu runs the minimizers itself).
void InstallMinimizers(Workbench& workbench);

}  // namespace kalvex::app
