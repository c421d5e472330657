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

// What the review is computed on: the values (complete and link-expanded,
// 1..numParameters) and the scale of the objective.
struct PriorReviewSettings {
  int numParameters = 0;
  std::vector<double> values;
  double objectiveScale = 0;
  // nullopt, or why the review cannot run on priors: values or priors
  // missing for some parameter, a scale that is not a finite number.
  std::optional<std::string> Validate(const PriorTable& priors) const;
};

// The settings of the workspace's review: its values with the links
// expanded on a copy (as the objective expands them, followers' steps
// set to 0), and its scale.
PriorReviewSettings PriorReviewSettingsOf(Workspace& ws);

// The computation: the review of the priors with these (valid) settings.
// Throws NumericFault naming the parameter and the term, or the entire
// model's likelihood, that cannot be evaluated.
PriorReview ComputePriorReview(const PriorTable& priors, const PriorReviewSettings& settings);

// The review text (CR LF lines): the explanation, the lines and the total.
std::string PriorReviewText(const PriorReview& review);

// The review of the workspace's priors at its values; ws.PriorTerms and
// ws.PriorValue then hold its terms and total. Throws NumericFault.
PriorReview ReviewOfWorkspace(Workspace& ws);

}  // namespace kalvex
