#pragma once
// The distribution plot window's state without any widget: the seven series
// built from an evaluation table, the drawing options, the labels and the
// picture drawn since the last Clear (series accumulate until then).
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "plots/Figure.h"
#include "workspace/Results.h"

namespace kalvex::plots {

inline constexpr int kDistributionSeriesCount = 7;

// The plot area in twips: x 720..7200, y 480 (top) to 6720 (bottom).
inline constexpr double kDistLeft = 720, kDistRight = 7200, kDistTop = 480, kDistBottom = 6720;

struct DistributionLabels {
  std::string graphMax, var, xStart, xEnd, plotInfo, plotInfoValues, verticalLine, confidenceInterval;
  double xStartLeft = 520, xEndLeft = 7000;
};

// The equal-tailed interval holding level of the distribution: where the
// cumulative column passes (1 - level) / 2 and (1 + level) / 2, interpolated
// between grid points; nothing when the grid does not reach either point.
struct Interval {
  double low = 0, high = 0;
};
std::optional<Interval> CentralInterval(const EvaluationTable& table, double level);

// One series as it was drawn, with the options of that moment.
struct DrawnSeries {
  int series = 0;
  bool lines = true, points = true, drop = false;
};

class DistributionPlot {
 public:
  explicit DistributionPlot(DistributionPlotData data);

  const DistributionPlotData& Data() const { return data_; }
  // The titles of listVar, series 1..7 in order.
  const std::array<std::string, kDistributionSeriesCount>& Titles() const { return titles_; }
  std::string XTitle() const;
  // The value of series s (1..7) at point k.
  double SeriesValue(int series, int k) const;

  // The option boxes: "Drop line plot" excludes the other two.
  bool DrawLines() const { return lines_; }
  bool DrawPoints() const { return points_; }
  bool DropLines() const { return drop_; }
  void SetDrawLines(bool on);
  void SetDrawPoints(bool on);
  void SetDropLines(bool on);

  // "Cl&ear": the picture and every label emptied, the x labels back in place.
  void Clear();
  // "&Plot it!" or a double-click: series s (1..7) over what is drawn.
  void Plot(int series);

  const DistributionLabels& Labels() const { return labels_; }
  const std::vector<DrawnSeries>& Drawn() const { return drawn_; }
  // Tick marks, then everything drawn since Clear, with the labels and the
  // round ticks of the last series' ranges.
  Figure Picture() const;
  // The series drawn since Clear on one common vertical scale, for a file:
  // ticks, axis titles, the mode, the expected value and the 95 % interval
  // marked, and a legend.
  Figure FilePicture() const;

 private:
  void Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke = Stroke::Solid);
  // headroom: the share of the range added above the highest value; below
  // 0, room for the legend's box. hidden: what the legend covers.
  Figure FilePicture(double headroom, int& hidden) const;

  DistributionPlotData data_;
  std::array<std::string, kDistributionSeriesCount> titles_;
  bool lines_ = true, points_ = true, drop_ = false;
  DistributionLabels labels_;
  std::vector<FigureItem> items_;
  std::vector<DrawnSeries> drawn_;
  double yMin_ = 0, yMax_ = 0;  // the last series' vertical range
};

// The palette colour of series s.
int DistributionSeriesColour(int series);

}  // namespace kalvex::plots
