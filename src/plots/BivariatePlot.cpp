#include "plots/BivariatePlot.h"

#include <algorithm>
#include <cmath>

#include "plots/Panel.h"
#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

constexpr double kBivarSurfaceWidth = 9360;
constexpr double kLabelRow = kBivarBottom + 330;  // below the tick labels
constexpr double kFileWidth = 10000, kFileHeight = 6000;

double Twip(double value) { return std::nearbyint(value); }

}  // namespace

int BivariateBandColour(double rel) {
  // Entry 6 - 2z for the first z (scanning down from 3) whose normal density
  // ratio exceeds rel; beyond 3 SDs the cell is white. The peak is light red.
  constexpr std::array<int, 7> colours{15, 5, 1, 3, 2, 14, 6};
  for (double z : {3.0, 2.5, 2.0, 1.5, 1.0, 0.5, 0.0})
    if (std::exp(-z * z / 2) > rel) return colours[static_cast<std::size_t>(6 - 2 * z)];
  return 12;
}

BivariatePlot::BivariatePlot(BivariateGrid grid) : grid_(std::move(grid)) {}

void BivariatePlot::Clear() {
  items_.clear();
  labels_ = BivariateLabels{};
  ranges_.reset();
  correlation_.reset();
}

void BivariatePlot::Draw() {
  Clear();
  const int n = grid_.PointCount, m = grid_.GridPointCount;
  if (n < 2 || m < 2) return;
  const std::vector<double>& x = grid_.X;
  const std::vector<double>& y = grid_.Y;
  const double hx = (x[2] - x[1]) / 2, hy = (y[2] - y[1]) / 2;
  const double xlo = x[1] - hx, xhi = x[n] + hx, ylo = y[1] - hy, yhi = y[m] + hy;
  left_ = Twip(kBivarLeft - 7920 * 0.5 / (n - 1));
  right_ = Twip(kBivarRight + (kBivarRight - left_) * 0.5 / (n - 1));
  top_ = Twip(kBivarTop - 6240 * 0.5 / (m - 1));
  bottom_ = Twip(kBivarBottom + (kBivarBottom - top_) * 0.5 / (m - 1));
  if (xhi == xlo || yhi == ylo || grid_.MaxDensity == 0) return;
  auto X = [&](double v) { return left_ + (v - xlo) * (right_ - left_) / (xhi - xlo); };
  auto Y = [&](double v) { return bottom_ - (v - ylo) * (bottom_ - top_) / (yhi - ylo); };
  const double hw = (right_ - left_) * 0.5 / n;
  const double hh = Twip((bottom_ - top_) * 0.5 / m);
  ranges_ = {xlo, xhi, ylo, yhi};

  for (int k = 2; k <= n - 1; ++k)
    for (int j = 2; j <= m - 1; ++j) {
      const int colour = BivariateBandColour(grid_.At(k, j) / grid_.MaxDensity);
      items_.push_back({FigureItem::Kind::Box, X(x[k]) - hw, Y(y[j]) - hh, X(x[k]) + hw, Y(y[j]) + hh, 0, colour,
                        Stroke::Solid});
    }

  bool anyLine = false;
  auto vertical = [&](double v) {
    if (!(std::min(xlo, xhi) < v && v < std::max(xlo, xhi))) return;
    items_.push_back({FigureItem::Kind::Segment, X(v), top_, X(v), bottom_, 0, kBlack, Stroke::Dot});
    anyLine = true;
  };
  auto horizontal = [&](double v) {
    if (!(std::min(ylo, yhi) < v && v < std::max(ylo, yhi))) return;
    items_.push_back({FigureItem::Kind::Segment, left_, Y(v), right_, Y(v), 0, kBlack, Stroke::Dot});
    anyLine = true;
  };
  vertical(0);
  vertical(1);
  horizontal(0);
  horizontal(1);
  if (anyLine) labels_.lineInfo = "NOTE: Dashed line(s) locate 0 and/or 1";

  const std::string px = StrNumber(grid_.ProfileParameter), py = StrNumber(grid_.IntegratedParameter);
  labels_.var = "X - Axis: Values for parameter #" + px + "\nY - Axis: Values for parameter #" + py;
  auto e = [](double v) { return FormatNumber(v, "0.000E+00"); };
  labels_.xyMax = "X-Max = " + e(std::max(x[1], x[n])) + "\nY-Max = " + e(std::max(y[1], y[m]));
  labels_.xyMin = "X-Min = " + e(std::min(x[1], x[n])) + "\nY-Min = " + e(std::min(y[1], y[m]));
  labels_.peak = "X-Peak = " + e(grid_.XAtMax) + "\nY-Peak = " + e(grid_.YAtMax);

  double w = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int k = 2; k <= n - 1; ++k)
    for (int j = 2; j <= m - 1; ++j) {
      const double d = grid_.At(k, j);
      w += d;
      sx += d * x[k];
      sy += d * y[j];
      sxx += d * x[k] * x[k];
      syy += d * y[j] * y[j];
      sxy += d * x[k] * y[j];
    }
  if (w != 0) {
    const double vx = sxx - sx * sx / w, vy = syy - sy * sy / w;
    if (vx * vy > 0) {
      const double r = (sxy - sx * sy / w) / std::sqrt(vx * vy);
      correlation_ = r;
      labels_.corr = "       r = " + FormatNumber(r, "#0.0##");
    }
  }
}

Figure BivariatePlot::Picture() const {
  Figure figure;
  figure.width = kBivarSurfaceWidth;
  std::vector<FigureItem>& items = figure.items;
  items.insert(items.end(), items_.begin(), items_.end());
  auto segment = [&](double x1, double y1, double x2, double y2) {
    items.push_back({FigureItem::Kind::Segment, x1, y1, x2, y2, 0, kBlack, Stroke::Solid});
  };
  // The frame of the nominal area and its tick marks, over the cells.
  segment(kBivarLeft, kBivarTop, kBivarRight, kBivarTop);
  segment(kBivarRight, kBivarTop, kBivarRight, kBivarBottom);
  segment(kBivarRight, kBivarBottom, kBivarLeft, kBivarBottom);
  segment(kBivarLeft, kBivarBottom, kBivarLeft, kBivarTop);
  for (int i = 0; i <= 10; ++i) {
    segment(kBivarLeft, kBivarTop + 624 * i, kBivarLeft + 100, kBivarTop + 624 * i);
    segment(kBivarLeft + 792 * i, kBivarBottom, kBivarLeft + 792 * i, kBivarBottom - 100);
  }
  const BivariateLabels& l = labels_;
  figure.texts = {{"lblXYMin", l.xyMin, 60, kLabelRow},
                  {"lblXYMax", l.xyMax, 2400, kLabelRow},
                  {"lblPeak", l.peak, 4740, kLabelRow},
                  {"lblCorr", l.corr, 6900, kLabelRow},
                  {"lblVar", l.var, kBivarLeft, 20},
                  {"lblLineInfo", l.lineInfo, 5200, 20}};
  figure.height = kLabelRow + 460;
  if (ranges_) {
    // The values at the edges of the nominal frame, which carries the ticks.
    const double xlo = (*ranges_)[0], xhi = (*ranges_)[1], ylo = (*ranges_)[2], yhi = (*ranges_)[3];
    auto xAt = [&](double twips) { return xlo + (twips - left_) * (xhi - xlo) / (right_ - left_); };
    auto yAt = [&](double twips) { return ylo + (bottom_ - twips) * (yhi - ylo) / (bottom_ - top_); };
    const AxisRange x{xAt(kBivarLeft), xAt(kBivarRight)}, y{yAt(kBivarBottom), yAt(kBivarTop)};
    Panel panel(figure, {kBivarLeft, kBivarTop, kBivarRight, kBivarBottom}, x, y);
    panel.Ticks(RoundTicks(x.low, x.high), RoundTicks(y.low, y.high));
  }
  return figure;
}

Figure BivariatePlot::FilePicture() const {
  Figure figure = BlankFigure(kFileWidth, kFileHeight);
  const PanelBox box{1000, 900, kFileWidth - 2600, kFileHeight - 650};
  const std::string xTitle = "Values for parameter #" + StrNumber(grid_.ProfileParameter);
  const std::string yTitle = "Values for parameter #" + StrNumber(grid_.IntegratedParameter);
  if (!ranges_) {
    Panel panel(figure, box, {0, 1}, {0, 1});
    panel.Frame({}, {});
    panel.Titles("Bivariate posterior density", "Nothing to draw", xTitle, yTitle);
    return figure;
  }
  const auto [xlo, xhi, ylo, yhi] = *ranges_;
  Panel panel(figure, box, {xlo, xhi}, {ylo, yhi});
  const std::vector<double>& x = grid_.X;
  const std::vector<double>& y = grid_.Y;
  const double hx = (x[2] - x[1]) / 2, hy = (y[2] - y[1]) / 2;
  for (int k = 2; k <= grid_.PointCount - 1; ++k)
    for (int j = 2; j <= grid_.GridPointCount - 1; ++j) {
      const int colour = BivariateBandColour(grid_.At(k, j) / grid_.MaxDensity);
      if (colour != kWhite) panel.Fill(x[k] - hx, y[j] - hy, x[k] + hx, y[j] + hy, colour, false);
    }
  panel.Frame(RoundTicks(xlo, xhi), RoundTicks(ylo, yhi));
  std::string subtitle = "Peak at " + SignificantText(grid_.XAtMax) + ", " + SignificantText(grid_.YAtMax);
  if (correlation_) subtitle += ";  r = " + FormatNumber(*correlation_, "#0.0##");
  panel.Titles("Bivariate posterior density, cells coloured by their distance below the peak", subtitle, xTitle,
               yTitle);
  constexpr std::array<const char*, 7> kBands = {"Peak",          "Within 0.5 SD", "0.5 to 1.0 SD", "1.0 to 1.5 SD",
                                                 "1.5 to 2.0 SD", "2.0 to 2.5 SD", "2.5 to 3.0 SD"};
  std::vector<LegendKey> keys;
  for (std::size_t i = 0; i < kBands.size(); ++i)
    keys.push_back({kBands[i], kBivariateLegend[i].colour, false, Stroke::Solid, LegendKey::Marker::Box});
  panel.Legend(keys, Panel::LegendPlace::Right);
  return figure;
}

Figure BivariatePlot::LegendPicture() {
  Figure figure;
  figure.width = 1800;
  figure.height = 3600;
  const double top = 600, band = 360;
  figure.texts.push_back({"lblLegend", "Legend", 200, 40});
  figure.texts.push_back({"lblSEs", "SE's", 1150, 300});
  figure.texts.push_back({"lblHigh", "High Density", 100, 300});
  for (std::size_t i = 0; i < kBivariateLegend.size(); ++i) {
    const double y = top + band * static_cast<double>(i);
    figure.items.push_back({FigureItem::Kind::Box, 100, y, 1000, y + band, 0, kBivariateLegend[i].colour,
                            Stroke::Solid});
    figure.texts.push_back({"", kBivariateLegend[i].label, 1100, y + 60});
  }
  figure.texts.push_back({"lblLow", "Low Density", 100, top + band * 7 + 40});
  return figure;
}

}  // namespace kalvex::plots
