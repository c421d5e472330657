#include "app/MainWindow.h"

#include <algorithm>
#include <vector>

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/InfoWindows.h"
#include "app/Workbench.h"
#include "plots/qt/FigurePainter.h"
#include "workflow/SessionReport.h"

namespace kalvex::app {
namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

// The shown windows, bottom to top.
QList<QMdiSubWindow*> ShownWindows(QMdiArea* area) {
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::StackingOrder))
    if (sub->isVisible() && !sub->isMinimized()) shown << sub;
  return shown;
}

QSize Minimum(const QMdiSubWindow* sub) { return ui::qt::MinimumOf(sub); }

// Splits total into equal shares, except that a window whose minimum is
// larger gets its minimum and the others share what is left.
std::vector<int> Shares(const std::vector<int>& minimums, int total) {
  std::vector<int> shares(minimums.size(), -1);  // -1: an equal share
  int left = total, open = static_cast<int>(minimums.size());
  for (bool settled = false; !settled && open > 0;) {
    settled = true;
    for (std::size_t i = 0; i < minimums.size(); ++i) {
      if (shares[i] >= 0 || minimums[i] <= left / open) continue;
      shares[i] = minimums[i];
      left -= minimums[i];
      --open;
      settled = false;
    }
  }
  for (int& share : shares)
    if (share < 0) share = std::max(0, left) / open;
  return shares;
}

// Gives a window the wanted place, but never smaller than it can be shown
// nor reaching out of the area: when the minimums do not fit together, a
// window overlaps its neighbour instead.
void FitInside(QMdiSubWindow* sub, const QRect& wanted, const QRect& space) {
  QSize size = wanted.size().expandedTo(Minimum(sub));
  size = size.boundedTo(space.size());
  int x = std::clamp(wanted.x(), space.left(), space.right() + 1 - size.width());
  int y = std::clamp(wanted.y(), space.top(), space.bottom() + 1 - size.height());
  sub->setGeometry(QRect(QPoint(x, y), size));
}

}  // namespace

MainWindow::MainWindow(Workbench& workbench) : workbench_(workbench) {
  setObjectName("frmMain");
  setWindowTitle("Kalvex");
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  area_ = new QMdiArea(central);
  area_->setObjectName("mdiMain");
  // Windows larger than a small screen stay reachable.
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  layout->addWidget(area_, 1);
  setCentralWidget(central);
  BuildMenus();
  BuildStatusBars();
  resize(1200, 900);
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();

  QMenu* application = bar->addMenu("&Application");
  application->setObjectName("mnuApplication");
  connect(AddItem(application, "mnuMenu", "Main &menu"), &QAction::triggered, this,
          [this] { workbench_.menu.ShowMenu(); });
  connect(AddItem(application, "mnuSaveReport", "Save &report..."), &QAction::triggered, this, [this] {
    SaveSessionReport(workbench_.ws, workbench_.ui, workbench_.menu.Session(),
                      [](const plots::Figure& figure, std::string& svg) {
                        return plots::EncodeFigurePicture(figure, "figure.svg", svg);
                      },
                      std::string("Kalvex ") + KALVEX_VERSION);
  });
  application->addSeparator()->setObjectName("mnuSep1");
  connect(AddItem(application, "mnuExit", "E&xit"), &QAction::triggered, this,
          [this] { workbench_.RequestQuit(); });

  // The trailing space tells the two interrupt menus apart, as in their captions.
  QMenu* bayes = bar->addMenu("&Interrupt ");
  bayes->setObjectName("mnuBayesianInt");
  connect(AddItem(bayes, "mnuInterruptBayes", "I&nterrupt calculations"), &QAction::triggered, this,
          [this] { workbench_.ws.InterruptBayes = true; });
  QMenu* ml = bar->addMenu("&Interrupt");
  ml->setObjectName("mnuMLInt");
  // Both show only while an evaluation that reads them runs.
  bayes->menuAction()->setVisible(false);
  ml->menuAction()->setVisible(false);
  connect(AddItem(ml, "mnuInterruptML", "&Interrupt calculations"), &QAction::triggered, this,
          [this] { workbench_.ws.InterruptML = true; });

  QMenu* window = bar->addMenu("&Window");
  window->setObjectName("mnuWindow");
  connect(AddItem(window, "mnuCascade", "&Cascade"), &QAction::triggered, this, &MainWindow::Cascade);
  connect(AddItem(window, "mnuTileHorizontal", "Tile &Horizontal"), &QAction::triggered, this,
          &MainWindow::TileHorizontal);
  connect(AddItem(window, "mnuTileVertical", "Tile &Vertical"), &QAction::triggered, this,
          &MainWindow::TileVertical);
  connect(AddItem(window, "mnuArrangeIcons", "&Arrange Icons"), &QAction::triggered, this,
          &MainWindow::ArrangeIcons);

  QAction* defaults = bar->addAction("&Defaults etc.");
  defaults->setObjectName("mnuDefaultNames");
  connect(defaults, &QAction::triggered, this, [this] { workbench_.ShowInformationWindow(kDefaultsForm); });
  QAction* wisdom = bar->addAction("&Wisdom");
  wisdom->setObjectName("mnuWisdom");
  connect(wisdom, &QAction::triggered, this, [this] { workbench_.ShowInformationWindow(kWisdomForm); });
  QMenu* about = bar->addMenu("&About");
  about->setObjectName("mnuAbout");
  connect(AddItem(about, "mnuCredits", "&Credits"), &QAction::triggered, this,
          [this] { workbench_.ShowInformationWindow(kCreditsForm); });
}

void MainWindow::BuildStatusBars() {
  // Bars 0..4 stack under the MDI area; bar 5 is the window's own status bar.
  auto* layout = static_cast<QVBoxLayout*>(centralWidget()->layout());
  for (int bar = 0; bar < 6; ++bar) {
    auto* statusBar = new QStatusBar(bar < 5 ? centralWidget() : this);
    statusBar->setObjectName(QString("stbMain%1").arg(bar));
    statusBar->setSizeGripEnabled(bar == 5);
    bars_[bar] = statusBar;
    workbench_.ui.SetStatusBar(bar, statusBar);
    // Panel counts: the data file; algorithm and priors files; four for the others.
    int panels = bar == 0 ? 1 : bar == 1 ? 2 : 4;
    for (int panel = 1; panel <= panels; ++panel) workbench_.ui.StatusPanel(bar, panel);
    if (bar < 5)
      layout->addWidget(statusBar);
    else
      setStatusBar(statusBar);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (workbench_.Quitting() || workbench_.RequestQuit())
    event->accept();
  else
    event->ignore();
}

// Each window one title bar lower and further right than the one below it,
// keeping its size where that fits from there to the area's bottom-right
// corner; the stacking order stays.
void MainWindow::Cascade() {
  QList<QMdiSubWindow*> shown = ShownWindows(area_);
  if (shown.isEmpty()) return;
  QRect space = area_->viewport()->rect();
  const int count = static_cast<int>(shown.size());
  int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown.front()) + 4;
  // Many windows step less, so that each keeps at least half the area.
  if (count > 1) step = std::min(step, std::min(space.width(), space.height()) / 2 / (count - 1));
  for (int i = 0; i < count; ++i) {
    const QPoint at(i * step, i * step);
    FitInside(shown[i], QRect(at, shown[i]->size().boundedTo(space.size() - QSize(at.x(), at.y()))), space);
    shown[i]->raise();
  }
}

void MainWindow::TileHorizontal() {
  QList<QMdiSubWindow*> shown = ShownWindows(area_);
  if (shown.isEmpty()) return;
  QRect space = area_->viewport()->rect();
  std::vector<int> minimums;
  for (QMdiSubWindow* sub : shown) minimums.push_back(Minimum(sub).height());
  std::vector<int> heights = Shares(minimums, space.height());
  for (int i = 0, y = 0; i < shown.size(); y += heights[i++])
    FitInside(shown[i], QRect(0, y, space.width(), heights[i]), space);
}

void MainWindow::TileVertical() {
  QList<QMdiSubWindow*> shown = ShownWindows(area_);
  if (shown.isEmpty()) return;
  QRect space = area_->viewport()->rect();
  std::vector<int> minimums;
  for (QMdiSubWindow* sub : shown) minimums.push_back(Minimum(sub).width());
  std::vector<int> widths = Shares(minimums, space.width());
  for (int i = 0, x = 0; i < shown.size(); x += widths[i++])
    FitInside(shown[i], QRect(x, 0, widths[i], space.height()), space);
}

void MainWindow::ArrangeIcons() {
  QRect space = area_->viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    if (!sub->isMinimized() || !sub->isVisible()) continue;
    QSize size = sub->size();
    sub->move(x, space.height() - size.height());
    x += size.width();
  }
}

}  // namespace kalvex::app
