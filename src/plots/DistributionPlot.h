#pragma once
// The distribution plot window's state without any widget: the seven series
// built from an evaluation table, the drawing options, the labels and the
// picture drawn since the last Clear (series accumulate until then).
#include <array>
#include <string>

#include "evaluation/EvaluationTable.h"
#include "plots/Figure.h"

namespace kalvex::plots {

inline constexpr int kDistributionSeriesCount = 7;

// What an evaluation hands to the plot.
struct DistributionPlotData {
  EvaluationTable table;
  EvaluationSummary summary;
  int parameter = 0;
  std::string series2Title = "Parameter Confidence Distribution";
};

inline constexpr const char* kConfidenceTitle = "Parameter Confidence Distribution";
inline constexpr const char* kPosteriorTitle = "Bayesian Posterior Distribution";
inline constexpr const char* kPriorTitle = "Bayesian Prior Distribution";

// The plot area in twips: x 720..7200, y 480 (top) to 6720 (bottom).
inline constexpr double kDistLeft = 720, kDistRight = 7200, kDistTop = 480, kDistBottom = 6720;

struct DistributionLabels {
  std::string graphMax, var, xStart, xEnd, plotInfo, plotInfoValues, verticalLine, confidenceInterval;
  double xStartLeft = 520, xEndLeft = 7000;
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
  // Tick marks, then everything drawn since Clear, with the labels.
  Figure Picture() const;

 private:
  void Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke = Stroke::Solid);

  DistributionPlotData data_;
  std::array<std::string, kDistributionSeriesCount> titles_;
  bool lines_ = true, points_ = true, drop_ = false;
  DistributionLabels labels_;
  std::vector<FigureItem> items_;
};

// The palette colour of series s.
int DistributionSeriesColour(int series);

}  // namespace kalvex::plots
