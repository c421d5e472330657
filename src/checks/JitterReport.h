#pragma once
// A jitter analysis' result as the analysis hands it over, its ".jit" report
// text (fixed columns, CR LF) and its picture of the minima reached.
#include <optional>
#include <string>
#include <vector>

#include "checks/JitteredStarts.h"
#include "checks/Minima.h"
#include "checks/ReportText.h"
#include "minimize/MinimizeResult.h"
#include "plots/Figure.h"

namespace kalvex::checks {

// One start and the fit from it.
struct StartOutcome {
  std::optional<double> startObjective;  // nullopt: the start vector itself faulted
  RunEnd end = RunEnd::Error;            // how the fit ended
  bool faulted = false;                  // a numeric fault ended it (or its start's evaluation)
  int64_t calls = 0;                     // the fit's counted evaluations
  FitReached reached;  // the minimum and the free values it ended at
};

// How a fit ended, in a word or two for the report ("converged", "call
// limit", "fault"), and as one word for kalvex-batch ("converged", "limit",
// "fault").
std::string EndedText(const StartOutcome& start, FitMinimizer minimizer);
std::string EndedWord(const StartOutcome& start);

struct JitterRun {
  JitterSettings settings;  // settings.starts asked; starts below holds fewer after an interrupt
  double tolerance = 0;  // the algorithm data's: positive absolute, negative relative
  double currentObjective = 0;
  std::vector<int> freeIndex;             // the parameter number of each free parameter, 1-based
  std::vector<double> freeSteps;          // 1-based
  std::vector<std::string> descriptions;  // by parameter number
  std::vector<StartOutcome> starts;       // start k at index k - 1
};

MinimaSummary GroupStarts(const JitterRun& run);

// Whether the best minimum lies below the current fit's objective by more
// than the tolerance: the user is then offered its values.
bool LowerMinimumFound(const JitterRun& run, const MinimaSummary& minima);

std::string JitterReportText(const ReportSources& sources, const JitterRun& run, const MinimaSummary& minima);

// One point per start that reached a minimum, sorted from the lowest, the
// current fit's objective as a dashed line.
plots::Figure MinimaFigure(const JitterRun& run, const MinimaSummary& minima);

}  // namespace kalvex::checks
