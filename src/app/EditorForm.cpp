#include "app/EditorForm.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/MainWindow.h"
#include "app/Workbench.h"

namespace kalvex::app {
namespace {

// Colour 12 of the 16-colour console palette (light red) marks changed cells.
const QColor kChangedColour(255, 85, 85);
const QColor kLinkedColour(0, 0, 170);

QLineEdit* Box(QWidget* parent, const char* name, int width = 110) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setFixedWidth(width);
  return box;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  if (name) label->setObjectName(name);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

struct SettingBox {
  const char* name;
  EditorSetting setting;
};
constexpr SettingBox kSettingBoxes[] = {{"txtMaxFunctions", EditorSetting::MaxFunctions},
                                        {"txtTerminalFreq", EditorSetting::TerminalFrequency},
                                        {"txtReduction", EditorSetting::Reduction},
                                        {"txtFileFreq", EditorSetting::FileFrequency}};

}  // namespace

EditorForm::EditorForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle(editor::kCaption);
  auto* layout = new QVBoxLayout(this);
  BuildMenus();

  layout->addWidget(Label(this, "lblInstructions",
                          "Double-click to edit a Value, Step or Fuse, or double-click the column heading to change "
                          "them all"));
  grid_ = new QTableWidget(this);
  grid_->setObjectName("grdVS");
  grid_->setColumnCount(5);
  grid_->setHorizontalHeaderLabels(
      {"Parameter", "Value", "Step", "Fuse", "Parameter description [null value; valid values]"});
  grid_->verticalHeader()->setVisible(false);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // No selection highlight: it would hide the light red of a changed cell.
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->setAlternatingRowColors(false);
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(true);
  int digit = grid_->fontMetrics().horizontalAdvance("0");
  grid_->setColumnWidth(0, std::max(digit * 10, header->fontMetrics().horizontalAdvance("Parameter") + 16));
  grid_->setColumnWidth(1, digit * 14);
  grid_->setColumnWidth(2, digit * 14);
  grid_->setColumnWidth(3, std::max(digit * 6, header->fontMetrics().horizontalAdvance("Fuse") + 16));
  layout->addWidget(grid_, 1);
  connect(grid_, &QTableWidget::cellDoubleClicked, this,
          // After the view has finished with the click, so that it does not take the focus back.
          [this](int row, int column) { QTimer::singleShot(0, this, [=, this] { BeginCellEdit(row + 1, column); }); });
  connect(header, &QHeaderView::sectionDoubleClicked, this, &EditorForm::HeaderDoubleClicked);

  cellEditor_ = new QLineEdit(grid_->viewport());
  cellEditor_->setObjectName("txtValue");
  cellEditor_->hide();
  cellEditor_->installEventFilter(this);
  connect(cellEditor_, &QLineEdit::returnPressed, this, &EditorForm::CommitCellEdit);

  layout->addWidget(Label(this, "lblNote1", "Note 1: A step size of zero freezes the value of the corresponding parameter"));
  auto* note2 = Label(this, "lblNote2",
                      "Note 2: Alphabetically fused parameters are co-estimated.  Only the parameter of lowest ordinal "
                      "rank will have a non-zero step size.");
  note2->setWordWrap(true);
  layout->addWidget(note2);

  auto* frames = new QHBoxLayout;
  frames->addWidget(BuildSettings(), 1);
  frames->addWidget(BuildLog(), 1);
  layout->addLayout(frames);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* update = Button(this, "cmdUpdate", "&Update edits");
  QPushButton* finish = Button(this, "cmdFinish", "&Finish editing");
  buttons->addWidget(update);
  buttons->addWidget(finish);
  layout->addLayout(buttons);
  connect(update, &QPushButton::clicked, this, [this] { Run([this] { workbench_.editor.Fill(); }); });
  connect(finish, &QPushButton::clicked, this, [this] { workbench_.editor.Finish(); });
}

QWidget* EditorForm::BuildSettings() {
  auto* frame = new QGroupBox("Minimization options", this);
  frame->setObjectName("fraOptions");
  auto* grid = new QGridLayout(frame);
  grid->addWidget(Label(frame, "lblAbsRel", "Absolute tolerance for convergence (TC):"), 0, 0);
  QLineEdit* tolerance = Box(frame, "txtAbsRel");
  tolerance->setReadOnly(true);
  tolerance->setToolTip("Click to change the tolerance and its type");
  tolerance->installEventFilter(this);
  grid->addWidget(tolerance, 0, 1);
  auto* callLabels = new QVBoxLayout;
  callLabels->setSpacing(0);
  callLabels->addWidget(Label(frame, "lblMaxSimplex", "Simplex (maximum # function calls):"));
  callLabels->addWidget(Label(frame, "lblMaxMarquardt", "Marquardt (maximum # iterations):"));
  grid->addLayout(callLabels, 1, 0);
  grid->addWidget(Box(frame, "txtMaxFunctions"), 1, 1);
  grid->addWidget(Label(frame, "lblTerminalFreq", "Terminal display frequency:"), 2, 0);
  grid->addWidget(Box(frame, "txtTerminalFreq"), 2, 1);
  grid->addWidget(Label(frame, "lblReduction", "Step size reduction fraction:"), 3, 0);
  grid->addWidget(Box(frame, "txtReduction"), 3, 1);
  for (const char* name : {"txtMaxFunctions", "txtTerminalFreq", "txtReduction"})
    frame->findChild<QLineEdit*>(name)->installEventFilter(this);
  return frame;
}

QWidget* EditorForm::BuildLog() {
  auto* frame = new QGroupBox("A log file will record the output of a minimization in progress", this);
  frame->setObjectName("fraLog");
  auto* grid = new QGridLayout(frame);
  grid->addWidget(Label(frame, "lblFileName", "Log file name (maximum of 10.3 characters):"), 0, 0, 1, 3);
  QLineEdit* name = new QLineEdit(frame);
  name->setObjectName("txtFileName");
  name->setReadOnly(true);
  grid->addWidget(name, 1, 0, 1, 3);
  grid->addWidget(Label(frame, "lblFileFreq", "Output frequency:"), 2, 0);
  QLineEdit* frequency = Box(frame, "txtFileFreq", 80);
  frequency->installEventFilter(this);
  grid->addWidget(frequency, 2, 1);
  auto* buttons = new QHBoxLayout;
  QPushButton* open = Button(frame, "cmdOpenLog", "&Open");
  QPushButton* close = Button(frame, "cmdCloseLog", "&Close");
  buttons->addWidget(open);
  buttons->addWidget(close);
  grid->addLayout(buttons, 3, 0, 1, 3);
  grid->setRowStretch(4, 1);
  connect(open, &QPushButton::clicked, this, [this] { workbench_.editor.OpenLog(); });
  connect(close, &QPushButton::clicked, this, [this] { workbench_.editor.CloseLog(); });
  return frame;
}

void EditorForm::BuildMenus() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  QMenu* application = bar->addMenu("&Application");
  application->setObjectName("mnuAlgApplication");
  QAction* exit = application->addAction("E&xit");
  exit->setObjectName("mnuAlgExit");
  connect(exit, &QAction::triggered, this, [this] { workbench_.RequestQuit(); });

  QMenu* edit = bar->addMenu("&Edit");
  edit->setObjectName("mnuEdit");
  auto item = [&](const char* name, const char* caption, auto slot) {
    QAction* action = edit->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, slot);
  };
  item("mnuValues", "&Values", [this] { workbench_.ui.ShowWindow(editor::kEditAllForm); });
  item("mnuStepSizes", "&Step sizes", [this] { Run([this] { workbench_.editor.EditAllSteps(); }); });
  item("mnuProportion", "Change step size &proportion", [this] { workbench_.editor.ChangeProportion(); });
  item("mnuUnfuse", "&Unfuse all values", [this] { Run([this] { workbench_.editor.UnfuseAll(); }); });
  item("mnuFinish", "&Finish editing", [this] { workbench_.editor.Finish(); });

  QMenu* window = bar->addMenu("&Window");
  window->setObjectName("mnuAlgWindow");
  MainWindow* main = &workbench_.Main();
  for (auto [name, caption, arrange] :
       {std::tuple{"mnuAlgCascade", "&Cascade", &MainWindow::Cascade},
        std::tuple{"mnuAlgTileHorizontal", "Tile &Horizontal", &MainWindow::TileHorizontal},
        std::tuple{"mnuAlgTileVertical", "Tile &Vertical", &MainWindow::TileVertical},
        std::tuple{"mnuAlgArrangeIcons", "&Arrange Icons", &MainWindow::ArrangeIcons}}) {
    QAction* action = window->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, main, arrange);
  }
}

template <typename Command>
void EditorForm::Run(Command command) {
  command();
  Refresh();
}

void EditorForm::Refresh() {
  const AlgorithmEditor& editor = workbench_.editor;
  const AlgorithmData& alg = workbench_.ws.Alg;
  int rows = editor.Rows();
  grid_->setRowCount(rows);
  for (int row = 1; row <= rows; ++row) {
    for (int column = 0; column < 5; ++column) {
      QTableWidgetItem* item = grid_->item(row - 1, column);
      if (!item) {
        item = new QTableWidgetItem;
        grid_->setItem(row - 1, column, item);
      }
      if (column == 4) {
        item->setText(QString::fromStdString(alg.Descriptions[row]));
        item->setToolTip(item->text());
        continue;
      }
      const EditorCell& cell = editor.Cell(row, column);
      item->setText(QString::fromStdString(cell.text));
      item->setTextAlignment(column == 3 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
      item->setBackground(cell.changed ? QBrush(kChangedColour) : QBrush());
      QFont font = grid_->font();
      font.setBold(cell.linked);
      item->setFont(font);
      item->setForeground(cell.linked ? QBrush(kLinkedColour) : QBrush());
    }
  }
}

void EditorForm::HeaderDoubleClicked(int column) {
  switch (column) {
    case editor::kValueColumn: workbench_.ui.ShowWindow(editor::kEditAllForm); break;
    case editor::kStepColumn: Run([this] { workbench_.editor.EditAllSteps(); }); break;
    case editor::kFuseColumn: Run([this] { workbench_.editor.EditAllFuses(); }); break;
    default: break;
  }
}

void EditorForm::BeginCellEdit(int row, int column) {
  if (column < editor::kValueColumn || column > editor::kFuseColumn) return;
  if (row < 1 || row > workbench_.editor.Rows()) return;
  editRow_ = row;
  editColumn_ = column;
  QRect cell = grid_->visualItemRect(grid_->item(row - 1, column));
  cellEditor_->setGeometry(cell);
  cellEditor_->setText(QString::fromStdString(workbench_.editor.CellEditText(row, column)));
  cellEditor_->show();
  cellEditor_->raise();
  cellEditor_->setFocus(Qt::OtherFocusReason);
  cellEditor_->selectAll();
}

void EditorForm::CommitCellEdit() {
  if (!cellEditor_->isVisible() || committing_) return;
  committing_ = true;
  cellEditor_->hide();
  const QString typed = cellEditor_->text();
  const bool accepted = workbench_.editor.CommitCell(editRow_, editColumn_, typed.toStdString());
  Refresh();
  committing_ = false;
  if (accepted) return;
  // Refused as not a number: the same cell is edited again, the text kept to be mended.
  BeginCellEdit(editRow_, editColumn_);
  cellEditor_->setText(typed);
  cellEditor_->selectAll();
}

bool EditorForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cellEditor_) {
    if (event->type() == QEvent::FocusOut) CommitCellEdit();
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      cellEditor_->hide();
      return true;
    }
    return false;
  }
  const QString name = watched->objectName();
  if (name == "txtAbsRel" && event->type() == QEvent::MouseButtonRelease) {
    QTimer::singleShot(0, this, [this] { workbench_.editor.ChangeTolerance(); });
    return false;
  }
  if (event->type() != QEvent::FocusOut || committing_) return false;
  for (const SettingBox& box : kSettingBoxes) {
    if (name != box.name) continue;
    auto* edit = static_cast<QLineEdit*>(watched);
    committing_ = true;
    SettingCommit commit = workbench_.editor.CommitSetting(box.setting, edit->text().toStdString());
    committing_ = false;
    if (commit.refocus) QTimer::singleShot(0, edit, [edit] { edit->setFocus(Qt::OtherFocusReason); });
  }
  return false;
}

bool EditorForm::UserClosing() {
  workbench_.editor.Closed();
  return true;
}

// ---------------------------------------------------------------- frmEditVS

EditAllForm::EditAllForm(Workbench& workbench) {
  setWindowTitle("Edit all parameters");
  auto* layout = new QVBoxLayout(this);
  AlgorithmEditor& editor = workbench.editor;
  auto add = [&](const char* name, const char* caption, std::function<void()> command) {
    QPushButton* button = Button(this, name, caption);
    button->setStyleSheet("text-align: left; padding: 4px 8px;");
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [&workbench, command] {
      // The window closes itself when one of its commands starts.
      workbench.ui.CloseWindow(editor::kEditAllForm);
      command();
      workbench.RefreshEditor();
    });
  };
  add("cmdFreeValues", "Change &free values and step sizes (proportionately)",
      [&editor] { editor.EditValues(ValueEdit::FreeValuesAndSteps); });
  add("cmdValuesOnly", "Change all values but &not their step sizes",
      [&editor] { editor.EditValues(ValueEdit::ValuesOnly); });
  add("cmdAllValues", "Change &all values and step sizes (proportionately)",
      [&editor] { editor.EditValues(ValueEdit::AllValuesAndSteps); });
  add("cmdProportion", "Change only the step size &proportionality constant", [&editor] { editor.ChangeProportion(); });
  add("cmdUnfuse", "Unfuse all values", [&editor] { editor.UnfuseAll(); });
  auto* note = Label(this, "lblNote",
                     "Note: If a parameter value is set to zero then the step size is set at the chosen "
                     "proportionality constant");
  note->setWordWrap(true);
  layout->addWidget(note);
}

}  // namespace kalvex::app
