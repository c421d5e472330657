#include "plots/PlotStatistics.h"

#include <cmath>

#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

// A panel number; a statistic that cannot be formed shows as 0.
std::string Shown(double value) { return FormatNumber(std::isfinite(value) ? value : 0.0, "#0.0000"); }

double RootOrZero(double value) { return value > 0 ? std::sqrt(value) : 0.0; }

}  // namespace

void PlotSums::Add(double x, double y) {
  ++n_;
  sx_ += x;
  sxx_ += x * x;
  sy_ += y;
  syy_ += y * y;
  sxy_ += x * y;
  sxxy_ += x * x * y;
}

double PlotSums::Correlation() const {
  if (n_ == 0) return 0;
  double product = (sxx_ - sx_ * sx_ / n_) * (syy_ - sy_ * sy_ / n_);
  if (!(product > 0)) return 0;
  return (sxy_ - sx_ * sy_ / n_) / std::sqrt(product);
}

double PlotSums::CorrelationError() const {
  double r = Correlation();
  double unexplained = 1 - r * r;
  // With two points or fewer the line is exact and s has no degrees of freedom.
  if (!(unexplained > 0) || n_ <= 2) return 0;
  return std::sqrt(unexplained / (n_ - 2));
}

double PlotSums::WeightedMean() const { return sy_ != 0 ? sxy_ / sy_ : 0.0; }

double PlotSums::WeightedVariance() const {
  if (sy_ == 0) return 0;
  double mean = WeightedMean();
  return sxxy_ / sy_ - mean * mean;
}

double PlotSums::MeanY() const { return n_ > 0 ? sy_ / n_ : 0.0; }

double PlotSums::VarianceY() const {
  if (n_ < 2) return 0;
  double mean = MeanY();
  return (syy_ / n_ - mean * mean) * n_ / (n_ - 1);
}

std::string StatisticsText(const PlotSums& sums, bool dropLines) {
  std::string text = "r  = " + Shown(sums.Correlation()) + "\n";
  text += "s\u00B0 = " + Shown(sums.CorrelationError()) + "\n";
  double mean, variance;
  if (dropLines) {
    text += "Distribution of X:\n";
    mean = sums.WeightedMean();
    variance = sums.WeightedVariance();
  } else {
    text += "Scatter of Y:\n";
    mean = sums.MeanY();
    variance = sums.VarianceY();
  }
  text += "      Mean = " + Shown(mean) + "\n";
  text += "      SD = " + Shown(RootOrZero(variance)) + "\n";
  text += "      Var = " + Shown(variance);
  return text;
}

}  // namespace kalvex::plots
