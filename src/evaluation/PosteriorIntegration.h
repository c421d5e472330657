#pragma once
// The Bayesian posterior evaluation of one parameter: at each of an odd
// number of points of the profile parameter the likelihood (times the
// priors) is summed over a grid of up to six integrated parameters; the
// negative logarithms of the sums form the marginal posterior profile that
// the distribution statistics, the distribution plot and the report (saved
// from its window as ".pos") are made from. With one integrated parameter the
// two-dimensional density is kept for the bivariate plot and the ".grd" file.
#include <optional>
#include <string>

#include "evaluation/EvaluationRun.h"

namespace kalvex {

inline constexpr const char* kPosteriorTitle = "Bayesian parameter estimate evaluation";
inline constexpr const char* kPosteriorInterruptTitle = "Bayesian calculations";
inline constexpr const char* kBivariateQuestionTitle = "Bivariate plot";
// The most evaluations a run may ask for (the largest 32-bit count).
inline constexpr double kMaxPosteriorCalls = 2147483647.0;

struct PosteriorSettings {
  int parameter = 1;        // the profile parameter
  int pointCount = 25;      // odd, 3..1001
  int gridPointCount = 25;  // odd, 3..1001; 0 when nothing is integrated
  // A message when the settings cannot drive a run on numParameters parameters.
  std::optional<std::string> Validate(int numParameters) const;
};

// The whole evaluation of "&Bayesian posterior (BP) distributions": the
// opening dialogue, the prompt loop, the call check, the step basis, the
// editor wait, the run, the results and the finishing step.
EvaluationEnd EvaluateByPosterior(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options = {});

// False (after its warning) when pointCount x gridPointCount ^ levels
// exceeds kMaxPosteriorCalls.
bool PosteriorCallCountAllowed(ui::Frontend& ui, int pointCount, int gridPointCount, int levels);

// The run once its settings are chosen: set-up, the profile loop with its
// grids, the results and the report (a posterior with one integrated
// parameter keeps its bivariate grid in ws.Evaluation.Bivariate, which is
// emptied otherwise). Every value and the profile parameter's step come back
// however it ends.
EvaluationEnd RunPosterior(Workspace& ws, ui::Frontend& ui, const PosteriorSettings& settings,
                           const EvaluationOptions& options = {});

// The ".grd" save of the last posterior's bivariate grid; false when
// cancelled or failed (a failure is shown).
bool SaveBivariateGrid(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
