#include "app/JitterWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/CheckWidgets.h"
#include "app/Workbench.h"
#include "plots/Panel.h"
#include "plots/qt/FigurePainter.h"
#include "ui/RunContext.h"
#include "workflow/JitterWindow.h"

namespace kalvex::app {

JitterWindow::JitterWindow(Workbench& wb) : workbench_(wb) {
  setObjectName(QString::fromUtf8(workflow::kJitterForm.data(), workflow::kJitterForm.size()));
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  stop_ = NamedButton(this, ui::names::kStopButton.data(), "&Interrupt",
                      "Stops the fits: the starts fitted so far are reported");
  stop_->setEnabled(false);
  QPushButton* save = NamedButton(this, "cmdSaveJitter", "&Save report as...",
                                  "Saves the (possibly edited) report below as "
                                  "a .jit file and, beside it, the picture");
  save->setEnabled(false);
  savePlot_ = NamedButton(this, "cmdSavePlot", "Save &plot as...", "Saves the picture as PNG, SVG or PDF");
  savePlot_->setEnabled(false);
  QPushButton* close = NamedButton(this, "cmdClose", "&Close", "Closes the jittered starts");
  buttons->addWidget(stop_);
  buttons->addWidget(save);
  buttons->addWidget(savePlot_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  // The picture at its proportions above the report at its full width, the
  // window beside the main menu as the minimizers' are.
  auto* split = new QSplitter(Qt::Vertical, this);
  auto* canvas = new FigureCanvas([this] { return Figure(); }, [this] { SavePlot(); }, split);
  canvas->setObjectName("picMinima");
  canvas->setMinimumSize(300, 160);
  canvas_ = canvas;
  split->addWidget(canvas);
  split->addWidget(ui::qt::MakeReportPane(split, QString::fromUtf8(workflow::kJitterPane.data())));
  split->setSizes({340, 440});
  layout->addWidget(split, 1);

  connect(stop_, &QPushButton::clicked, this, [this] { InterruptToken(workbench_.ws, InterruptFlag::Fits).Raise(); });
  connect(save, &QPushButton::clicked, this, &JitterWindow::SaveReport);
  connect(savePlot_, &QPushButton::clicked, this, &JitterWindow::SavePlot);
  connect(close, &QPushButton::clicked, this, [this] {
    if (UserClosing()) workbench_.ui.CloseWindow(workflow::kJitterForm);
  });
}

plots::Figure JitterWindow::Figure() const {
  if (!shown_) return plots::BlankFigure(checks::kCheckPictureWidth, checks::kCheckPictureHeight);
  return shown_->Picture();
}

void JitterWindow::ShowMinima(const checks::JitterCheck* check) {
  shown_.reset();
  if (check) shown_ = *check;
  savePlot_->setEnabled(check != nullptr);
  canvas_->update();
}

void JitterWindow::SaveReport() {
  if (shown_) workflow::SaveJitter(workbench_.ui, Figure(), FigureEncoder());
}

void JitterWindow::SavePlot() {
  if (shown_) AskAndSaveFigure(workbench_.ui, Figure(), "jitter.png");
}

bool JitterWindow::UserClosing() {
  if (!stop_->isEnabled()) return true;
  InterruptToken(workbench_.ws, InterruptFlag::Fits).Raise();
  return false;
}

void InstallJitter(Workbench& wb) {
  wb.ui.RegisterForm(std::string(workflow::kJitterForm), [&wb] { return new JitterWindow(wb); },
                     {QSize(830, 840), QPoint(440, 0)});
}

void ShowJitter(Workbench& wb) {
  wb.menu.CheckMinimum([&wb](const checks::JitterCheck* check) {
    // A run starting makes the window; the core has not opened it yet.
    if (auto* window = dynamic_cast<JitterWindow*>(wb.ui.LoadForm(workflow::kJitterForm))) window->ShowMinima(check);
  });
}

}  // namespace kalvex::app
