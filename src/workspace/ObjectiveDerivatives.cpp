#include "workspace/ObjectiveDerivatives.h"

#include <cmath>
#include <span>

#include "workspace/ComputePriorValue.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/ObjectiveEvaluator.h"
#include "workspace/PriorTable.h"

namespace kalvex {
namespace {

// The parameter whose value each parameter takes in the link expansion,
// found by expanding a vector that holds the parameter numbers themselves.
std::vector<int> ValueSources(ObjectiveEvaluator& objective) {
  const int count = objective.Terms().numParameters;
  std::vector<double> numbers(static_cast<std::size_t>(count) + 1);
  for (int a = 0; a <= count; ++a) numbers[a] = a;
  objective.ExpandLinks(numbers);
  return std::vector<int>(numbers.begin(), numbers.end());
}

// d/dx(s) of f(x with every member a of s's group at x(s)) = sum of the
// partial derivatives over the members; the same for both indices of the
// second derivatives. Sums run in parameter order.
void GatherGroups(const std::vector<int>& source, std::vector<double>& gradient, Matrix& second) {
  const int count = static_cast<int>(source.size()) - 1;
  bool linked = false;
  for (int a = 1; a <= count; ++a) linked = linked || source[a] != a;
  if (!linked) return;
  for (int a = 1; a <= count; ++a) {
    const int s = source[a];
    if (s == a) continue;
    gradient[s] += gradient[a];
    gradient[a] = 0;
    for (int b = 1; b <= count; ++b) {
      second(s, b) += second(a, b);
      second(a, b) = 0;
    }
  }
  for (int b = 1; b <= count; ++b) {
    const int t = source[b];
    if (t == b) continue;
    for (int a = 1; a <= count; ++a) {
      second(a, t) += second(a, b);
      second(a, b) = 0;
    }
  }
  // The two triangles summed in different orders: keep the matrix symmetric.
  for (int a = 1; a <= count; ++a)
    for (int b = a + 1; b <= count; ++b) second(b, a) = second(a, b);
}

bool Supplied(const Matrix& second, const std::vector<int16_t>& freeIndex) {
  const int n = static_cast<int>(freeIndex.size()) - 1;
  for (int i = 1; i <= n; ++i)
    for (int j = i; j <= n; ++j)
      if (second(freeIndex[i], freeIndex[j]) != 0) return true;
  return false;
}

}  // namespace

bool EvaluateObjectiveDerivatives(ObjectiveEvaluator& objective, std::vector<double>& vector,
                                  const std::vector<int16_t>& freeIndex, std::vector<double>& gradient,
                                  Matrix& second) {
  const ObjectiveTerms& terms = objective.Terms();
  const int count = terms.numParameters;
  objective.ExpandLinks(vector);
  gradient.assign(static_cast<std::size_t>(count) + 1, 0.0);
  second.Resize(count, count);
  objective.GetModel().Derivatives(std::span<const double>(vector), std::span<double>(gradient), second);
  const std::vector<int> source = ValueSources(objective);
  GatherGroups(source, gradient, second);
  if (!Supplied(second, freeIndex)) return false;
  if (terms.priorsActive) {
    // Each prior term depends on its own parameter only; a follower's on its group's value.
    for (int a = 1; a <= count; ++a) {
      if (LetterOf(terms.priors[a]) == 'U') continue;
      const PriorTermSlope slope = PriorTermDerivatives(terms.priors[a], vector[a], a);
      const int s = source[a];
      gradient[s] += terms.objectiveScale * slope.first;
      second(s, s) += terms.objectiveScale * slope.second;
    }
  }
  for (int a = 1; a <= count; ++a) {
    if (!std::isfinite(gradient[a])) CheckFinite(gradient[a]);
    for (int b = 1; b <= count; ++b)
      if (!std::isfinite(second(a, b))) CheckFinite(second(a, b));
  }
  return true;
}

bool DerivativesSupplied(ObjectiveEvaluator& objective, std::vector<double> values,
                         const std::vector<int16_t>& freeIndex) {
  std::vector<double> gradient;
  Matrix second;
  return EvaluateObjectiveDerivatives(objective, values, freeIndex, gradient, second);
}

bool EvaluateObjectiveDerivatives(Workspace& ws, std::vector<double>& vector, const std::vector<int16_t>& freeIndex,
                                  std::vector<double>& gradient, Matrix& second) {
  ObjectiveEvaluator objective(*ws.model, ObjectiveTermsOf(ws));
  const bool supplied = EvaluateObjectiveDerivatives(objective, vector, freeIndex, gradient, second);
  // The workspace's expansion leaves a follower's step at 0, as every evaluation through it does.
  ws.Alg.Steps = objective.Terms().steps;
  return supplied;
}

}  // namespace kalvex
