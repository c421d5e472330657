#include "plots/qt/EvaluationPlotWindows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "plots/qt/FigurePainter.h"
#include "plots/qt/PictureDialog.h"

namespace kalvex::plots {
namespace {

// Inside the main window "&Done" closes the sub-window frame too; closing only
// the plot would leave an empty frame behind.
void CloseWithFrame(QWidget* window) {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
    frame->close();
  else
    window->close();
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

FigureCanvas::FigureCanvas(std::function<Figure()> figure, QWidget* parent)
    : QWidget(parent), figure_(std::move(figure)) {
  setObjectName("Graph");
  setAutoFillBackground(false);
  setMinimumSize(300, 280);
}

QSize FigureCanvas::sizeHint() const { return FigurePixelSize(figure_()); }

void FigureCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintFigure(painter, rect(), figure_());
}

DistPlotWindow::DistPlotWindow(DistributionPlotData data, QWidget* parent)
    : QWidget(parent), plot_(std::move(data)) {
  setObjectName(kFormName);
  setWindowTitle(kCaption);
  auto* layout = new QHBoxLayout(this);
  canvas_ = new FigureCanvas([this] { return plot_.Picture(); }, this);
  layout->addWidget(canvas_, 1);

  auto* side = new QVBoxLayout;
  auto* toPlot = new QLabel("Variable to plot:", this);
  toPlot->setObjectName("lblToPlot");
  side->addWidget(toPlot);
  listVar_ = new QListWidget(this);
  listVar_->setObjectName("listVar");
  side->addWidget(listVar_);
  QPushButton* plotButton = Button(this, "cmdPlot", "&Plot it!");
  QPushButton* clear = Button(this, "cmdClear", "Cl&ear");
  side->addWidget(plotButton);
  side->addWidget(clear);
  auto* options = new QGroupBox("Plot Options:", this);
  options->setObjectName("fraPlotOptions");
  auto* optionLayout = new QVBoxLayout(options);
  line_ = new QCheckBox("Draw lines", options);
  line_->setObjectName("Check_Line");
  scatter_ = new QCheckBox("Draw points", options);
  scatter_->setObjectName("Check_Scatter");
  drop_ = new QCheckBox("Drop line plot", options);
  drop_->setObjectName("Check_Drop");
  for (QCheckBox* box : {line_, scatter_, drop_}) optionLayout->addWidget(box);
  side->addWidget(options);
  QPushButton* save = Button(this, "cmdSavePicture", "Save &picture...");
  QPushButton* done = Button(this, "cmdDone", "&Done");
  side->addWidget(save);
  side->addStretch(1);
  side->addWidget(done);
  layout->addLayout(side);
  SetData(plot_.Data());

  connect(plotButton, &QPushButton::clicked, this, &DistPlotWindow::PlotIt);
  connect(listVar_, &QListWidget::itemDoubleClicked, this, &DistPlotWindow::PlotIt);
  connect(clear, &QPushButton::clicked, this, &DistPlotWindow::ClearPlot);
  connect(line_, &QCheckBox::clicked, this, [this](bool on) { plot_.SetDrawLines(on), ShowOptions(); });
  connect(scatter_, &QCheckBox::clicked, this, [this](bool on) { plot_.SetDrawPoints(on), ShowOptions(); });
  connect(drop_, &QCheckBox::clicked, this, [this](bool on) { plot_.SetDropLines(on), ShowOptions(); });
  connect(save, &QPushButton::clicked, this,
          [this] { AskAndSavePicture(this, "distribution.png", [this](const QString& path) { return SavePictureTo(path); }); });
  connect(done, &QPushButton::clicked, this, [this] { CloseWithFrame(this); });
}

void DistPlotWindow::SetData(DistributionPlotData data) {
  plot_ = DistributionPlot(std::move(data));
  listVar_->clear();
  for (const std::string& title : plot_.Titles()) listVar_->addItem(QString::fromStdString(title));
  listVar_->setCurrentRow(0);
  ShowOptions();
  canvas_->update();
}

void DistPlotWindow::ShowOptions() {
  line_->setChecked(plot_.DrawLines());
  scatter_->setChecked(plot_.DrawPoints());
  drop_->setChecked(plot_.DropLines());
}

void DistPlotWindow::PlotIt() {
  plot_.Plot(listVar_->currentRow() + 1);
  canvas_->update();
}

void DistPlotWindow::ClearPlot() {
  plot_.Clear();
  canvas_->update();
}

bool DistPlotWindow::SavePictureTo(const QString& path) { return SavePictureOrSay(this, plot_.FilePicture(), path); }

BivarPlotWindow::BivarPlotWindow(BivariateGrid grid, QWidget* parent) : QWidget(parent), plot_(std::move(grid)) {
  setObjectName(kFormName);
  setWindowTitle(kCaption);
  plot_.Draw();
  auto* layout = new QHBoxLayout(this);
  canvas_ = new FigureCanvas([this] { return plot_.Picture(); }, this);
  layout->addWidget(canvas_, 1);
  auto* side = new QVBoxLayout;
  auto* legend = new FigureCanvas([] { return BivariatePlot::LegendPicture(); }, this);
  legend->setObjectName("LegendBox");
  legend->setMinimumSize(120, 240);
  side->addWidget(legend);
  QPushButton* save = Button(this, "cmdSavePicture", "Save &picture...");
  QPushButton* done = Button(this, "cmdDone", "&Done");
  side->addWidget(save);
  side->addStretch(1);
  side->addWidget(done);
  layout->addLayout(side);
  connect(save, &QPushButton::clicked, this,
          [this] { AskAndSavePicture(this, "bivariate.png", [this](const QString& path) { return SavePictureTo(path); }); });
  connect(done, &QPushButton::clicked, this, [this] { CloseWithFrame(this); });
}

void BivarPlotWindow::SetData(BivariateGrid grid) {
  plot_ = BivariatePlot(std::move(grid));
  plot_.Draw();
  canvas_->update();
}

bool BivarPlotWindow::SavePictureTo(const QString& path) { return SavePictureOrSay(this, plot_.FilePicture(), path); }

}  // namespace kalvex::plots
