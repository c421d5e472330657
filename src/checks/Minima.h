#pragma once
// The minima a set of fits reached: objectives closer than the tolerance
// are one minimum (a positive tolerance is absolute, a negative one relative
// to the lower objective, as in the algorithm data), counted and ordered
// from the best, with each fit's largest relative distance from the best
// fit's parameters.
#include <optional>
#include <vector>

namespace kalvex::checks {

// What one fit of the set reached.
struct FitReached {
  // nullopt: the fit ended without a minimum (a numeric fault).
  std::optional<double> objective;
  std::vector<double> freeValues;  // 1-based, element 0 unused
};

struct MinimumFound {
  double objective = 0;  // the lowest objective of the fits that reached it
  int bestFit = 0;       // which fit (1-based) reached that lowest objective first
  int count = 0;         // how many fits reached it
};

struct MinimaSummary {
  std::vector<MinimumFound> minima;  // the best first
  // Per fit (index 0 for fit 1): its minimum's place in minima (0 the best),
  // -1 for a fit without a minimum.
  std::vector<int> minimumOf;
  // Per fit: the largest |p - best| / max(|best|, |step|) over the free
  // parameters, against the best fit's values; nullopt without a minimum.
  std::vector<std::optional<double>> distance;
  int BestFit() const { return minima.empty() ? 0 : minima.front().bestFit; }
  int ReachedBest() const { return minima.empty() ? 0 : minima.front().count; }
};

// Two objectives are one minimum when the later (higher) is closer to the
// lowest of its group than the tolerance: |f - f0| < t for t > 0, and
// |f - f0| < |t| |f0| for t < 0 (|f - f0| < |t| when f0 = 0); equal
// objectives are always one. Ties in the lowest objective go to the fit
// with the lower number.
MinimaSummary GroupMinima(const std::vector<FitReached>& fits, const std::vector<double>& freeSteps, double tolerance);

// Whether objective f lies within the tolerance of the reference f0.
bool WithinTolerance(double f, double f0, double tolerance);

}  // namespace kalvex::checks
