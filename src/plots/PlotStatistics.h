#pragma once
// The statistics panel of the x-y plot: correlation of the drawn points and
// either the distribution of X weighted by Y (drop lines) or the scatter of Y.
#include <string>

namespace kalvex::plots {

class PlotSums {
 public:
  void Add(double x, double y);
  int Count() const { return n_; }

  double Correlation() const;       // r; 0 when undefined
  double CorrelationError() const;  // s = sqrt((1 - r^2) / (N - 2)); 0 when undefined
  // X weighted by Y, as for a histogram drawn with drop lines.
  double WeightedMean() const;
  double WeightedVariance() const;
  // The plotted Y values.
  double MeanY() const;
  double VarianceY() const;  // (sum y^2 / N - mean^2) N / (N - 1)

 private:
  int n_ = 0;
  double sx_ = 0, sxx_ = 0, sy_ = 0, syy_ = 0, sxy_ = 0, sxxy_ = 0;
};

// The text of lblCorr.
std::string StatisticsText(const PlotSums& sums, bool dropLines);

}  // namespace kalvex::plots
