#pragma once
// The exact first and second derivatives of the objective as the analyses
// see it through EvaluateObjective: the model's (NF = -2), the prior term's
// while priors are on, and linked parameters moving together.
#include <cstdint>
#include <vector>

#include "workspace/Matrix.h"
#include "workspace/ObjectiveEvaluator.h"
#include "workspace/Workspace.h"

namespace kalvex {

// ExpandLinks on vector, then the model's derivatives at the expanded values
// plus, while priors are on, those of PriorValue; then each link group's
// derivatives gathered onto the member that drives it (its lowest-indexed
// member, or the evaluated parameter during a profile or posterior
// evaluation), so that they are the derivatives with respect to that member
// when it moves the whole group, as the numerical derivatives see them.
// Sizes and fills gradient (1..NumParameters) and second (NumParameters
// square); a follower's row and column are 0. Returns false when the model
// supplies no derivatives: every second derivative among the free
// parameters freeIndex (1-based, the parameter numbers) is 0. Throws
// NumericFault.
bool EvaluateObjectiveDerivatives(ObjectiveEvaluator& objective, std::vector<double>& vector,
                                  const std::vector<int16_t>& freeIndex, std::vector<double>& gradient, Matrix& second);

// Whether the model supplies derivatives of the free parameters freeIndex
// at values (one derivative evaluation, results dropped): asked before a
// run that needs them. Throws NumericFault.
bool DerivativesSupplied(ObjectiveEvaluator& objective, std::vector<double> values,
                         const std::vector<int16_t>& freeIndex);

// The same through the workspace's own model, links, priors and scale.
bool EvaluateObjectiveDerivatives(Workspace& ws, std::vector<double>& vector, const std::vector<int16_t>& freeIndex,
                                  std::vector<double>& gradient, Matrix& second);

}  // namespace kalvex
