#pragma once
// What a fit of the free parameters is asked for: the minimizer, Marquardt's
// derivatives and, in the Marquardt window, whether they are shown after
// every iteration. The limits (tolerance, call or iteration limit, reduction
// fraction) are the algorithm data's, which the problem carries
// (ProblemSettings). The main menu's "Simple&x" and "&Marquardt" fill the
// settings from their questions, kalvex-batch's simplex and marquardt from
// their options.
#include <optional>
#include <string>

#include "checks/ParallelFits.h"

namespace kalvex {
class Problem;

struct FitSettings {
  checks::FitMethod method;      // the Simplex by default
  bool showDerivatives = false;  // Marquardt only: shown, each waiting for a step

  // A message when the settings cannot drive a fit.
  std::optional<std::string> Validate() const;
};

// The fit of problem's free parameters from its values with its limits,
// quietly (no window, no question); the problem's values hold the result.
// Settings or limits that cannot drive a fit end it as RunEnd::Error with
// the message. A NumericFault passes through.
MinimizeResult ComputeFit(Problem& problem, const FitSettings& settings, const checks::StopAsked& stop = {});

}  // namespace kalvex
