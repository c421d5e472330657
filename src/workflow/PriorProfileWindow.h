#pragma once
// The prior profile's window ("Prior distribution statistics",
// frmPriorProfile): the dialogue fills the settings, the profile runs with
// its point texts, and the report goes to the window and the table to the
// distribution plot.
#include <optional>
#include <string>

#include "priors/PriorProfile.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// "&Profile prior distributions" of the prior editor, proposing the
// parameter selected there. nullopt when the user stopped or a fault ended
// the run (its box was shown).
std::optional<PriorProfile> ProfilePrior(Workspace& ws, ui::Frontend& ui, int selected);

// "&Save Bayesian prior distribution data as...".
std::optional<std::string> SavePriorProfile(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
