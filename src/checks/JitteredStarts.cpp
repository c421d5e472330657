#include "checks/JitteredStarts.h"

#include <algorithm>
#include <cmath>

#include "checks/Random.h"
#include "model/OskaneModel.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {

std::optional<std::string> JitterSettings::Validate() const {
  if (starts < 1) return "The number of starts must be at least 1";
  if (!(std::isfinite(spread) && spread > 0)) return "The spread must be a positive number";
  return std::nullopt;
}

std::vector<ParameterRange> FreeParameterRanges(const Workspace& ws) {
  std::vector<ParameterRange> ranges;
  const auto* model = dynamic_cast<const OskaneModel*>(ws.model.get());
  if (!model) return ranges;
  for (int k = 1; k <= ws.Free.FreeCount; ++k)
    if (ws.Free.FreeIndex[k] == model->Layout().Omega()) ranges.push_back({k, 0, 1});
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
