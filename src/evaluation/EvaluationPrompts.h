#pragma once
// The answers of the evaluations' prompts turned into settings: the point
// counts of a profile and of a posterior grid, the step-basis choice, and
// the steps a covariance grid's standard errors give.
#include <optional>
#include <string>
#include <string_view>

namespace kalvex {
struct Workspace;

inline constexpr int kMaxEvaluationPoints = 1001;
inline constexpr int kDefaultEvaluationPoints = 25;

// The profile's "number of x-y data points" answer once it is a number:
// nullopt (below 0 or above 1001) asks again; 0 gives 25, fewer than 3
// give 3, an even count one more.
std::optional<int> ProfilePointCount(double value);

// The posterior's profile-point answer once it is a number: nullopt (below
// 1 or above 1001) starts the prompts again; fewer than 3 give 3, an even
// count one more.
std::optional<int> PosteriorPointCount(double value);

// The posterior's grid-point answer (0 for an empty one), rounded: 1..1001
// is taken as above, anything else (nullopt) starts the prompts again.
std::optional<int> PosteriorGridPointCount(double value);

// "Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?"
enum class StepBasis { Grid1 = 1, Grid2 = 2, Grid3 = 3, Unchanged, Quit, AskAgain };
// The profile's reading: "q", "Q" or empty quit; exactly "1", "2", "3";
// "N" or "n" keep the steps; anything else asks again.
StepBasis ProfileStepBasis(std::optional<std::string_view> answer);
// The posterior's reading: "Q" or "q" and Cancel (nullopt) quit; "1", "2",
// "3"; anything else, an empty answer too, keeps the steps.
StepBasis PosteriorStepBasis(std::optional<std::string_view> answer);

// Whether covariance grid g gave standard errors (a failed or abandoned
// grid holds the -1 marks, which are no spread to step by).
bool GridHasStandardErrors(const Workspace& ws, int grid);

// Rescales the steps from covariance grid g: NormalizeLinks and
// CollectFreeParameters, then every free parameter that the grid covered
// gets span x SD / intervals. The caller checks GridHasStandardErrors.
void StepsFromGrid(Workspace& ws, int grid, double span, double intervals);
// The same for one parameter (the profile parameter of a posterior).
void StepFromGrid(Workspace& ws, int grid, int parameter, double span, double intervals);

}  // namespace kalvex
