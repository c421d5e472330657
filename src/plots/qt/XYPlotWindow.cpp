#include "plots/qt/XYPlotWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "plots/XYPlotFigure.h"
#include "plots/qt/FigurePainter.h"
#include "plots/qt/PictureDialog.h"
#include "plots/qt/XYPlotPainter.h"

namespace kalvex::plots {
namespace {

constexpr const char* kScalingNote =
    "Plots are automatically scaled \r\nto the range of the data, unless \r\nthe model includes a scaling \r\n"
    "function. To override a scaling \r\nfunction, set the maximum or \r\nminimum of X or Y to 0.\r\n";

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLabel* NamedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

QLineEdit* LimitBox(const char* name, const char* caption, QGridLayout* grid, int row, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  grid->addWidget(new QLabel(caption, parent), row, 0);
  grid->addWidget(box, row, 1);
  return box;
}

constexpr PlotOption kOptions[kPlotOptionCount] = {PlotOption::LineLtoR, PlotOption::LineRtoL, PlotOption::Line,
                                                   PlotOption::Scatter,  PlotOption::Drop,     PlotOption::Grid8,
                                                   PlotOption::Grid10};

}  // namespace

PlotCanvas::PlotCanvas(const XYPlot& plot, QWidget* parent) : QWidget(parent), plot_(plot) {
  setObjectName("picPlot");
  setMinimumSize(DefaultPictureSize() / 2);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

// Larger than an exported picture: the screen has room, and the labels read better.
QSize PlotCanvas::sizeHint() const { return DefaultPictureSize().expandedTo(QSize(720, 600)); }

void PlotCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintFigure(painter, rect(), XYPlotFigure(plot_, FigureUse::Screen));
}

XYPlotWindow::XYPlotWindow(XYPlotData data, QWidget* parent) : QWidget(parent), plot_(std::move(data)) {
  setObjectName(kFormName);
  setWindowTitle(kCaption);
  BuildControls();
  ConnectControls();
  for (const std::string& label : plot_.XList()) listXVar_->addItem(Q(label));
  for (const std::string& label : plot_.YList()) listYVar_->addItem(Q(label));
  {
    QSignalBlocker bx(listXVar_), by(listYVar_);
    if (listXVar_->count() > 0) listXVar_->setCurrentRow(0);
    if (listYVar_->count() > 0) listYVar_->setCurrentRow(0);
  }
  ShowState();
}

void XYPlotWindow::BuildControls() {
  canvas_ = new PlotCanvas(plot_, this);
  lblGraphPage_ = NamedLabel("lblGraphPage", this);
  lblGraphMax_ = NamedLabel("lblGraphMax", this);
  lblXStart_ = NamedLabel("lblXStart", this);
  lblXEnd_ = NamedLabel("lblXEnd", this);
  lblXEnd_->setAlignment(Qt::AlignRight);
  lblYZero_ = NamedLabel("lblYZero", this);
  lblXZero_ = NamedLabel("lblXZero", this);
  lblCorr_ = NamedLabel("lblCorr", this);
  lblCorr_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // The canvas writes the X start and end labels at the axis ends; the two
  // labels keep their texts for whoever reads them but take no room.
  lblXStart_->hide();
  lblXEnd_->hide();
  auto* plotColumn = new QVBoxLayout;
  plotColumn->addWidget(canvas_, 1);
  plotColumn->addWidget(lblYZero_);
  plotColumn->addWidget(lblXZero_);

  // A fixed width, so that the plot keeps its size whatever the range and
  // statistics texts say.
  auto* info = new QWidget(this);
  auto* infoColumn = new QVBoxLayout(info);
  infoColumn->setContentsMargins(0, 0, 0, 0);
  infoColumn->addWidget(lblGraphPage_);
  infoColumn->addWidget(lblGraphMax_);
  infoColumn->addWidget(lblCorr_);
  infoColumn->addStretch();
  info->setFixedWidth(fontMetrics().horizontalAdvance("X-Max =  -0.000000E+000") + 8);
  for (QLabel* label : {lblGraphMax_, lblCorr_}) label->setTextInteractionFlags(Qt::TextSelectableByMouse);

  listXVar_ = new QListWidget(this);
  listXVar_->setObjectName("listXVar");
  listYVar_ = new QListWidget(this);
  listYVar_->setObjectName("listYVar");
  // The controls scroll when the window is short (tiled with others).
  auto* controlPanel = controls_ = new QWidget(this);
  auto* controls = new QVBoxLayout(controlPanel);
  controls->setContentsMargins(0, 0, 0, 0);
  controls->addWidget(new QLabel("X variate:", this));
  controls->addWidget(listXVar_);
  controls->addWidget(new QLabel("Y variate:", this));
  controls->addWidget(listYVar_);
  controls->addWidget(Button("cmdPlot", "&Plot it!", this));
  controls->addWidget(Button("cmdClear", "&Clear Plot && Reset Axes", this));

  auto* limitsFrame = new QGroupBox("Set Min/Max:", this);
  auto* limits = new QGridLayout(limitsFrame);
  txtYmax_ = LimitBox("txtYmax", "Y-Max:", limits, 0, limitsFrame);
  txtYmin_ = LimitBox("txtYmin", "Y-Min:", limits, 1, limitsFrame);
  txtXmax_ = LimitBox("txtXmax", "X-Max (label):", limits, 2, limitsFrame);
  txtXmin_ = LimitBox("txtXmin", "X-Min (label):", limits, 3, limitsFrame);
  controls->addWidget(limitsFrame);

  auto* optionsFrame = new QGroupBox("Plot Options:", this);
  auto* options = new QGridLayout(optionsFrame);
  for (int k = 0; k < kPlotOptionCount; ++k) {
    PlotOption option = kOptions[k];
    auto* box = new QCheckBox(QString::fromUtf8(OptionCaption(option).data(), OptionCaption(option).size()),
                              optionsFrame);
    box->setObjectName(QString::fromUtf8(OptionControlName(option).data(), OptionControlName(option).size()));
    std::string_view tip = OptionToolTip(option);
    if (!tip.empty()) box->setToolTip(QString::fromUtf8(tip.data(), tip.size()));
    options->addWidget(box, k / 2, k % 2);
    optionBoxes_[k] = box;
  }
  controls->addWidget(optionsFrame);

  auto* note = new QPlainTextEdit(QString(kScalingNote).replace("\r\n", "\n"), this);
  note->setObjectName("txtScaling");
  note->setReadOnly(true);
  note->setMaximumHeight(110);
  controls->addWidget(note);
  controls->addWidget(Button("cmdSavePicture", "Save p&icture...", this));
  controls->addWidget(Button("cmdNext_Page", "&Next Plot Page", this));
  controls->addWidget(Button("cmdCancel", "&Quit plots", this));
  controls->addStretch();

  auto* scroller = new QScrollArea(this);
  scroller->setWidget(controlPanel);
  scroller->setWidgetResizable(true);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroller->setFixedWidth(controlPanel->sizeHint().width() + scroller->verticalScrollBar()->sizeHint().width());

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(plotColumn, 1);
  layout->addWidget(info);
  layout->addWidget(scroller);
}

QSize XYPlotWindow::sizeHint() const {
  QSize hint = QWidget::sizeHint();
  const QMargins margins = layout()->contentsMargins();
  return hint.expandedTo(QSize(hint.width(), controls_->sizeHint().height() + margins.top() + margins.bottom()));
}

void XYPlotWindow::ConnectControls() {
  auto button = [this](const char* name) { return findChild<QPushButton*>(name); };
  connect(button("cmdPlot"), &QPushButton::clicked, this, &XYPlotWindow::PlotIt);
  connect(button("cmdClear"), &QPushButton::clicked, this, &XYPlotWindow::ClearPlot);
  connect(button("cmdNext_Page"), &QPushButton::clicked, this, [this] { EndWith(Ending::NextPage); });
  // On the last page there is no next one to go to: the button would only close the plots.
  if (!plot_.Data().morePages) {
    button("cmdNext_Page")->setEnabled(false);
    button("cmdNext_Page")->setToolTip("This is the last plot page");
  }
  connect(button("cmdCancel"), &QPushButton::clicked, this, [this] { EndWith(Ending::Quit); });
  connect(button("cmdSavePicture"), &QPushButton::clicked, this, &XYPlotWindow::AskAndSavePicture);
  connect(listXVar_, &QListWidget::currentRowChanged, this, [this](int row) { plot_.SelectX(row); });
  connect(listYVar_, &QListWidget::currentRowChanged, this, [this](int row) {
    plot_.SelectY(row + 1);
    ShowState();
  });
  connect(listXVar_, &QListWidget::itemDoubleClicked, this, &XYPlotWindow::PlotIt);
  connect(listYVar_, &QListWidget::itemDoubleClicked, this, &XYPlotWindow::PlotIt);
  auto bindBox = [this](QLineEdit* box, std::string LimitBoxes::*field) {
    connect(box, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { plot_.Limits().*field = text.toStdString(); });
  };
  bindBox(txtYmax_, &LimitBoxes::yMax);
  bindBox(txtYmin_, &LimitBoxes::yMin);
  bindBox(txtXmax_, &LimitBoxes::xMax);
  bindBox(txtXmin_, &LimitBoxes::xMin);
  for (int k = 0; k < kPlotOptionCount; ++k) {
    PlotOption option = kOptions[k];
    connect(optionBoxes_[k], &QCheckBox::clicked, this, [this, option](bool checked) { OptionClicked(option, checked); });
  }
}

void XYPlotWindow::OptionClicked(PlotOption option, bool checked) {
  plot_.Options().Tick(option, checked);
  ShowState();
}

void XYPlotWindow::PlotIt() {
  plot_.PlotIt();
  ShowState();
}

void XYPlotWindow::ClearPlot() {
  plot_.Clear();
  ShowState();
}

void XYPlotWindow::ShowState() {
  const LimitBoxes& limits = plot_.Limits();
  txtYmax_->setText(Q(limits.yMax));
  txtYmin_->setText(Q(limits.yMin));
  txtXmax_->setText(Q(limits.xMax));
  txtXmin_->setText(Q(limits.xMin));
  for (int k = 0; k < kPlotOptionCount; ++k) {
    QSignalBlocker block(optionBoxes_[k]);
    optionBoxes_[k]->setChecked(plot_.Options()[kOptions[k]]);
  }
  const PlotLabels& labels = plot_.Labels();
  lblGraphMax_->setText(Q(labels.graphMax));
  lblXStart_->setText(Q(labels.xStart));
  lblXEnd_->setText(Q(labels.xEnd));
  lblYZero_->setText(Q(labels.yZero));
  lblXZero_->setText(Q(labels.xZero));
  lblCorr_->setText(Q(labels.corr));
  lblGraphPage_->setText(Q(labels.graphPage));
  canvas_->update();
}

void XYPlotWindow::EndWith(Ending ending) {
  ending_ = ending;
  emit plotsEnded(ending == Ending::Quit);
  // Inside the main window the frame goes with it (it closes this too).
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
    frame->close();
  else
    close();
}

bool XYPlotWindow::SavePictureTo(const QString& path) {
  return SavePictureOrSay(this, XYPlotFigure(plot_, FigureUse::File), path);
}

void XYPlotWindow::AskAndSavePicture() {
  plots::AskAndSavePicture(this, "plot.png", [this](const QString& path) { return SavePictureTo(path); });
}

XYPlotWindow* ShowXYPlotWindow(XYPlotData data, QWidget* parent) {
  auto* window = new XYPlotWindow(std::move(data), parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return window;
}

}  // namespace kalvex::plots
