#include "plots/DistributionPlot.h"

#include <algorithm>

#include "plots/Panel.h"
#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

constexpr double kDiscRadius = 30;
constexpr double kConfidenceLineY = 792;  // the 0.95 level of a 0..1 range
constexpr double kFileWidth = 9000, kFileHeight = 6000;

// What a series' values measure, for the vertical axis' title.
const char* Quantity(int series) {
  switch (series) {
    case 1: return "-ln[L] relative to the mode";
    case 3:
    case 4: return "Confidence level";
    case 5: return "Cumulative probability";
    case 6: return "1 - cumulative probability";
    default: return "Probability density";
  }
}

}  // namespace

std::optional<Interval> CentralInterval(const EvaluationTable& table, double level) {
  // The first grid point whose cumulative value reaches p, and the straight
  // line from the point before; none when the first point already does.
  auto crossing = [&table](double p) -> std::optional<double> {
    for (int k = 1; k <= table.PointCount; ++k) {
      if (!(table.Cumulative[k] >= p)) continue;
      if (k == 1) return std::nullopt;
      const double c0 = table.Cumulative[k - 1], c1 = table.Cumulative[k];
      const double x0 = table.GridValue[k - 1], x1 = table.GridValue[k];
      return x0 + (x1 - x0) * (p - c0) / (c1 - c0);
    }
    return std::nullopt;
  };
  const std::optional<double> low = crossing((1 - level) / 2), high = crossing((1 + level) / 2);
  if (!low || !high) return std::nullopt;
  return Interval{*low, *high};
}

int DistributionSeriesColour(int series) {
  constexpr std::array<int, kDistributionSeriesCount + 1> colours{0, 2, 3, 5, 12, 13, 14, 4};
  return series >= 1 && series <= kDistributionSeriesCount ? colours[series] : 0;
}

DistributionPlot::DistributionPlot(DistributionPlotData data) : data_(std::move(data)) {
  titles_ = {"Parameter Likelihood Profile",  data_.series2Title,
             "Confidence Region on mode",     "Confidence Region on mean",
             "Cumulative L to R Distribution", "Attenuated L to R Distribution",
             "Gaussian Probability Distribution"};
  Clear();
}

std::string DistributionPlot::XTitle() const { return "Values for parameter #" + StrNumber(data_.parameter); }

double DistributionPlot::SeriesValue(int series, int k) const {
  const EvaluationTable& t = data_.table;
  switch (series) {
    case 1: return t.NegLnL[k];
    case 2: return t.Pdf[k];
    case 3: return t.CiMode[k];
    case 4: return t.CiMean[k];
    case 5: return t.Cumulative[k];
    case 6: return 1 - t.Cumulative[k];
    default: return t.NormalPdf[k];
  }
}

void DistributionPlot::SetDrawLines(bool on) {
  lines_ = on;
  if (on) drop_ = false;
}

void DistributionPlot::SetDrawPoints(bool on) {
  points_ = on;
  if (on) drop_ = false;
}

void DistributionPlot::SetDropLines(bool on) {
  drop_ = on;
  if (on) lines_ = points_ = false;
}

void DistributionPlot::Clear() {
  items_.clear();
  drawn_.clear();
  labels_ = DistributionLabels{};
}

void DistributionPlot::Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke) {
  items_.push_back({FigureItem::Kind::Segment, x1, y1, x2, y2, 0, colour, stroke});
}

void DistributionPlot::Plot(int series) {
  if (series < 1 || series > kDistributionSeriesCount) return;
  const int n = data_.table.PointCount;
  if (n < 1) return;
  double ymin = 0, ymax = 0;
  for (int k = 1; k <= n; ++k) {
    ymin = std::min(ymin, SeriesValue(series, k));
    ymax = std::max(ymax, SeriesValue(series, k));
  }
  if (ymin == ymax) ymin = -1, ymax = 1;
  const double x1 = data_.table.GridValue[1], xn = data_.table.GridValue[n];
  if (x1 == xn) return;
  yMin_ = ymin, yMax_ = ymax;
  drawn_.push_back({series, lines_, points_, drop_});
  auto X = [&](double x) { return kDistLeft + (x - x1) * 6480 / (xn - x1); };
  auto Y = [&](double y) { return kDistTop + (ymax - y) * 6240 / (ymax - ymin); };

  const double lo = std::min(x1, xn), hi = std::max(x1, xn);
  const bool zeroLine = lo < 0 && 0 < hi, oneLine = lo < 1 && 1 < hi;
  if (zeroLine) Segment(X(0), kDistTop, X(0), kDistBottom, kBlack, Stroke::Dot);
  if (oneLine) Segment(X(1), kDistTop, X(1), kDistBottom, kBlack, Stroke::Dot);
  if (zeroLine && oneLine)
    labels_.verticalLine = "Left vertical line locates 0\nRight vertical line locates 1";
  else if (zeroLine)
    labels_.verticalLine = "Note: Vertical line locates 0";
  else if (oneLine)
    labels_.verticalLine = "Note: Vertical line locates 1";
  if (series >= 3 && series <= 6) {
    Segment(kDistLeft, kConfidenceLineY, kDistRight, kConfidenceLineY, kBlack, Stroke::Dot);
    labels_.confidenceInterval = "< 95% CI >";
  }

  labels_.graphMax = "Max =  " + FormatNumber(ymax, "#0.0###") + "\nMin =  " + FormatNumber(ymin, "#0.0###");
  labels_.var = "Y: " + titles_[series - 1] + "\nX: " + XTitle();
  labels_.xStart = FormatNumber(x1, "#0.0###");
  labels_.xEnd = FormatNumber(xn, "#0.0###");
  if (series == 2) {
    const EvaluationSummary& s = data_.summary;
    labels_.plotInfo = "ML Estimate: \nEV Estimate:\nEstimated Diff:\nPercent Diff:\nEstimated SE:";
    labels_.plotInfoValues.clear();
    for (double value : {s.ModeValue, s.ExpectedValue, s.EstimatedDiff, PercentDiff(s), s.EstimatedSE})
      labels_.plotInfoValues += (labels_.plotInfoValues.empty() ? "" : "\n") + FormatNumber(value, "0.000E+00");
  }

  const int colour = DistributionSeriesColour(series);
  for (int k = 1; k <= n; ++k) {
    const double px = X(data_.table.GridValue[k]), py = Y(SeriesValue(series, k));
    if (lines_ && k > 1)
      Segment(X(data_.table.GridValue[k - 1]), Y(SeriesValue(series, k - 1)), px, py, colour);
    if (points_) items_.push_back({FigureItem::Kind::Disc, px, py, px, py, kDiscRadius, colour, Stroke::Solid});
    if (drop_) Segment(px, py, px, kDistBottom, colour);
  }
}

Figure DistributionPlot::Picture() const {
  Figure figure;
  figure.width = 7560;
  figure.height = 7200;
  std::vector<FigureItem>& items = figure.items;
  auto segment = [&](double x1, double y1, double x2, double y2) {
    items.push_back({FigureItem::Kind::Segment, x1, y1, x2, y2, 0, kBlack, Stroke::Solid});
  };
  segment(kDistLeft, kDistTop, kDistLeft, kDistBottom);
  segment(kDistLeft, kDistBottom, kDistRight, kDistBottom);
  for (int i = 0; i <= 9; ++i) {
    segment(kDistLeft, kDistTop + 624 * i, kDistLeft + 100, kDistTop + 624 * i);
    segment(kDistRight - 648 * i, kDistBottom, kDistRight - 648 * i, kDistBottom - 100);
  }
  items.insert(items.end(), items_.begin(), items_.end());
  const DistributionLabels& l = labels_;
  figure.texts = {{"lblXStart", l.xStart, l.xStartLeft, kDistBottom + 40},
                  {"lblXEnd", l.xEnd, l.xEndLeft, kDistBottom + 40},
                  {"lblGraphMax", l.graphMax, kDistLeft + 150, 60},
                  {"lblVar", l.var, 3600, 60},
                  {"lblVerticalLine", l.verticalLine, kDistLeft + 150, kDistBottom - 700},
                  {"lblConfidenceInterval", l.confidenceInterval, kDistRight - 1200, kConfidenceLineY - 230},
                  {"lblPlotInfo", l.plotInfo, kDistLeft + 150, 900},
                  {"lblPlotInfoValues", l.plotInfoValues, kDistLeft + 150 + 1400 + 50, 900}};
  if (!drawn_.empty()) {
    // After the labels: a tick label that would cover lblXStart or lblXEnd gives way.
    const double x1 = data_.table.GridValue[1], xn = data_.table.GridValue[data_.table.PointCount];
    Panel panel(figure, {kDistLeft, kDistTop, kDistRight, kDistBottom}, {x1, xn}, {yMin_, yMax_});
    panel.Ticks(RoundTicks(x1, xn), RoundTicks(yMin_, yMax_));
  }
  return figure;
}

Figure DistributionPlot::FilePicture() const {
  // The legend goes in a corner; where every corner holds data, the scale
  // gets room for it above the highest value.
  int hidden = 0;
  Figure figure = FilePicture(0.05, hidden);
  return hidden > 0 ? FilePicture(-1, hidden) : figure;
}

Figure DistributionPlot::FilePicture(double headroom, int& hidden) const {
  Figure figure = BlankFigure(kFileWidth, kFileHeight);
  const EvaluationTable& t = data_.table;
  const int n = t.PointCount;
  const double x1 = n >= 1 ? t.GridValue[1] : 0, xn = n >= 1 ? t.GridValue[n] : 1;
  const PanelBox box = PlotArea(figure.width, figure.height);
  const EvaluationSummary& s = data_.summary;
  const std::optional<Interval> interval = CentralInterval(t, 0.95);
  auto within = [&](double x) { return std::min(x1, xn) <= x && x <= std::max(x1, xn); };
  const bool marks = !drawn_.empty() && s.ModeIndex >= 1;

  // The series, then the interval and the marks, as the legend lists them.
  std::vector<LegendKey> keys;
  if (drawn_.size() > 1)
    for (const DrawnSeries& d : drawn_)
      keys.push_back({titles_[d.series - 1], DistributionSeriesColour(d.series), d.lines || d.drop, Stroke::Solid,
                      d.points ? LegendKey::Marker::Disc : LegendKey::Marker::None});
  if (interval && !drawn_.empty())
    keys.push_back({"95 % interval " + SignificantText(interval->low) + " to " + SignificantText(interval->high), kGrey,
                    false, Stroke::Solid, LegendKey::Marker::Shade});
  if (marks && within(s.ModeValue)) keys.push_back({"Mode " + SignificantText(s.ModeValue), kBlack, true, Stroke::Dash});
  if (marks && within(s.ExpectedValue))
    keys.push_back({"Expected value " + SignificantText(s.ExpectedValue), kBlack, true, Stroke::Dot});

  // One vertical scale for every series drawn, with room above the highest.
  double low = 0, high = 0;
  for (const DrawnSeries& d : drawn_)
    for (int k = 1; k <= n; ++k) {
      low = std::min(low, SeriesValue(d.series, k));
      high = std::max(high, SeriesValue(d.series, k));
    }
  if (drawn_.empty()) high = 1;
  if (low == high) low = -1, high = 1;
  if (headroom < 0) {
    // The highest value just below the legend's box.
    const double share = std::min(Panel::LegendRoom(keys.size()) / (box.bottom - box.top), 0.6);
    high = (high - share * low) / (1 - share);
  } else if (high > 0) {
    high += headroom * (high - low);
  }
  Panel panel(figure, box, {x1, xn}, {low, high});

  if (interval && !drawn_.empty()) panel.Fill(interval->low, low, interval->high, high, kGrey, true);
  panel.Frame(RoundTicks(x1, xn), RoundTicks(low, high));
  std::string yTitle;
  for (const DrawnSeries& d : drawn_) {
    const int colour = DistributionSeriesColour(d.series);
    const double base = std::clamp(0.0, low, high);
    for (int k = 1; k <= n; ++k) {
      const double x = t.GridValue[k], y = SeriesValue(d.series, k);
      if (d.lines && k > 1) panel.Segment(t.GridValue[k - 1], SeriesValue(d.series, k - 1), x, y, colour);
      if (d.points) panel.Disc(x, y, colour, kDiscRadius);
      if (d.drop) panel.Segment(x, base, x, y, colour);
    }
    if (yTitle.find(Quantity(d.series)) == std::string::npos)
      yTitle += (yTitle.empty() ? "" : " / ") + std::string(Quantity(d.series));
  }
  if (marks && within(s.ModeValue)) panel.Upright(s.ModeValue, kBlack, Stroke::Dash);
  if (marks && within(s.ExpectedValue)) panel.Upright(s.ExpectedValue, kBlack, Stroke::Dot);
  panel.Titles(drawn_.size() == 1 ? titles_[drawn_[0].series - 1] : "", "", XTitle(), yTitle);
  hidden = panel.Legend(keys);
  return figure;
}

}  // namespace kalvex::plots
