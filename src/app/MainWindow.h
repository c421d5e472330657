#pragma once
// frmMain: the window that holds every other window (an MDI area), the
// menus of the workbench and its six status bars stbMain0..stbMain5. Each
// bar's panels are QLabels named stbMain<bar>_<panel> (stbMain1_2 is the
// second panel of the second bar); the last bar is the window's QStatusBar.
#include <QMainWindow>

class QMdiArea;
class QStatusBar;

namespace kalvex::app {

class Workbench;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Workbench& workbench);

  QMdiArea* Area() const { return area_; }
  QStatusBar* Bar(int bar) const { return bars_[bar]; }

  // The "&Window" arrangements, also used by the editor's own menu.
  void Cascade();
  void TileHorizontal();  // one above the other, full width
  void TileVertical();    // side by side, full height
  void ArrangeIcons();    // minimized windows in a row along the bottom

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildStatusBars();

  Workbench& workbench_;
  QMdiArea* area_ = nullptr;
  QStatusBar* bars_[6] = {};
};

}  // namespace kalvex::app
