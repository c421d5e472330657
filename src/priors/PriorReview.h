#pragma once
// The prior review: the prior -ln[L] and prior likelihood of the current
// parameter values, shown after a single evaluation or a minimization while
// the priors are on, and savable as a ".rvp" file.
#include <optional>
#include <string>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// The review text for ws.PriorTerms at ws.Alg.Values (CR LF lines): the
// explanation, a line per parameter whose type is not U, and the total.
// Throws NumericFault when a prior likelihood overflows.
std::string PriorReviewText(const Workspace& ws);

// Computes the priors at the current values, fills the "Review priors "
// window and shows it. A fault is reported in its own box.
void ReviewPriors(Workspace& ws, ui::Frontend& ui);

// "Save review of prior distribution likelihoods as...".
std::optional<std::string> SavePriorReview(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
