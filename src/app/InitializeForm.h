#pragma once
// frmInitialize: the number of species, the data file, and what the model
// does with them.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

namespace kalvex::app {

class Workbench;

// The texts of the form.
QString ModelDescriptionText();
QString DataFormatText();

class InitializeForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit InitializeForm(Workbench& workbench);
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

}  // namespace kalvex::app
