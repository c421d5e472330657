#pragma once
// The prior profile: one parameter's prior -ln[L] tabulated over a domain
// taken from the distribution's moments, turned into a density, cumulative
// and descending cumulative, shown as a report ("Prior distribution
// statistics") that can be saved as a ".pdp" file.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Frontend.h"
#include "workspace/Results.h"
#include "workspace/Workspace.h"

namespace kalvex {

inline constexpr int kMaxPriorProfilePoints = 1001;

// The count a requested number of points gives: 0 becomes 101, fewer than 3
// become 3, an even count one more.
int PriorProfilePointCount(int requested);

// The points of a profile and the spacing between them. Gamma, Ln-normal
// and Exponential domains that would start below their support are squeezed
// to start there, with a smaller spacing; a Beta domain runs from 1e-6 to
// 0.999999. Throws NumericFault (naming the parameter) for a uniform-bounded
// foot that is not a number.
struct PriorProfileDomain {
  std::vector<double> x;  // 1..count
  double spacing = 0;
};
PriorProfileDomain PriorProfileDomainOf(const PriorEntry& prior, int count, int parameter);

struct PriorProfile {
  int parameter = 0;
  double spacing = 0;
  EvaluationTable table;
  EvaluationSummary summary;
};

// The quiet kernel: the profiled parameter's own term at every point (the
// other priors play no part), the mode, and the distribution statistics.
// onPoint(k, x) is called before point k. Throws NumericFault.
PriorProfile ComputePriorProfile(const PriorEntry& prior, int parameter, int count,
                                 const std::function<void(int, double)>& onPoint = {});

// The report text (CR LF lines).
std::string PriorProfileReport(const PriorProfile& profile);

// "&Profile prior distributions": the explanations, the parameter (proposing
// selected) and point-count prompts, the run with its status texts, then the
// report in its window. nullopt when the user stopped or a fault ended it.
std::optional<PriorProfile> ProfilePrior(Workspace& ws, ui::Frontend& ui, int selected);

// "&Save Bayesian prior distribution data as...".
std::optional<std::string> SavePriorProfile(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
