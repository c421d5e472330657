#include "covariance/GridPoints.h"

#include <cmath>

#include "workspace/NumericFault.h"

namespace kalvex {

std::vector<GridPoint> GridPointsOf(const CovarianceResults& results) {
  const int n = results.FreeCount();
  std::vector<GridPoint> points;
  points.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1));
  for (int e = 1; e <= n; ++e)
    for (int f = e; f <= n; ++f)
      for (double sign : {1.0, -1.0})
        points.push_back({e, f, results.FreeIndex[e], results.FreeIndex[f], sign, !results.OptimisticSEs || e == f});
  return points;
}

void MakeTrial(const CovarianceResults& results, int grid, const GridPoint& point, std::vector<double>& trial) {
  const double h = results.GridFactors[grid];
  const std::vector<double>& centre = results.WorkValues;
  const std::vector<double>& steps = results.WorkSteps;
  trial = centre;
  trial[point.p] = centre[point.p] + point.sign * h * steps[point.p];
  if (point.q != point.p) trial[point.q] = centre[point.q] + point.sign * h * steps[point.q];
}

void GridSummary::Add(double value, double centre) {
  double d = CheckFinite(value - centre);
  count_ += 1;
  s1_ = CheckFinite(s1_ + d);
  s2_ = CheckFinite(s2_ + d * d);
}

void GridSummary::Finish(CovarianceResults& results, int grid) const {
  double mean = s1_ / count_;
  results.GridMean[grid] = CheckFinite(mean + results.CentreObjective);
  double variance = s2_ / count_ - mean * mean;
  // A grid whose differences are all 0 has a spread of 0, not an undefined sign.
  results.GridSD[grid] = variance == 0 ? 0.0 : std::copysign(std::sqrt(std::fabs(variance)), variance);
}

}  // namespace kalvex
