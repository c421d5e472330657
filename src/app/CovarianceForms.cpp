#include "app/CovarianceForms.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "workflow/CovarianceWindows.h"

namespace kalvex::app {
namespace {

namespace names = ui::names;

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QPushButton* Button(QWidget* parent, std::string_view name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(Q(name));
  return button;
}

}  // namespace

CovarianceLogForm::CovarianceLogForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle(workflow::kCovarianceLogCaption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ui::qt::MakeReportPane(this, Q(names::kCovariancePane)), 1);
  QPushButton* button = Button(this, names::kCovarianceInterruptButton, workflow::kInterruptCaption);
  layout->addWidget(button);
  connect(button, &QPushButton::clicked, this,
          [&wb = workbench_] { wb.menu.CovarianceCommands().LogButton(); });
}

bool CovarianceLogForm::UserClosing() { return workbench_.menu.CovarianceCommands().LogClosing(); }

CovarianceDataForm::CovarianceDataForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle(workflow::kCovarianceDataCaption);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel("Calculation completed. Do you wish to:", this);
  label->setObjectName(Q(names::kCovDataLabel));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  layout->addWidget(label);
  QPushButton* display = Button(this, names::kCovDisplayButton, "Display results on &screen");
  QPushButton* save = Button(this, names::kCovSaveButton, "Save &covariance results as...");
  QPushButton* finish = Button(this, names::kCovFinishButton, "&Finish display");
  save->setEnabled(false);
  for (QPushButton* button : {display, save, finish}) layout->addWidget(button);
  auto* explanation = new QPlainTextEdit(workflow::kCovarianceExplanation, this);
  explanation->setObjectName("txtExplanation");
  explanation->setReadOnly(true);
  layout->addWidget(explanation, 1);

  Workbench& wb = workbench_;
  connect(display, &QPushButton::clicked, this, [&wb] { wb.menu.CovarianceCommands().DisplayReport(); });
  connect(save, &QPushButton::clicked, this, [&wb] { wb.menu.CovarianceCommands().Save(); });
  connect(finish, &QPushButton::clicked, this, [&wb] {
    wb.menu.CovarianceCommands().Finish();
    wb.menu.AnalysisEnded();
  });
}

bool CovarianceDataForm::UserClosing() {
  // The log window goes with it; the main menu comes back.
  workbench_.menu.CovarianceCommands().DataClosing();
  workbench_.menu.AnalysisEnded();
  return true;
}

void InstallCovariance(Workbench& wb) {
  // Wide enough for the report's longest lines beside "Covariance data".
  wb.ui.RegisterForm(names::kCovarianceForm.data(), [&wb] { return new CovarianceLogForm(wb); },
                     {QSize(1100, 640), QPoint(440, 0)});
  wb.ui.RegisterForm(names::kCovDataForm.data(), [&wb] { return new CovarianceDataForm(wb); },
                     {QSize(430, 420), QPoint(0, 0)});
}

}  // namespace kalvex::app
