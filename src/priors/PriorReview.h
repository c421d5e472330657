#pragma once
// The prior review: the prior -ln[L] and prior likelihood of the current
// parameter values, shown after a single evaluation or a minimization while
// the priors are on, and savable as a ".rvp" file.
#include <optional>
#include <string>
#include <vector>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

struct PriorReviewLine {
  int parameter = 0;
  double value = 0;
  double negLnL = 0;      // the line's prior -ln[L]
  double likelihood = 0;  // exp(-negLnL)
};

// The review: a line per parameter whose type is not U, the entire model's
// -ln[L] and likelihood, and the prior total the objective adds.
struct PriorReview {
  std::vector<PriorReviewLine> lines;
  double negLnL = 0, likelihood = 0;
  double priorValue = 0;  // objectiveScale x the sum of the terms
};

// The review of the priors at values (complete and link-expanded). Throws
// NumericFault naming the parameter and the term, or the entire model's
// likelihood, that cannot be evaluated.
PriorReview ComputePriorReview(const PriorTable& priors, int numParameters, const std::vector<double>& values,
                               double objectiveScale);

// The review text (CR LF lines): the explanation, the lines and the total.
std::string PriorReviewText(const PriorReview& review);

// The review of the workspace's priors at its values (links expanded on a
// copy); ws.PriorTerms and ws.PriorValue then hold its terms and total.
// Throws NumericFault.
PriorReview ReviewOfWorkspace(Workspace& ws);

// Reviews the priors at the current values, fills the "Review priors "
// window and shows it. A fault is shown in its own box and returned (the
// fit that asked for the review failed).
std::optional<std::string> ReviewPriors(Workspace& ws, ui::Frontend& ui);

// "Save review of prior distribution likelihoods as...".
std::optional<std::string> SavePriorReview(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
