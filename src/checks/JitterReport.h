#pragma once
// A jitter analysis' result as the analysis hands it over, its ".jit" report
// text (fixed columns, CR LF) and its picture of the minima reached.
#include <optional>
#include <string>
#include <vector>

#include "checks/JitteredStarts.h"
#include "checks/Minima.h"
#include "checks/ReportText.h"
#include "plots/Figure.h"

namespace kalvex::checks {

// One start and the fit from it.
struct StartOutcome {
  std::optional<double> startObjective;  // nullopt: the start vector itself faulted
  std::string ended;                     // how the fit ended, in a word or two ("converged", "call limit", "fault")
  int calls = 0;
  FitReached reached;  // the minimum and the free values it ended at
};

struct JitterRun {
  JitterSettings settings;
  std::string minimizer;  // "Simplex" or "Marquardt"
  bool analytical = false;
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
