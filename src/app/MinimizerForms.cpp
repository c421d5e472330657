#include "app/MinimizerForms.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "minimize/MinimizerReports.h"
#include "ui/Names.h"
#include "workflow/MainMenu.h"

namespace kalvex::app {
namespace {

using ui::names::kMarquardtForm;
using ui::names::kMarquardtPane;
using ui::names::kSimplexForm;
using ui::names::kSimplexInitialPane;
using ui::names::kSimplexPane;

constexpr const char* kSimplexCaption = "Simplex minimization";
constexpr const char* kStopCaption = "&Interrupt";

QTextEdit* Pane(QWidget* parent, std::string_view name) {
  return ui::qt::MakeReportPane(parent, QString::fromUtf8(name.data(), qsizetype(name.size())));
}

// The report columns need a smaller type as the free count grows.
void SizeFor(QTextEdit* pane, int freeCount) {
  int size = ReportPaneFontSize(freeCount);
  if (pane->font().pointSize() == size) return;
  QFont font = pane->font();
  font.setPointSize(size);
  pane->setFont(font);
}

// The Interrupt button of a window handed out again, as a new one has it.
// Through the front end, so that a run that sets it again at once costs
// nothing.
void ResetStop(ui::Frontend& ui, std::string_view form) {
  ui.SetCaption(form, "cmdStop", kStopCaption);
  ui.SetEnabled(form, "cmdStop", true);
}

// Wide enough for the whole caption in an MDI title bar, beside its icon
// and buttons.
int CaptionWidth(const char* caption) {
  const QFont font = QApplication::font("QMdiSubWindowTitleBar");
  const int bar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
  return QFontMetrics(font).horizontalAdvance(QString::fromUtf8(caption)) + 4 * bar + 32;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

SimplexForm::SimplexForm(Workbench& workbench)
    : workbench_(workbench),
      initialPane_(Pane(this, kSimplexInitialPane)),
      progressPane_(Pane(this, kSimplexPane)),
      stop_(Button(this, "cmdStop", kStopCaption)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(initialPane_, 1);
  layout->addWidget(progressPane_, 2);
  layout->addWidget(stop_);
  connect(stop_, &QPushButton::clicked, this,
          [this] { workbench_.menu.SimplexWindowControl().InterruptPressed(workbench_.ws); });
  Reopen();
}

bool SimplexForm::UserClosing() { return workbench_.menu.SimplexWindowControl().Closing(); }

void SimplexForm::Reopen() {
  if (windowTitle() != QLatin1String(kSimplexCaption)) setWindowTitle(kSimplexCaption);
  // (The front end empties the panes of a form it hands out again.)
  for (QTextEdit* pane : {initialPane_, progressPane_}) SizeFor(pane, workbench_.ws.Free.FreeCount);
  ResetStop(workbench_.ui, kSimplexForm);
}

MarquardtForm::MarquardtForm(Workbench& workbench)
    : workbench_(workbench),
      pane_(Pane(this, kMarquardtPane)),
      stop_(Button(this, "cmdStop", kStopCaption)),
      next_(Button(this, "cmdIteration", "&Next iteration")),
      resume_(Button(this, "cmdContinue", "&Continue")) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pane_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(stop_, 1);
  buttons->addWidget(next_);
  buttons->addWidget(resume_);
  layout->addLayout(buttons);
  Workspace& ws = workbench_.ws;
  MarquardtWindow& window = workbench_.menu.MarquardtWindowControl();
  connect(stop_, &QPushButton::clicked, this, [&ws, &window] { window.InterruptPressed(ws); });
  connect(next_, &QPushButton::clicked, this, [&window] { window.NextIteration(); });
  connect(resume_, &QPushButton::clicked, this, [&window] { window.Continue(); });
  Reopen();
}

bool MarquardtForm::UserClosing() { return workbench_.menu.MarquardtWindowControl().Closing(); }

void MarquardtForm::Reopen() {
  if (windowTitle() != QLatin1String(kMarquardtCaption)) setWindowTitle(kMarquardtCaption);
  SizeFor(pane_, workbench_.ws.Free.FreeCount);
  ResetStop(workbench_.ui, kMarquardtForm);
  // The step buttons show only while the run waits over its derivatives.
  next_->setHidden(true);
  resume_->setHidden(true);
}

void InstallMinimizers(Workbench& wb) {
  // Beside the main menu, which comes back when a run ends.
  wb.ui.RegisterForm(kSimplexForm.data(), [&wb] { return new SimplexForm(wb); }, {QSize(830, 640), QPoint(440, 0)});
  // Its long caption may need more: the area then moves it in over the menu's side.
  wb.ui.RegisterForm(kMarquardtForm.data(), [&wb] { return new MarquardtForm(wb); },
                     {QSize(std::max(830, CaptionWidth(kMarquardtCaption)), 640), QPoint(440, 0)});
}

}  // namespace kalvex::app
