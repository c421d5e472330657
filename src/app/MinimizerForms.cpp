#include "app/MinimizerForms.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "minimize/Marquardt.h"
#include "minimize/MinimizerReports.h"
#include "minimize/Simplex.h"

namespace kalvex::app {
namespace {

QTextEdit* Pane(QWidget* parent, const char* name, int freeCount) {
  QTextEdit* pane = ui::qt::MakeReportPane(parent, name);
  QFont font = pane->font();
  font.setPointSize(ReportPaneFontSize(freeCount));
  pane->setFont(font);
  return pane;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

SimplexForm::SimplexForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("Simplex minimization");
  auto* layout = new QVBoxLayout(this);
  int freeCount = workbench_.ws.Free.FreeCount;
  layout->addWidget(Pane(this, kSimplexInitialPane, freeCount), 1);
  layout->addWidget(Pane(this, kSimplexPane, freeCount), 2);
  QPushButton* stop = Button(this, "cmdStop", "&Interrupt");
  layout->addWidget(stop);
  connect(stop, &QPushButton::clicked, this, [this] { OnSimplexInterruptPressed(workbench_.ws, workbench_.ui); });
}

bool SimplexForm::UserClosing() { return OnSimplexWindowClosing(workbench_.ws, workbench_.ui); }

MarquardtForm::MarquardtForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle(kMarquardtCaption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pane(this, kMarquardtPane, workbench_.ws.Free.FreeCount), 1);
  auto* buttons = new QHBoxLayout;
  QPushButton* stop = Button(this, "cmdStop", "&Interrupt");
  QPushButton* next = Button(this, "cmdIteration", "&Next iteration");
  QPushButton* resume = Button(this, "cmdContinue", "&Continue");
  buttons->addWidget(stop, 1);
  buttons->addWidget(next);
  buttons->addWidget(resume);
  layout->addLayout(buttons);
  // The step buttons show only while the run waits over its derivatives.
  next->hide();
  resume->hide();
  Workspace& ws = workbench_.ws;
  ui::Frontend& ui = workbench_.ui;
  connect(stop, &QPushButton::clicked, this, [&ws, &ui] { OnMarquardtInterruptPressed(ws, ui); });
  connect(next, &QPushButton::clicked, this, [&ws, &ui] { OnMarquardtNextIteration(ws, ui); });
  connect(resume, &QPushButton::clicked, this, [&ws, &ui] { OnMarquardtContinue(ws, ui); });
}

bool MarquardtForm::UserClosing() { return OnMarquardtWindowClosing(workbench_.ws, workbench_.ui); }

void InstallMinimizers(Workbench& wb) {
  // Beside the main menu, which comes back when a run ends.
  wb.ui.RegisterForm(kSimplexForm.data(), [&wb] { return new SimplexForm(wb); }, {QSize(830, 640), QPoint(440, 0)});
  wb.ui.RegisterForm(kMarquardtForm.data(), [&wb] { return new MarquardtForm(wb); },
                     {QSize(830, 640), QPoint(440, 0)});
  MainMenuActions& actions = wb.menu.Actions();
  actions.runSimplex = [&wb] { RunSimplex(wb.ws, wb.ui); };
  actions.chooseDerivatives = [&wb] { return MarquardtSetup(wb.ws, wb.ui); };
  actions.runMarquardt = [&wb] { RunMarquardt(wb.ws, wb.ui); };
}

}  // namespace kalvex::app
