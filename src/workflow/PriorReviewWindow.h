#pragma once
// The prior review's window ("Review priors ", frmReviewPriors): the review
// of the current values shown after a single evaluation or a fit while the
// priors are on (ReviewPriors, declared with the review), and its save.
#include <optional>
#include <string>

#include "priors/PriorReview.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// "Save review of prior distribution likelihoods as...".
std::optional<std::string> SavePriorReview(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
