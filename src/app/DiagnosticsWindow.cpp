#include "app/DiagnosticsWindow.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "plots/qt/EvaluationPlotWindows.h"
#include "plots/qt/FigurePainter.h"
#include "plots/qt/XYPlotPainter.h"

namespace kalvex::app {
namespace {

constexpr std::array<const char*, 4> kCanvasNames = {"picResiduals", "picQQ", "picAutocorrelation", "picHistogram"};
constexpr std::array<const char*, 4> kPlotFiles = {"residuals.png", "qq.png", "autocorrelation.png", "histogram.png"};

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* tip) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(tip);
  return button;
}

}  // namespace

DiagnosticsWindow::DiagnosticsWindow(Workbench& wb) : workbench_(wb) {
  setObjectName(QString::fromUtf8(checks::kDiagnosticsForm.data(), checks::kDiagnosticsForm.size()));
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  QPushButton* save = Button(this, "cmdSaveDiagnostics", "&Save diagnostics as...",
                             "Saves the (possibly edited) report below and, beside it, the four plots as one picture");
  QPushButton* savePlots =
      Button(this, "cmdSavePlots", "Save &plots as...", "Saves the four plots as one PNG or SVG picture");
  QPushButton* close = Button(this, "cmdClose", "&Close", "Closes the diagnostics");
  buttons->addWidget(save);
  buttons->addWidget(savePlots);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  QTextEdit* pane = ui::qt::MakeReportPane(splitter, QString::fromUtf8(checks::kDiagnosticsPane.data()));
  splitter->addWidget(pane);
  auto* plotsArea = new QWidget(splitter);
  auto* grid = new QGridLayout(plotsArea);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int k = 0; k < 4; ++k) {
    auto* canvas = new plots::FigureCanvas([this, k] { return PlotFigure(k); }, plotsArea);
    canvas->setObjectName(kCanvasNames[k]);
    canvas->setMinimumSize(240, 180);
    canvas->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* saveOne = new QAction("Save this plot as...", canvas);
    connect(saveOne, &QAction::triggered, this, [this, k] {
      if (std::optional<std::string> path = AskPicturePath(kPlotFiles[k])) SavePlot(k, *path);
    });
    canvas->addAction(saveOne);
    canvas->setToolTip("Right-click to save this plot as a PNG or SVG picture");
    grid->addWidget(canvas, k / 2, k % 2);
    canvases_[k] = canvas;
  }
  splitter->addWidget(plotsArea);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  layout->addWidget(splitter, 1);

  connect(save, &QPushButton::clicked, this, &DiagnosticsWindow::SaveDiagnostics);
  connect(savePlots, &QPushButton::clicked, this, &DiagnosticsWindow::SavePlots);
  connect(close, &QPushButton::clicked, this, [this] { workbench_.ui.CloseWindow(checks::kDiagnosticsForm); });
}

plots::Figure DiagnosticsWindow::PlotFigure(int plot) const {
  if (!shown_) return plots::Figure{checks::kDiagnosticsPanelWidth, checks::kDiagnosticsPanelHeight, {}, {}};
  return checks::DiagnosticsFigure(checks::kDiagnosticsPlots[plot], shown_->series, shown_->stats);
}

void DiagnosticsWindow::ShowPlots(checks::Diagnostics diagnostics) {
  shown_ = std::move(diagnostics);
  for (plots::FigureCanvas* canvas : canvases_) canvas->update();
}

void DiagnosticsWindow::SaveDiagnostics() {
  if (!shown_) return;
  checks::SaveDiagnostics(workbench_.ui, shown_->Picture(), plots::EncodeFigurePicture);
}

std::optional<std::string> DiagnosticsWindow::AskPicturePath(const std::string& proposed) {
  ui::FileDialog dialog;
  dialog.title = "Save plot picture as...";
  dialog.filter = "PNG pictures (*.png)|*.png";
  if (plots::SvgPictureAvailable()) dialog.filter += "|SVG drawings (*.svg)|*.svg";
  dialog.fileName = proposed;
  dialog.overwritePrompt = true;
  return workbench_.ui.SaveFile(dialog);
}

bool DiagnosticsWindow::SaveFigure(const plots::Figure& figure, const std::string& path) {
  if (std::optional<std::string> error = plots::SaveFigurePicture(figure, path)) {
    workbench_.ui.Message("Save failed", "The picture could not be saved to " + path + ": " + *error,
                          ui::style::kCritical);
    return false;
  }
  return true;
}

void DiagnosticsWindow::SavePlots() {
  if (!shown_) return;
  if (std::optional<std::string> path = AskPicturePath("diagnostics.png")) SaveFigure(shown_->Picture(), *path);
}

bool DiagnosticsWindow::SavePlot(int plot, const std::string& path) {
  return shown_ && SaveFigure(PlotFigure(plot), path);
}

void InstallDiagnostics(Workbench& wb) {
  wb.ui.RegisterForm(std::string(checks::kDiagnosticsForm), [&wb] { return new DiagnosticsWindow(wb); },
                     {QSize(1180, 760), QPoint(60, 120)});
}

void ShowDiagnostics(Workbench& wb) {
  std::optional<checks::Diagnostics> diagnostics = checks::RunDiagnostics(wb.ws, wb.ui);
  if (!diagnostics) return;
  if (auto* window = dynamic_cast<DiagnosticsWindow*>(wb.ui.Form(checks::kDiagnosticsForm)))
    window->ShowPlots(std::move(*diagnostics));
}

}  // namespace kalvex::app
