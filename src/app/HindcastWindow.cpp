#include "app/HindcastWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/CheckWidgets.h"
#include "app/Workbench.h"
#include "plots/Panel.h"
#include "plots/qt/FigurePainter.h"
#include "workflow/HindcastWindow.h"

namespace kalvex::app {
namespace {

constexpr std::array<const char*, 2> kCanvasNames = {"picHindcast", "picEstimates"};
constexpr std::array<const char*, 2> kPlotFiles = {"hindcast.png", "estimates-by-peel.png"};
constexpr int kMostPeelsShown = 99;

}  // namespace

HindcastWindow::HindcastWindow(Workbench& wb) : workbench_(wb) {
  setObjectName(QString::fromUtf8(workflow::kHindcastForm.data(), workflow::kHindcastForm.size()));
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);

  auto* settings = new QHBoxLayout;
  auto* peelsLabel = new QLabel("&Peels:", this);
  peels_ = new QSpinBox(this);
  peels_->setObjectName("txtPeels");
  peels_->setRange(2, kMostPeelsShown);
  peels_->setValue(checks::HindcastSettings{}.peels);
  peels_->setToolTip("How many of the last years are forecast, each by a fit to the years before it");
  peelsLabel->setBuddy(peels_);
  auto* minimizerLabel = new QLabel("&Minimizer:", this);
  minimizer_ = new QComboBox(this);
  minimizer_->setObjectName("cboMinimizer");
  minimizer_->addItems({"Simplex", "Marquardt"});
  minimizer_->setToolTip("The minimizer of every peel's fit, starting from the current values");
  minimizerLabel->setBuddy(minimizer_);
  analytical_ = new QCheckBox("&Analytical derivatives", this);
  analytical_->setObjectName("chkAnalytical");
  analytical_->setToolTip("Marquardt with the model's exact derivatives instead of numerical ones");
  analytical_->setEnabled(false);
  run_ = NamedButton(this, "cmdRunHindcast", "&Run hindcast", "Refits and forecasts every peel, on every core");
  stop_ = NamedButton(this, "cmdStop", "S&top", "Interrupts the hindcast");
  stop_->setEnabled(false);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{peelsLabel, peels_, minimizerLabel, minimizer_, analytical_, run_, stop_})
    settings->addWidget(widget);
  settings->addStretch(1);
  save_ = NamedButton(this, "cmdSaveHindcast", "&Save hindcast as...",
                      "Saves the (possibly edited) report below and, beside it, both plots as one picture");
  savePlots_ = NamedButton(this, "cmdSavePlots", "Save p&lots as...", "Saves both plots as one PNG, SVG or PDF picture");
  QPushButton* close = NamedButton(this, "cmdClose", "&Close", "Closes the hindcast");
  for (QWidget* widget : std::initializer_list<QWidget*>{save_, savePlots_, close}) settings->addWidget(widget);
  layout->addLayout(settings);

  auto* pages = new QTabWidget(this);
  pages->setObjectName("tabHindcast");
  const char* titles[] = {"Forecasts", "Estimates by peel"};
  for (int k = 0; k < 2; ++k) {
    auto* canvas =
        new FigureCanvas([this, k] { return PlotFigure(k); },
                         [this, k] {
                           if (std::optional<std::string> path = AskPicturePath(workbench_.ui, kPlotFiles[k]))
                             SavePlot(k, *path);
                         },
                         pages);
    canvas->setObjectName(kCanvasNames[k]);
    canvas->setMinimumSize(360, 240);
    pages->addTab(canvas, titles[k]);
    canvases_[k] = canvas;
  }
  pages->addTab(ui::qt::MakeReportPane(pages, QString::fromUtf8(workflow::kHindcastPane.data())), "Report");
  layout->addWidget(pages, 1);
  ShowRunning(false);

  connect(minimizer_, &QComboBox::currentIndexChanged, this,
          [this](int index) { analytical_->setEnabled(index == 1 && !running_); });
  connect(run_, &QPushButton::clicked, this, &HindcastWindow::Run);
  connect(stop_, &QPushButton::clicked, this, [this] { workbench_.ws.InterruptML = true; });
  connect(save_, &QPushButton::clicked, this, &HindcastWindow::SaveHindcast);
  connect(savePlots_, &QPushButton::clicked, this, [this] {
    if (shown_) AskAndSaveFigure(workbench_.ui, checks::HindcastPicture(*shown_->run, shown_->skill), "hindcast.png");
  });
  connect(close, &QPushButton::clicked, this, [this] {
    if (UserClosing()) workbench_.ui.CloseWindow(workflow::kHindcastForm);
  });
}

checks::HindcastSettings HindcastWindow::Settings() const {
  checks::HindcastSettings settings;
  settings.peels = peels_->value();
  settings.method.minimizer =
      minimizer_->currentIndex() == 1 ? checks::FitMinimizer::Marquardt : checks::FitMinimizer::Simplex;
  if (settings.method.minimizer == checks::FitMinimizer::Marquardt && analytical_->isChecked())
    settings.method.derivatives = Derivatives::Analytical;
  return settings;
}

void HindcastWindow::Prepare() {
  const Workspace& ws = workbench_.ws;
  int free = 0;
  for (int i = 1; i <= ws.Alg.NumParameters && i < static_cast<int>(ws.Alg.Steps.size()); ++i)
    if (ws.Alg.Steps[i] != 0) ++free;
  const int most = checks::HindcastSettings::MostPeels(ws.model->SampleSize(), free);
  peels_->setMaximum(std::clamp(most, 2, kMostPeelsShown));
}

void HindcastWindow::ShowRunning(bool running) {
  running_ = running;
  for (QWidget* widget : std::initializer_list<QWidget*>{peels_, minimizer_, run_}) widget->setEnabled(!running);
  analytical_->setEnabled(!running && minimizer_->currentIndex() == 1);
  stop_->setEnabled(running);
  save_->setEnabled(!running && shown_.has_value());
  savePlots_->setEnabled(!running && shown_.has_value());
}

void HindcastWindow::Run() {
  if (running_) return;
  ShowRunning(true);
  std::optional<checks::HindcastOutcome> outcome = workflow::RunHindcast(workbench_.ws, workbench_.ui, Settings());
  if (outcome && outcome->run) workbench_.menu.Session().hindcast = outcome->run;  // kept for "Save report..."
  if (outcome) shown_ = std::move(outcome);
  ShowRunning(false);
  for (QWidget* canvas : canvases_) canvas->update();
}

bool HindcastWindow::UserClosing() {
  if (!running_) return true;
  workbench_.ws.InterruptML = true;
  return false;
}

plots::Figure HindcastWindow::PlotFigure(int plot) const {
  if (!shown_) {
    plots::Figure blank = plots::BlankFigure(checks::kCheckPictureWidth, checks::kCheckPictureHeight);
    blank.texts.push_back({"lblHint", "Choose the peels and the minimizer above, then \"Run hindcast\".",
                           blank.width / 2, blank.height / 2, plots::kBlack, plots::FigureText::Align::Centre});
    return blank;
  }
  return plot == 0 ? checks::HindcastFigure(*shown_->run, shown_->skill)
                   : checks::EstimatesByPeelFigure(*shown_->run, shown_->skill);
}

void HindcastWindow::SaveHindcast() {
  if (shown_)
    workflow::SaveHindcast(workbench_.ui, checks::HindcastPicture(*shown_->run, shown_->skill),
                         FigureEncoder());
}

bool HindcastWindow::SavePlot(int plot, const std::string& path) {
  return shown_ && SaveFigureShowingFailure(workbench_.ui, PlotFigure(plot), path);
}

void InstallHindcast(Workbench& wb) {
  wb.ui.RegisterForm(std::string(workflow::kHindcastForm), [&wb] { return new HindcastWindow(wb); },
                     {QSize(1100, 740), QPoint(60, 0)});
}

void ShowHindcast(Workbench& wb) {
  wb.ui.ShowWindow(workflow::kHindcastForm);
  if (auto* window = dynamic_cast<HindcastWindow*>(wb.ui.Form(workflow::kHindcastForm))) window->Prepare();
}

}  // namespace kalvex::app
