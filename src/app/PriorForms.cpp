#include "app/PriorForms.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/MainWindow.h"
#include "app/SummaryWindow.h"
#include "app/Workbench.h"
#include "workflow/PriorProfileWindow.h"
#include "workflow/PriorReviewWindow.h"

namespace kalvex::app {
namespace {

namespace names = ui::names;

QString Name(std::string_view name) { return QString::fromUtf8(name.data(), qsizetype(name.size())); }

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QColor Colour(PriorColour colour) {
  switch (colour) {
    case PriorColour::Blue: return QColor(0, 0, 255);
    case PriorColour::Green: return QColor(0, 128, 0);
    case PriorColour::Red: return QColor(255, 0, 0);
    case PriorColour::Black: break;
  }
  return QColor(0, 0, 0);
}

PriorEditor& Editor(Workbench& wb) { return wb.menu.PriorEditorWindow(); }

}  // namespace

// ---------------------------------------------------------------- frmPriorsLoader

PriorsLoaderForm::PriorsLoaderForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("Load Bayesian priors");
  auto* layout = new QVBoxLayout(this);
  PriorsLoader& loader = workbench.menu.PriorsLoaderWindow();
  auto add = [&](const char* name, const char* caption, void (PriorsLoader::*command)()) {
    QPushButton* button = Button(this, name, caption);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [&loader, command] { (loader.*command)(); });
  };
  add("cmdOpenPriors", "&Open an existing Bayesian Priors file", &PriorsLoader::OpenFile);
  add("cmdSetPriors", "&Set or reset prior distributions", &PriorsLoader::SetOrReset);
  add("cmdUniformPriors", "Set &uniform-unbounded prior distributions", &PriorsLoader::SetUniform);
  add("cmdCancel", "&Cancel", &PriorsLoader::Cancel);
}

bool PriorsLoaderForm::UserClosing() {
  workbench_.menu.PriorsLoaderWindow().Closed();
  return true;
}

// ---------------------------------------------------------------- frmPriors

PriorEditorForm::PriorEditorForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("Set prior distributions");
  auto* layout = new QVBoxLayout(this);
  BuildMenus();
  grid_ = new QTableWidget(this);
  grid_->setObjectName("grdPriors");
  grid_->setColumnCount(kPriorGridColumns);
  grid_->horizontalHeader()->setVisible(false);
  grid_->verticalHeader()->setVisible(false);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The cells carry their own colours; a selection highlight would hide them.
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->horizontalHeader()->setStretchLastSection(true);
  int digit = grid_->fontMetrics().horizontalAdvance("0");
  const int widths[] = {11, 22, 12, 12, 12, 12};
  for (int column = 0; column < kPriorGridColumns - 1; ++column) grid_->setColumnWidth(column, digit * widths[column]);
  layout->addWidget(grid_, 1);
  connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int) {
    if (row >= kPriorHeaderRows) Editor(workbench_).Select(row - kPriorHeaderRows + 1);
  });
  Refresh();
}

void PriorEditorForm::BuildMenus() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  auto action = [this](QWidget* menu, const char* name, const char* caption, std::function<void()> command) {
    auto* item = new QAction(caption, menu);
    item->setObjectName(name);
    menu->addAction(item);
    connect(item, &QAction::triggered, this, std::move(command));
  };
  QMenu* application = bar->addMenu("&Application");
  application->setObjectName("mnuPriorApplication");
  action(application, "mnuPriorMenu", "Main &menu", [this] { Editor(workbench_).ShowCaller(); });
  application->addSeparator();
  action(application, "mnuPriorExit", "E&xit", [this] { workbench_.RequestQuit(); });

  QMenu* edit = bar->addMenu("&Edit prior distributions");
  edit->setObjectName("mnuEditPriors");
  struct Item {
    const char* name;
    const char* caption;
    char letter;
  };
  for (const Item& item : {Item{"mnuPriorU", "Default (&Uniform-unbounded)", 'U'},
                           Item{"mnuPriorT", "Feet of a uniform-b&ounded", 'T'},
                           Item{"mnuPriorN", "Gaussian (i.e., &Normal)", 'N'}, Item{"mnuPriorE", "&Exponential", 'E'},
                           Item{"mnuPriorG", "&Gamma", 'G'}, Item{"mnuPriorB", "&Beta", 'B'},
                           Item{"mnuPriorS", "Left-&side cliff", 'S'}, Item{"mnuPriorD", "Right-si&de cliff", 'D'},
                           Item{"mnuPriorL", "&Ln-normal", 'L'}})
    action(edit, item.name, item.caption, [this, letter = item.letter] { Editor(workbench_).Enter(letter); });

  action(bar, "mnuProfilePriors", "&Profile prior distributions", [this] { Editor(workbench_).Profile(); });
  action(bar, "mnuSavePriors", "&Save prior distributions", [this] { Editor(workbench_).Save(); });
  action(bar, "mnuHelpPriors", "&Help with prior distributions", [this] { Editor(workbench_).Help(); });
  action(bar, "mnuFinished", "&Finished", [this] { Editor(workbench_).Finish(); });

  QMenu* window = bar->addMenu("&Window");
  window->setObjectName("mnuPriorWindow");
  MainWindow* main = &workbench_.Main();
  action(window, "mnuPriorCascade", "&Cascade", [main] { main->Cascade(); });
  action(window, "mnuPriorTileHorizontal", "Tile &Horizontal", [main] { main->TileHorizontal(); });
  action(window, "mnuPriorTileVertical", "Tile &Vertical", [main] { main->TileVertical(); });
  action(window, "mnuPriorArrangeIcons", "&Arrange Icons", [main] { main->ArrangeIcons(); });
}

void PriorEditorForm::Refresh() {
  const PriorEditor& editor = Editor(workbench_);
  const int parameters = editor.Parameters();
  grid_->setRowCount(parameters + kPriorHeaderRows);
  auto cell = [this](int row, int column) {
    QTableWidgetItem* item = grid_->item(row, column);
    if (!item) {
      item = new QTableWidgetItem;
      grid_->setItem(row, column, item);
    }
    return item;
  };
  const QBrush headerBack = palette().brush(QPalette::Button);
  for (int row = 0; row < kPriorHeaderRows; ++row) {
    for (int column = 0; column < kPriorGridColumns; ++column) {
      QTableWidgetItem* item = cell(row, column);
      item->setText(kPriorGridHeaders[row][column]);
      item->setTextAlignment(Qt::AlignCenter);
      item->setBackground(headerBack);
    }
  }
  for (int p = 1; p <= parameters; ++p) {
    for (int column = 0; column < kPriorGridColumns; ++column) {
      const PriorCell& source = editor.Cell(p, column);
      QTableWidgetItem* item = cell(p + kPriorHeaderRows - 1, column);
      item->setText(QString::fromStdString(source.text));
      item->setForeground(Colour(source.colour));
      item->setTextAlignment(column >= 2 && column <= 5 ? Qt::AlignRight | Qt::AlignVCenter
                                                        : Qt::AlignLeft | Qt::AlignVCenter);
      if (column == kPriorGridColumns - 1) item->setToolTip(item->text());
    }
  }
}

bool PriorEditorForm::UserClosing() {
  Editor(workbench_).Closed();
  return true;
}

// ---------------------------------------------------------------- reports

PriorReportForm::PriorReportForm(const QString& caption, const char* pane, const char* button,
                                 const QString& buttonCaption, std::function<void()> save) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  if (save) {
    QPushButton* saveButton = Button(this, button, buttonCaption);
    saveButton->setToolTip("Saves the (possibly edited) output appearing in the textbox below");
    layout->addWidget(saveButton);
    connect(saveButton, &QPushButton::clicked, this, std::move(save));
  }
  layout->addWidget(ui::qt::MakeReportPane(this, pane), 1);
}

void InstallPriors(Workbench& wb) {
  ui::qt::QtFrontend& ui = wb.ui;
  ui.RegisterForm(Name(names::kPriorsLoaderForm).toStdString(), [&wb] { return new PriorsLoaderForm(wb); },
                  {QSize(420, 200), QPoint(0, 0)});
  ui.RegisterForm(Name(names::kPriorEditorForm).toStdString(), [&wb] { return new PriorEditorForm(wb); },
                  {QSize(1020, 520), QPoint(0, 0)});
  ui.RegisterForm(Name(names::kPriorProfileForm).toStdString(), [&wb] {
    return new PriorReportForm("Prior distribution statistics", names::kPriorProfilePane.data(),
                               "cmdSavePriorProfile", "&Save Bayesian prior distribution data as...",
                               [&wb] { SavePriorProfile(wb.ws, wb.ui); });
  }, {QSize(800, 560), QPoint(0, 160)});  // room on its right for its distribution plot
  ui.RegisterForm(Name(names::kReviewPriorsForm).toStdString(), [&wb] {
    return new PriorReportForm("Review priors ", names::kReviewPriorsPane.data(), "cmdSaveReview",
                               "Save review of prior distribution likelihoods as...",
                               [&wb] { SavePriorReview(wb.ws, wb.ui); });
  }, {QSize(830, 520), QPoint(440, 300)});
  ui.RegisterForm(Name(names::kHelpForm).toStdString(), [] {
    return new PriorReportForm("Help with prior distributions", names::kHelpPane.data(), nullptr, {}, {});
  }, {QSize(820, 460), QPoint(160, 120)});
  Editor(wb).onChange = [&wb] {
    if (auto* form = dynamic_cast<PriorEditorForm*>(wb.ui.Form(names::kPriorEditorForm))) form->Refresh();
  };
}

}  // namespace kalvex::app
