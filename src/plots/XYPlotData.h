#pragma once
// What a caller hands to the x-y plot window: a table of series over the
// periods, the proposed range of each series and the time counter's range.
#include <string>
#include <vector>

#include "workspace/Matrix.h"

namespace kalvex::plots {

// A value that is not to be drawn, joined, or counted for a range.
inline constexpr double kMissingValue = 1e-100;
inline bool IsMissing(double value) { return value == kMissingValue; }

struct XYPlotData {
  Matrix values;                      // periods 1..n x series 1..m
  std::vector<double> seriesMinimum;  // 1..m, [0] unused
  std::vector<double> seriesMaximum;  // 1..m
  std::vector<std::string> seriesLabels;  // 1..m
  std::string xLabel = "Time Counter";
  double xMinimum = 1, xMaximum = 1;        // range of the time counter
  double xStartLabel = 1, xEndLabel = 1;    // axis label values at those ends
  std::string pageText;                     // "" = no page label
  bool morePages = false;                   // a later page follows ("Next Plot Page" leads to it)

  int Periods() const { return values.Rows(); }
  int SeriesCount() const { return values.Columns(); }
};

}  // namespace kalvex::plots
