#pragma once
// frmOneFunction: the "1 Function call" report in rtbOneFunction.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

namespace kalvex::app {

class Workbench;

class OneFunctionForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit OneFunctionForm(Workbench& workbench);
  // The user is done with the report: the main menu comes back.
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

}  // namespace kalvex::app
