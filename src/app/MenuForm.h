#pragma once
// frmMenu: the main menu with its workflow buttons and Quit. The buttons
// only forward to the MainMenu workflow, which sets their states.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

namespace kalvex::app {

class Workbench;

inline constexpr const char* kModelTitle = "Multi-species Oskane Model";

class MenuForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit MenuForm(Workbench& workbench);
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

}  // namespace kalvex::app
