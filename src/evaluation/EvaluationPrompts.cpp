#include "evaluation/EvaluationPrompts.h"

#include <cmath>

#include "workspace/Format.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

int OddAtLeastThree(int count) {
  if (count < 3) count = 3;
  return count % 2 == 0 ? count + 1 : count;
}

// The standard error of a parameter in grid g; nullopt when the grid did not
// vary it.
std::optional<double> GridStandardError(const Workspace& ws, int grid, int parameter) {
  const CovarianceResults& results = ws.Covariance.Results;
  for (int e = 1; e <= results.FreeCount(); ++e)
    if (results.FreeIndex[e] == parameter) return results.StandardError(grid, e);
  return std::nullopt;
}

}  // namespace

std::optional<int> ProfilePointCount(double value) {
  if (!(value >= 0 && value <= kMaxEvaluationPoints)) return std::nullopt;
  int count = ToInt32(value).value_or(0);
  return count == 0 ? kDefaultEvaluationPoints : OddAtLeastThree(count);
}

std::optional<int> PosteriorPointCount(double value) {
  if (!(value >= 1 && value <= kMaxEvaluationPoints)) return std::nullopt;
  return OddAtLeastThree(ToInt32(value).value_or(1));
}

std::optional<int> PosteriorGridPointCount(double value) {
  value = std::nearbyint(value);
  if (!(value >= 1 && value <= kMaxEvaluationPoints)) return std::nullopt;
  return OddAtLeastThree(static_cast<int>(value));
}

StepBasis ProfileStepBasis(std::optional<std::string_view> answer) {
  if (!answer || answer->empty() || *answer == "q" || *answer == "Q") return StepBasis::Quit;
  if (*answer == "1") return StepBasis::Grid1;
  if (*answer == "2") return StepBasis::Grid2;
  if (*answer == "3") return StepBasis::Grid3;
  if (*answer == "N" || *answer == "n") return StepBasis::Unchanged;
  return StepBasis::AskAgain;
}

StepBasis PosteriorStepBasis(std::optional<std::string_view> answer) {
  if (!answer || *answer == "q" || *answer == "Q") return StepBasis::Quit;
  if (*answer == "1") return StepBasis::Grid1;
  if (*answer == "2") return StepBasis::Grid2;
  if (*answer == "3") return StepBasis::Grid3;
  return StepBasis::Unchanged;
}

bool GridHasStandardErrors(const Workspace& ws, int grid) {
  const CovarianceResults& results = ws.Covariance.Results;
  if (grid < 1 || grid > kGridCount || !results.Outcome[grid].Valid() || results.FreeCount() == 0) return false;
  for (int e = 1; e <= results.FreeCount(); ++e)
    if (!(results.StandardError(grid, e) > 0)) return false;
  return true;
}

void StepsFromGrid(Workspace& ws, int grid, double span, double intervals) {
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  for (int j = 1; j <= ws.Free.FreeCount; ++j) StepFromGrid(ws, grid, ws.Free.FreeIndex[j], span, intervals);
}

void StepFromGrid(Workspace& ws, int grid, int parameter, double span, double intervals) {
  if (ws.Alg.Steps[parameter] == 0) return;
  if (std::optional<double> sd = GridStandardError(ws, grid, parameter))
    ws.Alg.Steps[parameter] = *sd * span / intervals;
}

}  // namespace kalvex
