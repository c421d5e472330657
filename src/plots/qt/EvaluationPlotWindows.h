#pragma once
// The "Distribution plots" window (frmDistPlot) and the "Bivariate pdf
// plot" window (frmBivarPlot): each shows its plot state's figure on a
// canvas and forwards the clicks to it; both save a picture for a paper as
// PNG, SVG or PDF.
#include <QWidget>

#include <functional>

#include "plots/BivariatePlot.h"
#include "plots/DistributionPlot.h"

class QCheckBox;
class QListWidget;

namespace kalvex::plots {

// A drawing surface that paints a figure scaled to its size.
class FigureCanvas : public QWidget {
  Q_OBJECT
 public:
  FigureCanvas(std::function<Figure()> figure, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<Figure()> figure_;
};

class DistPlotWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kFormName = "frmDistPlot";
  static constexpr const char* kCaption = "Distribution plots";

  explicit DistPlotWindow(DistributionPlotData data, QWidget* parent = nullptr);
  // The next evaluation's plot in the same window, as a new one would show it.
  void SetData(DistributionPlotData data);

  DistributionPlot& Plot() { return plot_; }
  // "&Plot it!" on the selected series, and "Cl&ear".
  void PlotIt();
  void ClearPlot();
  bool SavePictureTo(const QString& path);

 private:
  void ShowOptions();
  DistributionPlot plot_;
  FigureCanvas* canvas_ = nullptr;
  QListWidget* listVar_ = nullptr;
  QCheckBox* line_ = nullptr;
  QCheckBox* scatter_ = nullptr;
  QCheckBox* drop_ = nullptr;
};

class BivarPlotWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kFormName = "frmBivarPlot";
  static constexpr const char* kCaption = "Bivariate pdf plot";

  explicit BivarPlotWindow(BivariateGrid grid, QWidget* parent = nullptr);
  void SetData(BivariateGrid grid);

  BivariatePlot& Plot() { return plot_; }
  bool SavePictureTo(const QString& path);

 private:
  BivariatePlot plot_;
  FigureCanvas* canvas_ = nullptr;
};

}  // namespace kalvex::plots
