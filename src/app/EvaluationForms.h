#pragma once
// The evaluation windows: the chooser frmParEvals ("Evaluation of
// estimates"), the reports frmMaxLike and frmBayesian with their save
// buttons, and the distribution and bivariate plot viewers. The commands
// live in src/workflow (MainMenu) and src/evaluation.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

namespace kalvex::app {

class Workbench;

class ParEvalsForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit ParEvalsForm(Workbench& workbench);
  // Closing the chooser is its Cancel.
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

// Registers the windows and installs the two plot viewers.
void InstallEvaluation(Workbench& workbench);

}  // namespace kalvex::app
