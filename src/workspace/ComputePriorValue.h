#pragma once
// The prior -ln[L]: one unnormalised term per parameter, taken relative to
// the most likely value of its distribution (0 at the mode), and their total
// scaled into objective units. Outside a distribution's support, or beyond a
// hard foot, a steep quadratic wall of 1e20 x distance^2 stands in.
#include <vector>

#include "workspace/Workspace.h"

namespace kalvex {

// The standard normal cumulative probability from the Chebyshev fit of the
// complementary error function (fractional error below 1.2e-7).
double NormalCdf(double x);

// The unscaled term of one prior at x. Throws NumericFault naming the fault,
// the parameter and its type when the term cannot be computed (a zero SD,
// the logarithm of a non-positive mode, a uniform-bounded foot that is not
// a number, an overflow).
double PriorTermAt(const PriorEntry& prior, double x, int parameter);

// The first and second derivatives of PriorTermAt with respect to x, exact:
// the same steps in a derivative type. Throws where PriorTermAt would, and
// NumericFault for a derivative that is not finite.
struct PriorTermSlope {
  double first = 0;
  double second = 0;
};
PriorTermSlope PriorTermDerivatives(const PriorEntry& prior, double x, int parameter);

// The unscaled sum of the terms of parameters 1..numParameters of a
// link-expanded vector, added in parameter order; each term also goes to
// (*terms)[i] when terms is given. Throws as PriorTermAt does.
double PriorTermSum(const PriorTable& priors, int numParameters, const std::vector<double>& vector,
                    std::vector<double>* terms = nullptr);

// Fills ws.PriorTerms (1..NumParameters) for a complete, link-expanded
// vector and sets ws.PriorValue = ObjectiveScale x their sum. A fault
// leaves the terms computed before it and the previous total.
void ComputePriorValue(Workspace& ws, const std::vector<double>& vector);

}  // namespace kalvex
