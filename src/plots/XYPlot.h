#pragma once
// The state of the x-y plot window without any widget: the variable lists,
// the limit boxes, the option boxes, the labels and the picture drawn since
// the last Clear. The Qt window shows this state and forwards its clicks.
#include <cstdint>
#include <string>
#include <vector>

#include "plots/Drawing.h"
#include "plots/PlotOptions.h"
#include "workspace/Results.h"

namespace kalvex::plots {

// The texts of the four limit boxes of the "Set Min/Max:" frame.
struct LimitBoxes {
  std::string yMax, yMin, xMax, xMin;
};

// The texts of the window's labels.
struct PlotLabels {
  std::string graphMax;   // lblGraphMax
  std::string xStart;     // lblXStart
  std::string xEnd;       // lblXEnd
  std::string yZero;      // lblYZero
  std::string xZero;      // lblXZero
  std::string corr;       // lblCorr
  std::string graphPage;  // lblGraphPage
};

// The ranges one Plot it! used.
struct PlotRange {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  double xStartLabel = 0, xEndLabel = 0;
};

// One drawn series, for a picture's legend: its colour, label, how it was
// drawn and on which ranges.
struct LegendEntry {
  int colour = 0;
  std::string label;
  bool lines = true, points = true;
  PlotRange range;
};

// A number as a limit box shows it: rounded to six decimals.
std::string SixDecimalText(double value);

class XYPlot {
 public:
  // Opening the window: "Lines <>" and "Points" ticked, the lists filled
  // with their first entries selected, then Clear.
  explicit XYPlot(XYPlotData data);

  const XYPlotData& Data() const { return data_; }

  // listXVar: the X label, then the series labels; listYVar: the series.
  std::vector<std::string> XList() const;
  std::vector<std::string> YList() const;
  int XChoice() const { return xChoice_; }  // 0 = time counter, else a series 1..m
  int YChoice() const { return yChoice_; }  // series 1..m
  void SelectX(int choice);
  // Fills an empty Y limit box with the series' minimum or maximum.
  void SelectY(int choice);

  PlotOptions& Options() { return options_; }
  const PlotOptions& Options() const { return options_; }
  LimitBoxes& Limits() { return limits_; }
  const LimitBoxes& Limits() const { return limits_; }
  const PlotLabels& Labels() const { return labels_; }

  // "&Clear Plot && Reset Axes".
  void Clear();
  // "&Plot it!": toggles a ticked grid, or draws the selected Y series in
  // the next colour over what is already drawn.
  void PlotIt();

  // Everything drawn since Clear (the pictures add the axes: XYPlotFigure).
  const Drawing& Items() const { return items_; }
  // The series drawn since Clear, in drawing order.
  const std::vector<LegendEntry>& Legend() const { return legend_; }

  int PlotCounter() const { return plotCounter_; }
  int ColourIndex() const { return plotCounter_ % 15; }
  bool Grid8On() const { return grid8On_; }
  bool Grid10On() const { return grid10On_; }
  const PlotRange& LastRange() const { return range_; }

 private:
  bool XIsTimeCounter() const { return xChoice_ == 0; }
  double XValue(int period) const;
  double XLabelValue(int period) const;
  void ToggleGrid(bool& state, int divisions);
  PlotRange ReadRange() const;
  void WidenY(PlotRange& range) const;
  void DrawZeroLines(const PlotRange& range);
  void DrawSeries(const PlotRange& range);
  void Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke = Stroke::Solid);
  // Puts a number into a Y limit box and remembers it as the plot's own:
  // a box the user did not type in follows the series chosen.
  void ShowYLimit(std::string& box, std::string& shown, double value);

  XYPlotData data_;
  int xChoice_ = 0;
  int yChoice_ = 1;
  PlotOptions options_;
  LimitBoxes limits_;
  std::string shownYMin_, shownYMax_;  // what the plot last put in the Y boxes
  PlotLabels labels_;
  Drawing items_;
  std::vector<LegendEntry> legend_;
  int16_t plotCounter_ = 0;
  bool grid8On_ = false;
  bool grid10On_ = false;
  PlotRange range_;
};

// The given series (1-based) drawn one after another on a fresh plot with
// the window's opening options, as a user would overlay them.
XYPlot OverlayPlot(XYPlotData data, const std::vector<int>& series);

// Where a point of the given range lands, in twips.
double TwipsX(const PlotRange& range, double x);
double TwipsY(const PlotRange& range, double y);

}  // namespace kalvex::plots
