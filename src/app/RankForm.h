#pragma once
// frmRank, the model ranking window: the buttons of the ranking, its grid of
// competing models, the C-hat box and the averaging text. The commands live
// in ranking::RankingWindow (reached through the main menu); this window
// shows its table and forwards the clicks.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

class QLineEdit;
class QTableWidget;

namespace kalvex::app {

class Workbench;

class RankForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit RankForm(Workbench& workbench);
  bool UserClosing() override;
  // Redraws the grid and the C-hat box from the ranking's table.
  void Refresh();

 private:
  QWidget* BuildButtons();
  Workbench& workbench_;
  QTableWidget* grid_ = nullptr;
  QLineEdit* chat_ = nullptr;
};

// Registers the window with the Qt front end and lets it follow the table.
void InstallRanking(Workbench& workbench);

}  // namespace kalvex::app
