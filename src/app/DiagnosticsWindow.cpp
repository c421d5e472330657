#include "app/DiagnosticsWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/CheckWidgets.h"
#include "app/Workbench.h"
#include "plots/Panel.h"
#include "plots/qt/FigurePainter.h"
#include "workflow/DiagnosticsWindow.h"

namespace kalvex::app {
namespace {

constexpr std::array<const char*, 4> kCanvasNames = {"picResiduals", "picQQ", "picAutocorrelation", "picHistogram"};
constexpr std::array<const char*, 4> kPlotFiles = {"residuals.png", "qq.png", "autocorrelation.png", "histogram.png"};

}  // namespace

DiagnosticsWindow::DiagnosticsWindow(Workbench& wb) : workbench_(wb) {
  setObjectName(QString::fromUtf8(workflow::kDiagnosticsForm.data(), workflow::kDiagnosticsForm.size()));
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  QPushButton* save =
      NamedButton(this, "cmdSaveDiagnostics", "&Save diagnostics as...",
                  "Saves the (possibly edited) report below and, beside it, the four plots as one picture");
  QPushButton* savePlots =
      NamedButton(this, "cmdSavePlots", "Save &plots as...", "Saves the four plots as one PNG, SVG or PDF picture");
  QPushButton* close = NamedButton(this, "cmdClose", "&Close", "Closes the diagnostics");
  buttons->addWidget(save);
  buttons->addWidget(savePlots);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  // The plots first, as large as the window allows; the report beside them
  // on its own page, at its full width.
  auto* pages = new QTabWidget(this);
  pages->setObjectName("tabDiagnostics");
  auto* plotsArea = new QWidget(pages);
  auto* grid = new QGridLayout(plotsArea);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  for (int k = 0; k < 4; ++k) {
    auto* canvas =
        new FigureCanvas([this, k] { return PlotFigure(k); },
                         [this, k] {
                           if (std::optional<std::string> path = AskPicturePath(workbench_.ui, kPlotFiles[k]))
                             SavePlot(k, *path);
                         },
                         plotsArea);
    canvas->setObjectName(kCanvasNames[k]);
    canvas->setMinimumSize(240, 180);
    grid->addWidget(canvas, k / 2, k % 2);
    canvases_[k] = canvas;
  }
  pages->addTab(plotsArea, "Plots");
  pages->addTab(ui::qt::MakeReportPane(pages, QString::fromUtf8(workflow::kDiagnosticsPane.data())), "Report");
  layout->addWidget(pages, 1);

  connect(save, &QPushButton::clicked, this, &DiagnosticsWindow::SaveDiagnostics);
  connect(savePlots, &QPushButton::clicked, this, &DiagnosticsWindow::SavePlots);
  connect(close, &QPushButton::clicked, this, [this] { workbench_.ui.CloseWindow(workflow::kDiagnosticsForm); });
}

plots::Figure DiagnosticsWindow::PlotFigure(int plot) const {
  if (!shown_) return plots::BlankFigure(checks::kDiagnosticsPanelWidth, checks::kDiagnosticsPanelHeight);
  return checks::DiagnosticsFigure(checks::kDiagnosticsPlots[plot], shown_->series, shown_->stats);
}

void DiagnosticsWindow::ShowPlots(checks::Diagnostics diagnostics) {
  shown_ = std::move(diagnostics);
  for (QWidget* canvas : canvases_) canvas->update();
}

void DiagnosticsWindow::SaveDiagnostics() {
  if (!shown_) return;
  workflow::SaveDiagnostics(workbench_.ui, shown_->Picture(), FigureEncoder());
}

void DiagnosticsWindow::SavePlots() {
  if (shown_) AskAndSaveFigure(workbench_.ui, shown_->Picture(), "diagnostics.png");
}

bool DiagnosticsWindow::SavePlot(int plot, const std::string& path) {
  return shown_ && SaveFigureShowingFailure(workbench_.ui, PlotFigure(plot), path);
}

void InstallDiagnostics(Workbench& wb) {
  wb.ui.RegisterForm(std::string(workflow::kDiagnosticsForm), [&wb] { return new DiagnosticsWindow(wb); },
                     {QSize(1200, 800), QPoint(40, 0)});
}

void ShowDiagnostics(Workbench& wb) {
  std::optional<checks::Diagnostics> diagnostics = workflow::RunDiagnostics(wb.ws, wb.ui);
  if (!diagnostics) return;
  wb.menu.Session().diagnostics = *diagnostics;  // kept for "Save report..."
  if (auto* window = dynamic_cast<DiagnosticsWindow*>(wb.ui.Form(workflow::kDiagnosticsForm)))
    window->ShowPlots(std::move(*diagnostics));
}

}  // namespace kalvex::app
