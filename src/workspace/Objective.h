#pragma once
// The objective protocol: every analysis obtains objective values through
// EvaluateObjective, after NormalizeLinks and CollectFreeParameters.
#include <cstdint>
#include <vector>

#include "workspace/Workspace.h"

namespace kalvex {

// Rebuilds the link groups: followers take the leader's value and step 0; a
// code used by one parameter only becomes "~~".
void NormalizeLinks(Workspace& ws);

// Gives every follower in vector its group's value (the evaluated parameter
// drives its group during profile and posterior evaluations).
void ExpandLinks(Workspace& ws, std::vector<double>& vector);

// Compacts the parameters with non-zero step into ws.Free.
void CollectFreeParameters(Workspace& ws);

// FunctionCallCount + 1, passed as NF; ExpandLinks; MODEL; plus the prior
// term while priors are on. Throws NumericFault on a fault, a non-finite
// value or an overflowing call count.
double EvaluateObjective(Workspace& ws, std::vector<double>& vector);

// The same sequence with a literal NF (1 for a single evaluation outside a
// run); FunctionCallCount is not changed.
double EvaluateObjectiveWithCode(Workspace& ws, std::vector<double>& vector, int32_t nf);

}  // namespace kalvex
