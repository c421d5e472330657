#include "plots/XYPlot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "plots/PlotStatistics.h"
#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kPointRadius = 30;

// A limit box read back: its leading number, and for the time counter the
// period shown in brackets after the label ("1990 (1)").
struct BoxValue {
  bool empty = true;
  double leading = 0;
  std::optional<double> bracketed;
};

BoxValue ReadBox(const std::string& text) {
  BoxValue box;
  box.empty = text.find_first_not_of(" \t") == std::string::npos;
  if (box.empty) return box;
  box.leading = Val(text);
  std::size_t open = text.find('(');
  if (open != std::string::npos) box.bracketed = Val(text.substr(open + 1));
  return box;
}

}  // namespace

std::string SixDecimalText(double value) {
  double rounded = std::floor(value * 1e6 + 0.5) / 1e6;
  return GeneralNumber(std::isfinite(rounded) ? rounded : value);
}

double TwipsX(const PlotRange& range, double x) {
  return kPlotLeft + (kPlotRight - kPlotLeft) / (range.xMax - range.xMin) * (x - range.xMin);
}

double TwipsY(const PlotRange& range, double y) {
  return kPlotBottom - (kPlotBottom - kPlotTop) / (range.yMax - range.yMin) * (y - range.yMin);
}

XYPlot::XYPlot(XYPlotData data) : data_(std::move(data)) {
  options_.Set(PlotOption::Line, true);
  options_.Set(PlotOption::Scatter, true);
  options_.Set(PlotOption::Drop, false);
  if (!data_.pageText.empty()) labels_.graphPage = "Page:  " + data_.pageText;
  xChoice_ = 0;
  yChoice_ = data_.SeriesCount() >= 1 ? 1 : 0;
  Clear();
}

std::vector<std::string> XYPlot::XList() const {
  std::vector<std::string> list{data_.xLabel};
  for (int s = 1; s <= data_.SeriesCount(); ++s) list.push_back(data_.seriesLabels.at(s));
  return list;
}

std::vector<std::string> XYPlot::YList() const {
  std::vector<std::string> list;
  for (int s = 1; s <= data_.SeriesCount(); ++s) list.push_back(data_.seriesLabels.at(s));
  return list;
}

void XYPlot::SelectX(int choice) {
  if (choice >= 0 && choice <= data_.SeriesCount()) xChoice_ = choice;
}

void XYPlot::SelectY(int choice) {
  if (choice < 1 || choice > data_.SeriesCount()) return;
  yChoice_ = choice;
  // An empty box, or one that shows what the plot put there, takes the
  // series' own limit; a limit the user typed stays.
  auto follows = [](const std::string& box, const std::string& shown) { return ReadBox(box).empty || box == shown; };
  if (follows(limits_.yMin, shownYMin_)) ShowYLimit(limits_.yMin, shownYMin_, data_.seriesMinimum.at(choice));
  if (follows(limits_.yMax, shownYMax_)) ShowYLimit(limits_.yMax, shownYMax_, data_.seriesMaximum.at(choice));
}

void XYPlot::ShowYLimit(std::string& box, std::string& shown, double value) {
  box = SixDecimalText(value);
  shown = box;
}

void XYPlot::Clear() {
  items_.clear();
  legend_.clear();
  grid8On_ = false;
  grid10On_ = false;
  limits_ = {};
  if (XIsTimeCounter()) {
    limits_.xMin = GeneralNumber(data_.xStartLabel) + " (" + SixDecimalText(data_.xMinimum) + ")";
    limits_.xMax = GeneralNumber(data_.xEndLabel) + " (" + SixDecimalText(data_.xMaximum) + ")";
    // Along time every sequence runs left to right: the one-way lines mean nothing.
    options_.Set(PlotOption::LineLtoR, false);
    options_.Set(PlotOption::LineRtoL, false);
  } else {
    limits_.xMin = SixDecimalText(data_.seriesMinimum.at(xChoice_));
    limits_.xMax = SixDecimalText(data_.seriesMaximum.at(xChoice_));
  }
  shownYMin_.clear();
  shownYMax_.clear();
  if (yChoice_ >= 1) {
    ShowYLimit(limits_.yMin, shownYMin_, data_.seriesMinimum.at(yChoice_));
    ShowYLimit(limits_.yMax, shownYMax_, data_.seriesMaximum.at(yChoice_));
  }
}

void XYPlot::Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke) {
  items_.push_back({DrawItem::Kind::Segment, x1, y1, x2, y2, 0, colour, stroke});
}

void XYPlot::ToggleGrid(bool& state, int divisions) {
  state = !state;
  int colour = state ? kBlack : kWhite;  // white draws over the black lines: erasing
  double dx = (kPlotRight - kPlotLeft) / divisions;
  double dy = (kPlotBottom - kPlotTop) / divisions;
  for (int k = 1; k < divisions; ++k) {
    Segment(kPlotLeft + dx * k, kPlotTop, kPlotLeft + dx * k, kPlotBottom, colour, Stroke::Dot);
    Segment(kPlotLeft, kPlotTop + dy * k, kPlotRight, kPlotTop + dy * k, colour, Stroke::Dot);
  }
}

double XYPlot::XValue(int period) const {
  return XIsTimeCounter() ? period : data_.values(period, xChoice_);
}

double XYPlot::XLabelValue(int period) const {
  if (!XIsTimeCounter()) return data_.values(period, xChoice_);
  return range_.xStartLabel +
         (range_.xEndLabel - range_.xStartLabel) * (period - range_.xMin) / (range_.xMax - range_.xMin);
}

PlotRange XYPlot::ReadRange() const {
  PlotRange range;
  BoxValue xMin = ReadBox(limits_.xMin), xMax = ReadBox(limits_.xMax);
  if (XIsTimeCounter()) {
    range.xMin = xMin.bracketed ? *xMin.bracketed : xMin.empty ? data_.xMinimum : xMin.leading;
    range.xMax = xMax.bracketed ? *xMax.bracketed : xMax.empty ? data_.xMaximum : xMax.leading;
    range.xStartLabel = xMin.empty ? data_.xStartLabel : xMin.leading;
    range.xEndLabel = xMax.empty ? data_.xEndLabel : xMax.leading;
  } else {
    range.xMin = xMin.empty ? data_.seriesMinimum.at(xChoice_) : xMin.leading;
    range.xMax = xMax.empty ? data_.seriesMaximum.at(xChoice_) : xMax.leading;
    range.xStartLabel = range.xMin;
    range.xEndLabel = range.xMax;
  }
  BoxValue yMin = ReadBox(limits_.yMin), yMax = ReadBox(limits_.yMax);
  range.yMin = yMin.empty ? kInfinity : yMin.leading;
  range.yMax = yMax.empty ? -kInfinity : yMax.leading;
  return range;
}

void XYPlot::WidenY(PlotRange& range) const {
  double low = std::min(range.xMin, range.xMax), high = std::max(range.xMin, range.xMax);
  for (int i = 1; i <= data_.Periods(); ++i) {
    double x = XValue(i), y = data_.values(i, yChoice_);
    if (IsMissing(x) || IsMissing(y) || x < low || x > high) continue;
    range.yMin = std::min(range.yMin, y);
    range.yMax = std::max(range.yMax, y);
  }
  // Nothing to plot and no limits given: one bound stands in for the other.
  if (!std::isfinite(range.yMin) && !std::isfinite(range.yMax)) range.yMin = range.yMax = 0;
  if (!std::isfinite(range.yMin)) range.yMin = range.yMax;
  if (!std::isfinite(range.yMax)) range.yMax = range.yMin;
}

void XYPlot::PlotIt() {
  ++plotCounter_;
  if (plotCounter_ == INT16_MAX) plotCounter_ = 0;  // keeps the colour cycle, never overflows
  if (options_[PlotOption::Grid8]) return ToggleGrid(grid8On_, 8);
  if (options_[PlotOption::Grid10]) return ToggleGrid(grid10On_, 10);
  if (yChoice_ < 1) return;

  PlotRange range = ReadRange();
  WidenY(range);
  ShowYLimit(limits_.yMin, shownYMin_, range.yMin);
  ShowYLimit(limits_.yMax, shownYMax_, range.yMax);
  if (range.yMax == range.yMin) {
    // A flat series gets the unit band; centred on it when -1..1 would miss it.
    double level = range.yMin;
    bool inUnitBand = level >= -1 && level <= 1;
    range.yMin = inUnitBand ? -1 : level - 1;
    range.yMax = inUnitBand ? 1 : level + 1;
  }
  if (range.xMax == range.xMin) {
    range.xMax += 1;
    range.xEndLabel += 1;
  }
  range_ = range;

  DrawZeroLines(range);
  labels_.graphMax = "Y-Max =  " + SixDecimalText(range.yMax) + "\nY-Min =  " + SixDecimalText(range.yMin) +
                     "\nX-Max =  " + SixDecimalText(range.xMax) + "\nX-Min =  " + SixDecimalText(range.xMin);
  labels_.xStart = GeneralNumber(range.xStartLabel);
  labels_.xEnd = GeneralNumber(range.xEndLabel);
  DrawSeries(range);
}

void XYPlot::DrawZeroLines(const PlotRange& range) {
  labels_.yZero.clear();
  labels_.xZero.clear();
  if (range.yMin < 0 && range.yMax > 0) {
    double y = TwipsY(range, 0);
    Segment(kPlotLeft, y, kPlotRight, y, kBlack, Stroke::Dash);
    labels_.yZero = "Horizontal dashed line shows Y=0";
  }
  if (!XIsTimeCounter() && std::min(range.xMin, range.xMax) < 0 && std::max(range.xMin, range.xMax) > 0) {
    double x = TwipsX(range, 0);
    Segment(x, kPlotTop, x, kPlotBottom, kBlack, Stroke::Dash);
    labels_.xZero = "Vertical dashed line shows X=0";
  }
}

void XYPlot::DrawSeries(const PlotRange& range) {
  const int colour = ColourIndex();
  const double low = std::min(range.xMin, range.xMax), high = std::max(range.xMin, range.xMax);
  // Drop lines fall to the zero line, or to the nearer edge when 0 is off the plot.
  const double dropEnd = TwipsY(range, std::clamp(0.0, range.yMin, range.yMax));
  PlotSums sums;
  bool hasPrevious = false;  // a drawn point the next one may join
  double previousPx = 0, previousPy = 0, previousX = 0;
  for (int i = 1; i <= data_.Periods(); ++i) {
    double x = XValue(i), y = data_.values(i, yChoice_);
    if (IsMissing(x) || x < low || x > high) {
      hasPrevious = false;
      continue;
    }
    double px = TwipsX(range, x);
    if (IsMissing(y)) {
      double py = TwipsY(range, kMissingValue);
      if (py >= kPlotTop && py <= kPlotBottom)
        items_.push_back({DrawItem::Kind::Dot, px, py, 0, 0, 0, kWhite, Stroke::Solid});
      hasPrevious = false;
      continue;
    }
    double py = TwipsY(range, y);
    if (hasPrevious) {
      bool join = options_[PlotOption::Line] || (options_[PlotOption::LineLtoR] && x > previousX) ||
                  (options_[PlotOption::LineRtoL] && x < previousX);
      if (join) Segment(previousPx, previousPy, px, py, colour);
    }
    if (options_[PlotOption::Scatter])
      items_.push_back({DrawItem::Kind::Circle, px, py, 0, 0, kPointRadius, colour, Stroke::Solid});
    if (options_[PlotOption::Drop]) Segment(px, dropEnd, px, py, colour);
    hasPrevious = true;
    previousPx = px;
    previousPy = py;
    previousX = x;
    sums.Add(XLabelValue(i), y);
  }
  labels_.corr = StatisticsText(sums, options_[PlotOption::Drop]);
  const bool lines = options_[PlotOption::Line] || options_[PlotOption::LineLtoR] ||
                     options_[PlotOption::LineRtoL] || options_[PlotOption::Drop];
  legend_.push_back({colour, data_.seriesLabels.at(yChoice_), lines, options_[PlotOption::Scatter], range});
}

XYPlot OverlayPlot(XYPlotData data, const std::vector<int>& series) {
  XYPlot plot(std::move(data));
  if (!series.empty()) {
    plot.SelectY(series.front());
    plot.Clear();
  }
  for (int s : series) {
    plot.SelectY(s);
    plot.PlotIt();
  }
  return plot;
}

}  // namespace kalvex::plots
