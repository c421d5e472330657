#include "app/InitializeForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>

#include "app/Workbench.h"

namespace kalvex::app {

QString ModelDescriptionText() {
  return QString("This model predicts and forecast harvest rates indices for one species in a multispecies ") +
         "fishery using catch and effort data from that fishery, and harvest rate data " +
         "collected independently of the catch and effort data.  It attempts to assign " +
         "the model error to either or both of process error or measurement error.  Catch " +
         "data for up to the specified number of species can be included in the input data; there can be" +
         "one step intervention series." + "  " +
         "The model, its moving-average error structure and its forecast are set out in the published "
         "description of the multi-species Oskane harvest-rate-index model, which is the reference to cite "
         "for results obtained with it.";
}

QString DataFormatText() {
  return QString("The data input format for year, then effort, then catch for species one to the final last species, ") +
         "then the intervention series (all 0s or 1s), then the harvest rate index is: " +
         "'#### ####### ####### ####### etc'. " + "Note that one space separates each field. " +
         "The first line in the data file is skipped as it is assumed to contain field labels.";
}

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QTextEdit* Description(QWidget* parent, const char* name, const QString& text) {
  auto* box = new QTextEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setPlainText(text);
  return box;
}

}  // namespace

InitializeForm::InitializeForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("Initialize Oskane model");
  auto* grid = new QGridLayout(this);
  grid->addWidget(Label(this, "lblNSpecies", "Please enter the number of species in the model:"), 0, 0);
  auto* species = new QComboBox(this);
  species->setObjectName("cboNSpecies");
  for (int n = 1; n <= 25; ++n) species->addItem(QString::number(n));
  grid->addWidget(species, 0, 1);

  grid->addWidget(Label(this, "lblDataFile", "Input file for the effort, catch, intervention and index data:"), 1, 0,
                  1, 3);
  auto* path = new QLineEdit(this);
  path->setObjectName("txtDataFile");
  grid->addWidget(path, 2, 0, 1, 2);
  auto* select = new QPushButton("Select", this);
  select->setObjectName("cmdSelect");
  grid->addWidget(select, 2, 2);

  grid->addWidget(Label(this, "LabellnL", "Objective function is -2lnL"), 3, 0, 1, 3);
  grid->addWidget(Label(this, "lblDo", "Here's what I do:"), 4, 0, 1, 3);
  grid->addWidget(Description(this, "txtInitialize", ModelDescriptionText()), 5, 0, 1, 3);
  grid->addWidget(Label(this, "lblDataInput", "Data input format:"), 6, 0, 1, 3);
  grid->addWidget(Description(this, "txtDataFormat", DataFormatText()), 7, 0, 1, 3);

  auto* done = new QPushButton("&Done?", this);
  done->setObjectName("cmdDone");
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("cmdCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(done);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 8, 0, 1, 3);
  grid->setColumnStretch(0, 1);

  connect(select, &QPushButton::clicked, this, [this] { workbench_.menu.SelectDataFile(); });
  connect(done, &QPushButton::clicked, this, [this, species, path] {
    workbench_.menu.FinishInitialization(species->currentText().toStdString(), path->text().toStdString());
  });
  connect(cancel, &QPushButton::clicked, this, [this] { workbench_.menu.CancelInitialization(); });
  // Escape gives up, as it does in a dialog.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  connect(escape, &QShortcut::activated, cancel, &QPushButton::click);
}

bool InitializeForm::UserClosing() {
  // Closing the window gives up as "&Cancel" does.
  workbench_.menu.InitializationGivenUp();
  return true;
}

}  // namespace kalvex::app
