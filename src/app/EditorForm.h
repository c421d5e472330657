#pragma once
// frmAlgo, the algorithm data editor, and frmEditVS, its "Edit all
// parameters" companion. The commands live in AlgorithmEditor; these windows
// show its cells and settings and forward the user's edits.
#include <QWidget>

#include "ui/qt/QtFrontend.h"

class QLineEdit;
class QTableWidget;

namespace kalvex::app {

class Workbench;

class EditorForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit EditorForm(Workbench& workbench);
  bool UserClosing() override;

  // Redraws every cell from the editor's state.
  void Refresh();
  // Opens the in-place editor over a Value, Step or Fuse cell.
  void BeginCellEdit(int row, int column);
  // Leaves the in-place editor, committing its text.
  void CommitCellEdit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildSettings();
  QWidget* BuildLog();
  void BuildMenus();
  void HeaderDoubleClicked(int column);
  template <typename Command>
  void Run(Command command);

  Workbench& workbench_;
  QTableWidget* grid_ = nullptr;
  QLineEdit* cellEditor_ = nullptr;
  int editRow_ = 0, editColumn_ = 0;
  bool committing_ = false;
};

class EditAllForm : public QWidget {
  Q_OBJECT
 public:
  explicit EditAllForm(Workbench& workbench);
};

}  // namespace kalvex::app
