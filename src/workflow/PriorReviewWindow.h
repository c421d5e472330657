#pragma once
// The prior review's window ("Review priors ", frmReviewPriors): the review
// of the current values shown after a single evaluation or a fit while the
// priors are on, and its save.
#include <optional>
#include <string>

#include "priors/PriorReview.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// Reviews the priors at the current values and shows the review in its
// window. A fault is shown in its own box and returned (the fit that asked
// for the review failed).
std::optional<std::string> ReviewPriors(Workspace& ws, ui::Frontend& ui);

// "Save review of prior distribution likelihoods as...".
std::optional<std::string> SavePriorReview(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
