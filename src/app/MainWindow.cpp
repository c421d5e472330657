#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/InfoWindows.h"
#include "app/Workbench.h"

namespace kalvex::app {
namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

QList<QMdiSubWindow*> ShownWindows(QMdiArea* area) {
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* sub : area->subWindowList())
    if (sub->isVisible() && !sub->isMinimized()) shown << sub;
  return shown;
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

void MainWindow::Cascade() { area_->cascadeSubWindows(); }

void MainWindow::TileHorizontal() {
  QList<QMdiSubWindow*> shown = ShownWindows(area_);
  if (shown.isEmpty()) return;
  QRect space = area_->viewport()->rect();
  int height = space.height() / static_cast<int>(shown.size());
  for (int i = 0; i < shown.size(); ++i) shown[i]->setGeometry(0, i * height, space.width(), height);
}

void MainWindow::TileVertical() {
  QList<QMdiSubWindow*> shown = ShownWindows(area_);
  if (shown.isEmpty()) return;
  QRect space = area_->viewport()->rect();
  int width = space.width() / static_cast<int>(shown.size());
  for (int i = 0; i < shown.size(); ++i) shown[i]->setGeometry(i * width, 0, width, space.height());
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
