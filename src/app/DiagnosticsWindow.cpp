#include "app/DiagnosticsWindow.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Workbench.h"
#include "plots/Panel.h"
#include "plots/qt/FigurePainter.h"

namespace kalvex::app {
namespace {

constexpr std::array<const char*, 4> kCanvasNames = {"picResiduals", "picQQ", "picAutocorrelation", "picHistogram"};
constexpr std::array<const char*, 4> kPlotFiles = {"residuals.png", "qq.png", "autocorrelation.png", "histogram.png"};

// A plot drawn at its own proportions, centred in the space it is given:
// text and circles keep their shape however the window is sized.
class PlotCanvas : public QWidget {
 public:
  PlotCanvas(std::function<plots::Figure()> figure, QWidget* parent) : QWidget(parent), figure_(std::move(figure)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const plots::Figure figure = figure_();
    if (figure.width <= 0 || figure.height <= 0) return;
    const double scale = std::min(width() / figure.width, height() / figure.height);
    const QSize size(int(figure.width * scale), int(figure.height * scale));
    painter.setRenderHint(QPainter::Antialiasing, true);
    plots::PaintFigure(painter, QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                       figure);
  }

 private:
  std::function<plots::Figure()> figure_;
};

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
      Button(this, "cmdSavePlots", "Save &plots as...", "Saves the four plots as one PNG, SVG or PDF picture");
  QPushButton* close = Button(this, "cmdClose", "&Close", "Closes the diagnostics");
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
    auto* canvas = new PlotCanvas([this, k] { return PlotFigure(k); }, plotsArea);
    canvas->setObjectName(kCanvasNames[k]);
    canvas->setMinimumSize(240, 180);
    canvas->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* saveOne = new QAction("Save this plot as...", canvas);
    connect(saveOne, &QAction::triggered, this, [this, k] {
      if (std::optional<std::string> path = AskPicturePath(kPlotFiles[k])) SavePlot(k, *path);
    });
    canvas->addAction(saveOne);
    canvas->setToolTip("Right-click to save this plot as a PNG, SVG or PDF picture");
    grid->addWidget(canvas, k / 2, k % 2);
    canvases_[k] = canvas;
  }
  pages->addTab(plotsArea, "Plots");
  pages->addTab(ui::qt::MakeReportPane(pages, QString::fromUtf8(checks::kDiagnosticsPane.data())), "Report");
  layout->addWidget(pages, 1);

  connect(save, &QPushButton::clicked, this, &DiagnosticsWindow::SaveDiagnostics);
  connect(savePlots, &QPushButton::clicked, this, &DiagnosticsWindow::SavePlots);
  connect(close, &QPushButton::clicked, this, [this] { workbench_.ui.CloseWindow(checks::kDiagnosticsForm); });
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
  checks::SaveDiagnostics(workbench_.ui, shown_->Picture(),
                          [](const plots::Figure& figure, const std::string& path, std::string& bytes) {
                            return plots::EncodeFigurePicture(figure, path, bytes);
                          });
}

std::optional<std::string> DiagnosticsWindow::AskPicturePath(const std::string& proposed) {
  ui::FileDialog dialog;
  dialog.title = "Save plot picture as...";
  dialog.filter = plots::PictureFileFilter();
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
                     {QSize(1200, 800), QPoint(40, 0)});
}

void ShowDiagnostics(Workbench& wb) {
  std::optional<checks::Diagnostics> diagnostics = checks::RunDiagnostics(wb.ws, wb.ui);
  if (!diagnostics) return;
  wb.menu.Session().diagnostics = *diagnostics;  // kept for "Save report..."
  if (auto* window = dynamic_cast<DiagnosticsWindow*>(wb.ui.Form(checks::kDiagnosticsForm)))
    window->ShowPlots(std::move(*diagnostics));
}

}  // namespace kalvex::app
