#include "evaluation/PosteriorGrid.h"

#include <cmath>

#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

class PointWalk {
 public:
  PointWalk(const IntegrationGrid& grid, const std::vector<double>& values, double reference,
            const NodeObjective& objective, IntegrationObserver& observer)
      : grid_(grid),
        values_(values),
        reference_(reference),
        objective_(objective),
        observer_(observer),
        trial_(values),
        negLnL_(static_cast<std::size_t>(grid.points)),
        weights_(static_cast<std::size_t>(grid.points)) {}

  PointIntegral Walk() {
    result_.abandoned = !Descend(1);
    return result_;
  }

 private:
  // False when the observer abandoned the point.
  bool Descend(int level) {
    const int parameter = grid_.parameters[level - 1];
    if (level == grid_.Levels()) {
      if (observer_.LevelStep(level, parameter, 1)) return false;
      EvaluateSweep(grid_, values_[parameter], trial_, objective_, negLnL_);
      for (std::size_t j = 0; j < weights_.size(); ++j) {
        weights_[j] = std::exp(-(negLnL_[j] - reference_));
        if (!std::isfinite(weights_[j])) throw NumericFault(kOverflow);
        result_.sum += weights_[j];
      }
      if (!std::isfinite(result_.sum)) throw NumericFault(kOverflow);
      return !observer_.SweepDone(weights_);
    }
    for (int j = 1; j <= grid_.points; ++j) {
      if (observer_.LevelStep(level, parameter, j)) return false;
      trial_[parameter] = grid_.Value(level, values_[parameter], j);
      if (!Descend(level + 1)) return false;
    }
    return true;
  }

  const IntegrationGrid& grid_;
  const std::vector<double>& values_;
  double reference_;
  const NodeObjective& objective_;
  IntegrationObserver& observer_;
  std::vector<double> trial_;
  std::vector<double> negLnL_, weights_;
  PointIntegral result_;
};

}  // namespace

double NodeCount(int points, int levels) { return std::pow(static_cast<double>(points), levels); }

void EvaluateSweep(const IntegrationGrid& grid, double centre, std::vector<double>& trial,
                   const NodeObjective& objective, std::span<double> negLnL) {
  const int level = grid.Levels();
  const int parameter = grid.parameters[level - 1];
  for (int j = 1; j <= grid.points; ++j) {
    trial[parameter] = grid.Value(level, centre, j);
    negLnL[j - 1] = objective(trial);
  }
}

PointIntegral IntegratePoint(const IntegrationGrid& grid, const std::vector<double>& values, double reference,
                             const NodeObjective& objective, IntegrationObserver& observer) {
  if (grid.Levels() == 0 || grid.points < 1) return {};
  return PointWalk(grid, values, reference, objective, observer).Walk();
}

}  // namespace kalvex
