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
inline constexpr const char* kPriorProfileTitle = "Evaluation of prior distributions";

// The count a requested number of points gives: 0 becomes 101, fewer than 3
// become 3, an even count one more.
int PriorProfilePointCount(int requested);

// What the profile's prompts ask, or kalvex-batch's options give.
struct PriorProfileSettings {
  int parameter = 1;
  int requestedPoints = 101;  // 0..kMaxPriorProfilePoints

  int PointCount() const { return PriorProfilePointCount(requestedPoints); }
  // nullopt, or why the profile cannot run on priors (entries 1..N): a
  // parameter out of range, a uniform-unbounded prior (nothing to plot), a
  // number of points out of range.
  std::optional<std::string> Validate(const PriorTable& priors) const;
};

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

// The computation: the profiled parameter's own term at every point (the
// other priors play no part), the mode, and the distribution statistics.
// onPoint(k, x) is called before point k. The settings must be valid.
// Throws NumericFault.
PriorProfile ComputePriorProfile(const PriorTable& priors, const PriorProfileSettings& settings,
                                 const std::function<void(int, double)>& onPoint = {});

// The report text (CR LF lines).
std::string PriorProfileReport(const PriorProfile& profile);

// The dialogue of "&Profile prior distributions": the explanations, then
// the parameter (proposing selected) and the number of points, each asked
// until valid. nullopt when the user stopped.
std::optional<PriorProfileSettings> AskPriorProfileSettings(const Workspace& ws, ui::Frontend& ui, int selected);

}  // namespace kalvex
