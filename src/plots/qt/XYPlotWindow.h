#pragma once
// The "Data and prediction plots" window: lists of variates, limit boxes,
// drawing options and the drawing area. It shows an XYPlot state and
// forwards every click to it.
#include <QWidget>

#include <array>

#include "plots/XYPlot.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kalvex::plots {

// The drawing area (picPlot): paints the plot's picture scaled to its size.
class PlotCanvas : public QWidget {
  Q_OBJECT
 public:
  PlotCanvas(const XYPlot& plot, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const XYPlot& plot_;
};

class XYPlotWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kFormName = "frmXYPlot";
  static constexpr const char* kCaption = "Data and prediction plots";
  enum class Ending { Open, NextPage, Quit };

  explicit XYPlotWindow(XYPlotData data, QWidget* parent = nullptr);
  // Room for the whole picture and every control without scrolling.
  QSize sizeHint() const override;

  XYPlot& Plot() { return plot_; }
  const XYPlot& Plot() const { return plot_; }
  Ending HowEnded() const { return ending_; }

  // The buttons' actions, callable without a click.
  void PlotIt();
  void ClearPlot();
  // Writes the picture for a file (PNG, SVG or PDF by the extension); shows
  // the reason on failure.
  bool SavePictureTo(const QString& path);

 signals:
  void plotsEnded(bool quit);  // Next Plot Page (false) or Quit plots (true)

 private:
  void BuildControls();
  void ConnectControls();
  void OptionClicked(PlotOption option, bool checked);
  void ShowState();  // copies the plot state into the widgets
  void EndWith(Ending ending);
  void AskAndSavePicture();

  XYPlot plot_;
  Ending ending_ = Ending::Open;
  PlotCanvas* canvas_ = nullptr;
  QWidget* controls_ = nullptr;  // the scrolling column of lists, boxes and buttons
  QListWidget* listXVar_ = nullptr;
  QListWidget* listYVar_ = nullptr;
  QLineEdit* txtYmax_ = nullptr;
  QLineEdit* txtYmin_ = nullptr;
  QLineEdit* txtXmax_ = nullptr;
  QLineEdit* txtXmin_ = nullptr;
  std::array<QCheckBox*, kPlotOptionCount> optionBoxes_{};
  QLabel* lblGraphMax_ = nullptr;
  QLabel* lblXStart_ = nullptr;
  QLabel* lblXEnd_ = nullptr;
  QLabel* lblYZero_ = nullptr;
  QLabel* lblXZero_ = nullptr;
  QLabel* lblCorr_ = nullptr;
  QLabel* lblGraphPage_ = nullptr;
};

// Opens the window on the given series (deleted when it closes) and
// returns it; the caller goes on while it is open.
XYPlotWindow* ShowXYPlotWindow(XYPlotData data, QWidget* parent = nullptr);

}  // namespace kalvex::plots
