#pragma once
// frmMenu: the main menu with its workflow buttons and Quit. The buttons
// only forward to the MainMenu workflow, which sets their states.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

namespace kalvex::app {

class Workbench;

inline constexpr const char* kModelTitle = "Multi-species Oskane Model";

// Closed and shown again by every command: kept, hidden, when closed, and
// handed out again looking as a menu made anew would.
class MenuForm : public QWidget, public ui::qt::UserClosable, public ui::qt::ReusableForm {
  Q_OBJECT
 public:
  explicit MenuForm(Workbench& workbench);
  bool UserClosing() override;
  // A menu that is made, or handed out again, follows the enabling rules.
  void Reopen() override;

 private:
  Workbench& workbench_;
};

}  // namespace kalvex::app
