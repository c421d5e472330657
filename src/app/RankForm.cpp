#include "app/RankForm.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "ranking/RankingText.h"

namespace kalvex::app {
namespace {

using ranking::RankingWindow;
namespace names = ui::names;

RankingWindow& Ranking(Workbench& wb) { return wb.menu.RankingWindow(); }

struct ButtonSpec {
  const char* name;
  const char* caption;
  const char* toolTip;
  void (*run)(RankingWindow&);
};

const ButtonSpec kButtons[] = {
    {"cmdAICc", "Calculate model AICc",
     "Calculates the AICc for the currently open, and perhaps edited, algorithm file",
     [](RankingWindow& r) { r.CalculateModelAICc(); }},
    {"cmdQAICc", "Calculate QAICc", "", [](RankingWindow& r) { r.ChangeCHat(); }},
    {"cmdRank", "&Rank competing models",
     "Ranks competing models in ascending order of their AICc values (Note: All AICc values must be positive)",
     [](RankingWindow& r) { r.Rank(); }},
    {"cmdAverage", "&Average across models",
     "Averages parameter estimates and SEs over all models using their associated covariance file and according "
     "to their AIC weight (Wt)",
     [](RankingWindow& r) { r.Average(); }},
    {"cmdSaveRank", "&Save ranking and averaging results",
     "Saves the results of the ranking and/or averaging exercise in a *.mms file",
     [](RankingWindow& r) { r.SaveRanking(); }},
    {"cmdLoadAlg", "&Load Algorithm Data",
     "Loads or creates a file that contains parameter estimates and other info used by the minimization algorithms",
     [](RankingWindow& r) { r.LoadAlgorithmData(); }},
    {"cmdEditAlg", "&Edit Algorithm Data", "Allows you to edit the current algorithm data",
     [](RankingWindow& r) { r.EditAlgorithmData(); }},
    {"cmdSaveAlg", "&Save Algorithm Data",
     "Allows you to save the algorithm data (Try to keep the file name <20 characters)",
     [](RankingWindow& r) { r.SaveAlgorithmData(); }},
    {"cmdBayesian", "Set &Bayesian priors",
     "Assigns prior probabilities to the parameters of the currently open algorithm file",
     [](RankingWindow& r) { r.SetPriors(); }},
    {"cmdFinish", "&Finish", "Quits the ranking exercise", [](RankingWindow& r) { r.Finish(); }},
};

// Column widths in twips; a twip is a fifteenth of a pixel in a font whose
// digits are six pixels wide, so the widths grow with the font.
constexpr int kColumnTwips[ranking::kRankColumns] = {800, 1000, 400, 1000, 800, 800, 1600, 1600, 1600, 9700};
constexpr int kGridRows = 18;

QLabel* Label(QWidget* parent, const char* name, const char* text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RankForm::RankForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle(ranking::kRankCaption);
  auto* layout = new QGridLayout(this);
  layout->addWidget(BuildButtons(), 0, 0, 3, 1, Qt::AlignTop);

  auto* help = new QVBoxLayout;
  help->setSpacing(2);
  help->addWidget(Label(this, "lblRankModels",
                        "Add competing models by sequentially loading or editing their associated algorithm files"));
  help->addWidget(Label(this, "lblAction",
                        "Choose 'Calculate AICc' to (re-)calculate AICc for the currently open algorithm file"));
  help->addWidget(Label(this, "lblCovariance",
                        "(Note: Competitors to be ranked must have mutually associated algorithm and covariance files)"));
  help->addWidget(Label(this, "lblDelete", "Double-click a selected model's 'Ramdom/Ranked' cell to delete that model"));
  help->addWidget(Label(this, "lblCovar",
                        "Double-click a selected model's 'Covariance file name' cell to change the covariance file"));
  help->addWidget(Label(this, "lblNotes", "Double-click a selected model's 'Notes' cell to annotate that model"));
  layout->addLayout(help, 0, 1);

  grid_ = new QTableWidget(this);
  grid_->setObjectName("grdRank");
  grid_->setColumnCount(ranking::kRankColumns);
  grid_->verticalHeader()->setVisible(false);
  const int rowHeight = grid_->fontMetrics().height() + 6;
  grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  const double scale = grid_->fontMetrics().horizontalAdvance("0") / 6.0 / 15.0;
  for (int column = 0; column < ranking::kRankColumns; ++column)
    grid_->setColumnWidth(column, static_cast<int>(kColumnTwips[column] * scale));
  grid_->setMinimumHeight(rowHeight * kGridRows + grid_->horizontalHeader()->sizeHint().height() + 4);
  grid_->setMinimumWidth(static_cast<int>(10500 * scale));
  layout->addWidget(grid_, 1, 1);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    // After the view has finished with the click, so that it does not take the focus back.
    QTimer::singleShot(0, this, [this, row, column] { Ranking(workbench_).DoubleClick(row + 1, column); });
  });

  auto* bottom = new QGridLayout;
  chat_ = new QLineEdit(this);
  chat_->setObjectName("txtCHat");
  chat_->setReadOnly(true);
  chat_->setFixedWidth(grid_->fontMetrics().horizontalAdvance("C-hat: 00.000") + 16);
  bottom->addWidget(chat_, 0, 0, Qt::AlignLeft);
  QLabel* averageLabel = Label(this, "lblAverage", "Averaging results >");
  averageLabel->setEnabled(false);
  bottom->addWidget(averageLabel, 1, 0, Qt::AlignTop);
  QTextEdit* average = ui::qt::MakeReportPane(this, "txtAverage");
  average->setReadOnly(true);
  average->setMinimumHeight(average->fontMetrics().lineSpacing() * 10);
  bottom->addWidget(average, 1, 1);
  bottom->setColumnStretch(1, 1);
  bottom->setRowStretch(1, 1);
  layout->addLayout(bottom, 2, 1);
  layout->setRowStretch(2, 1);
  Refresh();
}

QWidget* RankForm::BuildButtons() {
  auto* column = new QWidget(this);
  auto* buttons = new QVBoxLayout(column);
  buttons->setContentsMargins(0, 0, 0, 0);
  for (const ButtonSpec& entry : kButtons) {
    auto* button = new QPushButton(entry.caption, column);
    button->setObjectName(entry.name);
    if (*entry.toolTip) button->setToolTip(entry.toolTip);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, run = entry.run] { run(Ranking(workbench_)); });
  }
  return column;
}

void RankForm::Refresh() {
  const ranking::ModelTable& table = Ranking(workbench_).Table();
  ranking::RankGridLine headers = ranking::RankGridHeaders(table);
  QStringList labels;
  for (const std::string& header : headers) labels << Q(header);
  grid_->setHorizontalHeaderLabels(labels);
  QFont headerFont = grid_->horizontalHeaderItem(0)->font();
  headerFont.setBold(!table.Ranked());
  grid_->horizontalHeaderItem(0)->setFont(headerFont);
  grid_->setRowCount(table.Count());
  const QBrush fixedBack = palette().brush(QPalette::Button);
  for (int position = 1; position <= table.Count(); ++position) {
    ranking::RankGridLine cells = ranking::RankGridRow(table, position);
    for (int column = 0; column < ranking::kRankColumns; ++column) {
      QTableWidgetItem* item = grid_->item(position - 1, column);
      if (!item) {
        item = new QTableWidgetItem;
        grid_->setItem(position - 1, column, item);
      }
      item->setText(Q(cells[column]));
      const bool number = column >= 1 && column <= 5;
      item->setTextAlignment(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
      if (column == 0) item->setBackground(fixedBack);
    }
  }
  // A column widens to show its numbers whole (the differences and weights
  // are printed in full); it never narrows below its designed width.
  for (int column = 0; column < ranking::kRankColumns; ++column) {
    const int designed = grid_->columnWidth(column);
    grid_->resizeColumnToContents(column);
    if (grid_->columnWidth(column) < designed) grid_->setColumnWidth(column, designed);
  }
  chat_->setText(Q(ranking::CHatText(table.CHat())));
  QPalette colours = chat_->palette();
  colours.setColor(QPalette::Text, table.CHat() != 1 ? QColor(0, 0, 255) : QColor(0, 128, 0));
  chat_->setPalette(colours);
}

bool RankForm::UserClosing() { return Ranking(workbench_).Closing(); }

void InstallRanking(Workbench& wb) {
  wb.ui.RegisterForm(std::string(names::kRankForm), [&wb] { return new RankForm(wb); },
                     {QSize(1180, 760), QPoint(0, 0)});
  Ranking(wb).onChange = [&wb] {
    if (auto* form = dynamic_cast<RankForm*>(wb.ui.Form(names::kRankForm))) form->Refresh();
  };
}

}  // namespace kalvex::app
