#pragma once
// frmSimplex and frmMarquardt: the report panes and buttons the two
// minimizers write to while they run. The runs themselves live in
// src/minimize; these windows forward their buttons and their closing.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

namespace kalvex::app {

class Workbench;

class SimplexForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit SimplexForm(Workbench& workbench);
  // The window stays while a main-menu Simplex runs.
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

class MarquardtForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit MarquardtForm(Workbench& workbench);
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

// Registers both windows and points the main menu's minimizer commands at
// the runs.
void InstallMinimizers(Workbench& workbench);

}  // namespace kalvex::app
