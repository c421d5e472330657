#include "checks/Minima.h"

#include <algorithm>
#include <cmath>

namespace kalvex::checks {

bool WithinTolerance(double f, double f0, double tolerance) {
  const double gap = std::fabs(f - f0);
  if (gap == 0) return true;
  if (tolerance >= 0) return gap < tolerance;
  return gap < (f0 == 0 ? -tolerance : -tolerance * std::fabs(f0));
}

MinimaSummary GroupMinima(const std::vector<FitReached>& fits, const std::vector<double>& freeSteps, double tolerance) {
  MinimaSummary summary;
  const int count = static_cast<int>(fits.size());
  summary.minimumOf.assign(count, -1);
  summary.distance.assign(count, std::nullopt);

  // The fits with a minimum, lowest objective first, ties by fit number.
  std::vector<int> order;
  for (int k = 0; k < count; ++k)
    if (fits[k].objective) order.push_back(k);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return *fits[a].objective < *fits[b].objective; });

  for (int k : order) {
    const double f = *fits[k].objective;
    if (summary.minima.empty() || !WithinTolerance(f, summary.minima.back().objective, tolerance))
      summary.minima.push_back({f, k + 1, 0});
    summary.minima.back().count += 1;
    summary.minimumOf[k] = static_cast<int>(summary.minima.size()) - 1;
  }
  if (summary.minima.empty()) return summary;

  const std::vector<double>& best = fits[summary.BestFit() - 1].freeValues;
  for (int k : order) {
    const std::vector<double>& values = fits[k].freeValues;
    double largest = 0;
    for (std::size_t i = 1; i < values.size() && i < best.size(); ++i) {
      const double step = i < freeSteps.size() ? std::fabs(freeSteps[i]) : 0;
      const double scale = std::max(std::fabs(best[i]), step);
      const double gap = std::fabs(values[i] - best[i]);
      largest = std::max(largest, scale > 0 ? gap / scale : gap);
    }
    summary.distance[k] = largest;
  }
  return summary;
}

}  // namespace kalvex::checks
