#include "workspace/ObjectiveDerivatives.h"

#include <cmath>
#include <span>

#include "priors/ComputePriorValue.h"
#include "priors/PriorTable.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

// The parameter whose value each parameter takes in the link expansion,
// found by expanding a vector that holds the parameter numbers themselves.
std::vector<int> ValueSources(Workspace& ws) {
  const int count = ws.Alg.NumParameters;
  std::vector<double> numbers(static_cast<std::size_t>(count) + 1);
  for (int a = 0; a <= count; ++a) numbers[a] = a;
  ExpandLinks(ws, numbers);
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

bool EvaluateObjectiveDerivatives(Workspace& ws, std::vector<double>& vector, const std::vector<int16_t>& freeIndex,
                                  std::vector<double>& gradient, Matrix& second) {
  const int count = ws.Alg.NumParameters;
  ExpandLinks(ws, vector);
  gradient.assign(static_cast<std::size_t>(count) + 1, 0.0);
  second.Resize(count, count);
  ws.model->Derivatives(std::span<const double>(vector), std::span<double>(gradient), second);
  const std::vector<int> source = ValueSources(ws);
  GatherGroups(source, gradient, second);
  if (!Supplied(second, freeIndex)) return false;
  if (ws.PriorsActive == kOn) {
    // Each prior term depends on its own parameter only; a follower's on its group's value.
    for (int a = 1; a <= count; ++a) {
      if (LetterOf(ws.Priors[a]) == 'U') continue;
      const PriorTermSlope slope = PriorTermDerivatives(ws.Priors[a], vector[a], a);
      const int s = source[a];
      gradient[s] += ws.ObjectiveScale * slope.first;
      second(s, s) += ws.ObjectiveScale * slope.second;
    }
  }
  for (int a = 1; a <= count; ++a) {
    if (!std::isfinite(gradient[a])) CheckFinite(gradient[a]);
    for (int b = 1; b <= count; ++b)
      if (!std::isfinite(second(a, b))) CheckFinite(second(a, b));
  }
  return true;
}

}  // namespace kalvex
