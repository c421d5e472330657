#pragma once
// The maximum-likelihood evaluation of one parameter: the parameter is
// stepped across an odd number of points centred on its value and held
// there while the other free parameters are re-minimized (Simplex or
// Marquardt, carried from point to point); the profile of -ln[L] becomes
// the distribution statistics, the distribution plot and the report, saved
// from its window as a ".mlc" file.
#include <optional>
#include <string>

#include "evaluation/EvaluationRun.h"

namespace kalvex {

inline constexpr const char* kProfileTitle = "ML parameter estimate evaluation";
inline constexpr const char* kProfileInterruptTitle = "Maximum-likelihood calculations";

struct ProfileSettings {
  int parameter = 1;    // EvaluatedParameter
  int pointCount = 25;  // odd, 3..1001
  char minimizer = 'S';  // 'S' Simplex, 'M' Marquardt (ws.DerivativeMode chosen by the caller: "A" exact)
  // A message when the settings cannot drive a run on numParameters parameters.
  std::optional<std::string> Validate(int numParameters) const;
};

// The whole evaluation of "&Maximium likelihood (ML) confidence
// distributions": the opening dialogue, the editor wait, the run, the
// results and the finishing step with its reminder.
EvaluationEnd EvaluateByLikelihoodProfile(Workspace& ws, ui::Frontend& ui, const EvaluationOptions& options = {});

// The run once its settings are chosen (and, for Marquardt, its derivative
// setup done): the grid, the point loop, the results step. Every value and
// the evaluated parameter's step come back however it ends. kalvex-batch
// calls it directly.
EvaluationEnd RunLikelihoodProfile(Workspace& ws, ui::Frontend& ui, const ProfileSettings& settings,
                                   const EvaluationOptions& options = {});

}  // namespace kalvex
