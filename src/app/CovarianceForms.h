#pragma once
// frmCovariance ("Covariance calculations": the log pane that the report
// replaces, and its interrupt button) and frmCovData ("Covariance data":
// display, save, finish). The commands live in src/covariance.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace kalvex::app {

class Workbench;

class CovarianceLogForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit CovarianceLogForm(Workbench& workbench);
  // Refused while a calculation is running.
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

class CovarianceDataForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit CovarianceDataForm(Workbench& workbench);
  // Closing it finishes the display, as "&Finish display" does.
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

// Registers both windows; "Covariance data" takes the main menu's place.
void InstallCovariance(Workbench& workbench);

}  // namespace kalvex::app
