#pragma once
// The covariance analysis as a computation: settings in, the results of the
// three grids out, on a problem. The window's dialogue and kalvex-batch fill
// the same settings; a dialogue that asks its questions once the centre is
// known (the constant prompt proposes a value from it) completes them in
// the settle step.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "workspace/Results.h"

namespace kalvex {
class Problem;
class GridObserver;

inline constexpr std::array<double, kGridCount + 1> kDefaultGridFactors{0, 1.0, 0.1, 0.01};

struct CovarianceSettings {
  CovarianceMethod method = CovarianceMethod::Numerical;
  std::array<double, kGridCount + 1> gridFactors = kDefaultGridFactors;  // 1..3; a numerical run's
  double objectiveScale = 0;   // 1 / c of the "Enter constant" answer
  bool optimisticSEs = false;  // only the Hessian's diagonal
  // A message when the settings cannot drive a run.
  std::optional<std::string> Validate() const;
};

enum class CovarianceEnd {
  Completed,     // results for all three grids (some may be -1)
  NothingToDo,   // no free parameter
  NoDerivatives, // analytical: the model supplies no second derivatives
  Cancelled,     // settle declined to complete the settings
};

// Into results: the centre, then (analytical) the model's Hessian, then
// settle (which may complete the settings, or decline: false), then the grids and their
// inversion. The problem's values are not changed. Throws NumericFault.
CovarianceEnd ComputeCovariance(Problem& problem, const std::vector<std::string>& descriptions,
                                CovarianceSettings settings, CovarianceResults& results, GridObserver& observer,
                                const std::function<bool(CovarianceSettings&)>& settle = {});

}  // namespace kalvex
