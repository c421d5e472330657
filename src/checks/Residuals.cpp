#include "checks/Residuals.h"

#include <cmath>

#include "workspace/NumericFault.h"

namespace kalvex::checks {

ResidualSeries StandardizedResiduals(const model::ModelData& data, const model::LikelihoodWork& work) {
  const int n = data.NumPeriods;
  ResidualSeries series;
  series.objective = work.Objective;
  if (n < 2) return series;
  const double rho = work.Lambda, g = work.LambdaDeterminant;
  series.innovationSd = SafeSqrt(SafeDivide(work.SumSquares, n - 1));
  for (int i = 2; i <= n; ++i) {
    const double share = 1 - SafeDivide(std::pow(rho, 2.0 * (i - 1)), g);
    const double sd = series.innovationSd * SafeSqrt(share);
    series.year.push_back(data.Year[i]);
    series.period.push_back(data.TimeCount[i]);
    series.innovation.push_back(work.Innovation[i]);
    series.standardized.push_back(CheckFinite(SafeDivide(work.Innovation[i], sd)));
  }
  return series;
}

}  // namespace kalvex::checks
