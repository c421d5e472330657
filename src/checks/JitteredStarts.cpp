#include "checks/JitteredStarts.h"

#include <algorithm>
#include <cmath>

#include "checks/Random.h"
#include "model/OskaneModel.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {

std::optional<std::string> JitterSettings::Validate() const {
  if (starts < 1 || starts > kMaxJitterStarts)
    return "The number of starts must be a whole number from 1 to " + std::to_string(kMaxJitterStarts);
  if (!(std::isfinite(spread) && spread > 0)) return "The spread must be a positive number";
  if (analytical && minimizer != FitMinimizer::Marquardt) return "Analytical derivatives are for Marquardt only";
  return std::nullopt;
}

std::vector<ParameterRange> FreeParameterRanges(const Model& model, const FreeParameters& free) {
  std::vector<ParameterRange> ranges;
  const auto* oskane = dynamic_cast<const OskaneModel*>(&model);
  if (!oskane) return ranges;
  for (int k = 1; k <= free.FreeCount; ++k)
    if (free.FreeIndex[k] == oskane->Layout().Omega()) ranges.push_back({k, 0, 1});
  return ranges;
}

std::vector<double> JitteredStart(const std::vector<double>& freeValues, const std::vector<double>& freeSteps,
                                  const std::vector<ParameterRange>& ranges, const JitterSettings& settings, int k) {
  Xoshiro256 stream = Xoshiro256::Stream(settings.seed, static_cast<std::uint64_t>(k));
  std::vector<double> start = freeValues;
  for (std::size_t i = 1; i < start.size(); ++i) {
    const double u = stream.UniformSymmetric();
    const double scale = std::max(std::fabs(freeValues[i]), std::fabs(freeSteps[i]));
    start[i] = freeValues[i] + settings.spread * u * scale;
  }
  for (const ParameterRange& range : ranges) {
    if (range.freeIndex < 1 || static_cast<std::size_t>(range.freeIndex) >= start.size()) continue;
    double& x = start[range.freeIndex];
    if (x < range.low) x = range.low + (range.low - x);
    if (x > range.high) x = range.high - (x - range.high);
    x = std::clamp(x, range.low, range.high);
  }
  return start;
}

}  // namespace kalvex::checks
