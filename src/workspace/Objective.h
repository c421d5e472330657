#pragma once
// The objective protocol: every analysis obtains objective values through
// EvaluateObjective, after NormalizeLinks and CollectFreeParameters.
#include <cstdint>
#include <string>
#include <vector>

#include "workspace/Workspace.h"

namespace kalvex {

// Rebuilds the link groups: followers take the leader's value and step 0; a
// code used by one parameter only becomes "~~".
void NormalizeLinks(Workspace& ws);

// Gives every follower in vector its group's value (the evaluated parameter
// drives its group during profile and posterior evaluations).
void ExpandLinks(Workspace& ws, std::vector<double>& vector);

// The codes seen by one expansion, kept between calls so that expanding
// allocates nothing.
struct LinkScratch {
  struct Seen {
    const std::string* code;
    double value;
  };
  std::vector<Seen> seen;
};

// The same expansion on explicit link data of count parameters (1-based): a
// follower's step is set to 0 in steps, and drivingParameter (0: none) is
// the evaluated parameter that drives its group during a profile or
// posterior evaluation.
void ExpandLinks(int count, const std::vector<std::string>& links, std::vector<double>& steps,
                 int drivingParameter, std::vector<double>& vector, LinkScratch& scratch);

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
