#include "covariance/CovarianceComputation.h"

#include <cmath>

#include "covariance/HessianGrids.h"
#include "workspace/Problem.h"

namespace kalvex {

std::optional<std::string> CovarianceSettings::Validate() const {
  if (!(objectiveScale > 0) || !std::isfinite(objectiveScale)) return "The -ln[L] constant must be a positive number";
  if (method == CovarianceMethod::Numerical)
    for (int g = 1; g <= kGridCount; ++g)
      if (!(gridFactors[g] > 0) || !std::isfinite(gridFactors[g])) return "The grid factors must be positive numbers";
  return std::nullopt;
}

CovarianceEnd ComputeCovariance(Problem& problem, const std::vector<std::string>& descriptions,
                                CovarianceSettings settings, CovarianceResults& results, GridObserver& observer,
                                const std::function<bool(CovarianceSettings&)>& settle) {
  results = CovarianceResults{};
  results.Method = settings.method;
  results.GridFactors = settings.gridFactors;
  StartCovarianceRun(problem, descriptions, results);
  observer.CentreEvaluated();
  if (results.FreeCount() == 0) return CovarianceEnd::NothingToDo;
  std::optional<Matrix> hessian;
  if (settings.method == CovarianceMethod::Analytical) {
    hessian = AnalyticalHessian(problem, results);
    if (!hessian) return CovarianceEnd::NoDerivatives;
  }
  if (settle && !settle(settings)) return CovarianceEnd::Cancelled;
  // The grids' prior terms take the constant as answered; the centre kept the one it was evaluated with.
  problem.objective.SetObjectiveScale(settings.objectiveScale);
  results.ObjectiveScale = settings.objectiveScale;
  // A full analytical Hessian needs no shortcut: the answer is kept but not used.
  results.OptimisticSEs = settings.method == CovarianceMethod::Numerical && settings.optimisticSEs;
  if (hessian)
    InvertAnalyticalGrids(results, *hessian, observer);
  else
    ComputeNumericalGrids(problem, results, observer);
  return CovarianceEnd::Completed;
}

}  // namespace kalvex
