#pragma once
// What makes a prior table entry one the editor could have stored: each
// type's terms within the ranges its prompts ask for. A priors file is held
// to the same rules, so a hand-edited impossible term is refused when read
// rather than failing (or misleading a fit) later.
#include <optional>
#include <string>

#include "workspace/Workspace.h"

namespace kalvex {

// The rule entry breaks, in words ("the SD must be greater than 0"); nullopt
// when it keeps every rule of its type. Uniform-unbounded entries and
// letters outside the nine add nothing to the objective and are not checked.
std::optional<std::string> BrokenPriorRule(const PriorEntry& entry);

}  // namespace kalvex
