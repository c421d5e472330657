#include "workflow/FitSettings.h"

#include "minimize/SimplexKernel.h"
#include "workspace/Problem.h"

namespace kalvex {

std::optional<std::string> FitSettings::Validate() const {
  if (method.minimizer == checks::FitMinimizer::Marquardt) return std::nullopt;
  if (method.derivatives == Derivatives::Analytical) return "The Simplex uses no derivatives";
  if (showDerivatives) return "Only Marquardt shows derivatives";
  return std::nullopt;
}

MinimizeResult ComputeFit(Problem& problem, const FitSettings& settings, const checks::StopAsked& stop) {
  std::optional<std::string> refused = settings.Validate();
  if (!refused)
    refused = settings.method.minimizer == checks::FitMinimizer::Simplex
                  ? SimplexOptions::Of(problem.settings).Validate()
                  : MarquardtOptions::Of(problem.settings, settings.method.derivatives).Validate();
  if (refused) {
    MinimizeResult result;
    result.message = *refused;
    return result;
  }
  return checks::FitQuietly(problem, settings.method, stop);
}

}  // namespace kalvex
