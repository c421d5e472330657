#pragma once
// The jitter analysis as a computation: is the current fit the lowest
// minimum? Every start (JitteredStart around the current values) is fitted
// quietly by the chosen minimizer with the problem's settings, on its own
// clone of the objective and on every core (ParallelFits); the fits' table
// and the minima they reached are the same for any number of threads.
#include <optional>
#include <string>
#include <vector>

#include "checks/JitterReport.h"
#include "checks/ParallelFits.h"

namespace kalvex {
class Problem;
}

namespace kalvex::checks {

enum class JitterEnd {
  Completed,      // every start was fitted
  Interrupted,    // the tick stopped the run: run.starts holds the starts fitted before, in order
  NothingToDo,    // no free parameter
  NoDerivatives,  // analytical derivatives were asked for and the model has none
  Refused,        // the settings cannot drive a run
};

struct JitterOutcome {
  JitterEnd end = JitterEnd::Completed;
  std::string refusal;  // Refused: why
  JitterRun run;
  MinimaSummary minima;  // of run.starts
};

// Evaluates the current values once through current's objective (NF = 1:
// a model's best-fit record then describes them) for the current fit's
// objective, then fits every start. A start whose own evaluation or fit
// meets a numeric fault is recorded as such; a fault at the current values
// is thrown (NumericFault). current's values are not changed.
JitterOutcome ComputeJitter(Problem& current, const JitterSettings& settings,
                            const std::vector<std::string>& descriptions, const FitsTick& tick = {});

// The full parameter vector of a start's free values (1-based, as
// FitReached keeps them) on the current values: links are expanded by the
// evaluation that takes them.
std::vector<double> StartVector(const std::vector<double>& currentValues, const std::vector<int>& freeIndex,
                                const std::vector<double>& freeValues);

}  // namespace kalvex::checks
