#include "app/SummaryWindow.h"

#include <QCloseEvent>
#include <QFont>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextEdit>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "app/DiagnosticsWindow.h"
#include "app/HindcastWindow.h"
#include "app/MainWindow.h"
#include "app/Workbench.h"
#include "plots/qt/XYPlotWindow.h"
#include "workflow/SummaryWindow.h"

namespace kalvex {

int TwipsToPixels(const QWidget& widget, double twips) { return qRound(twips * widget.logicalDpiX() / 1440.0); }

SummaryWindow::SummaryWindow(ui::Frontend& frontend, std::function<void()> onUserClose, QWidget* parent)
    : QWidget(parent), frontend_(frontend), onUserClose_(std::move(onUserClose)) {
  setObjectName(kFormName);
  setWindowTitle(kCaption);
  cmdSaveSummary_ = new QPushButton("Save summary as...", this);
  cmdSaveSummary_->setObjectName("cmdSaveSummary");
  cmdSaveSummary_->setToolTip("Saves the (possibly edited) output appearing in the textbox below");
  rtbOut_ = new QTextEdit(this);
  rtbOut_->setObjectName("rtbOut");
  rtbOut_->setAcceptRichText(false);
  rtbOut_->setLineWrapMode(QTextEdit::NoWrap);
  QFont font("Courier New", 9);
  font.setStyleHint(QFont::TypeWriter);
  rtbOut_->setFont(font);
  connect(cmdSaveSummary_, &QPushButton::clicked, this, &SummaryWindow::SaveSummary);
  resize(TwipsToPixels(*this, 12000), TwipsToPixels(*this, 8000));
}

void SummaryWindow::SaveSummary() { workflow::SaveSummary(frontend_); }

void SummaryWindow::AddCheckButton(const char* name, const char* caption, const char* tip,
                                   std::function<void()> action) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setToolTip(tip);
  connect(button, &QPushButton::clicked, this, std::move(action));
  checkButtons_.push_back(button);
}

void SummaryWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The button spans the inner width less 120 twips; the pane as well, and
  // the remaining height less 400 twips below the button.
  const int margin = TwipsToPixels(*this, 60);
  const int width = std::max(0, this->width() - TwipsToPixels(*this, 120));
  const int buttonHeight = TwipsToPixels(*this, 400) - 2 * margin;
  // The check buttons, when there are any, take the right end of the row.
  const int side = TwipsToPixels(*this, 1800);
  const int checks = static_cast<int>(checkButtons_.size());
  const int saveWidth = std::max(0, width - checks * (side + margin));
  cmdSaveSummary_->setGeometry(margin, margin, saveWidth, buttonHeight);
  for (int k = 0; k < checks; ++k)
    checkButtons_[k]->setGeometry(margin + saveWidth + margin + k * (side + margin), margin, side, buttonHeight);
  const int paneTop = TwipsToPixels(*this, 400) - margin;
  const int paneHeight = std::max(0, height() - TwipsToPixels(*this, 400));
  rtbOut_->setGeometry(margin, paneTop, width, paneHeight);
}

bool SummaryWindow::UserClosing() {
  if (onUserClose_) onUserClose_();
  return true;
}

void SummaryWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

namespace app {

void InstallResultsSummary(Workbench& wb) {
  wb.ui.RegisterForm(
      std::string(workflow::kSummaryForm),
      [&wb] {
        auto* window = new SummaryWindow(wb.ui, [&wb] { wb.menu.AnalysisEnded(); });
        window->AddCheckButton("cmdDiagnostics", "&Diagnostics...",
                               "Residual diagnostics of the current fit: runs, autocorrelation and normality, with plots",
                               [&wb] { ShowDiagnostics(wb); });
        window->AddCheckButton("cmdHindcast", "&Hindcast...",
                               "Refits without the last years and forecasts them: how good the forecasts have been",
                               [&wb] { ShowHindcast(wb); });
        return window;
      },
      {QSize(830, 640), QPoint(440, 0)});  // beside the main menu, as the analysis windows are
  InstallDiagnostics(wb);
  InstallHindcast(wb);
  // One plot window at a time: a new summary's plots replace the old ones.
  wb.ui.plotViewer = [&wb, shown = QPointer<QMdiSubWindow>()](const plots::XYPlotData& data) mutable {
    if (shown) shown->close();
    wb.ui.Flush();  // the windows the command opened first stay below the plot
    auto* window = new plots::XYPlotWindow(data);
    window->setAttribute(Qt::WA_DeleteOnClose);
    ui::qt::PressFocusedButtonOnReturn(window);
    QMdiArea* area = wb.Main().Area();
    shown = area->addSubWindow(window);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    // At the area's top left, as large as it wants within the area.
    shown->adjustSize();
    shown->setGeometry(QRect(QPoint(0, 0), shown->size().boundedTo(area->viewport()->size())));
    shown->show();
  };
}

}  // namespace app
}  // namespace kalvex
