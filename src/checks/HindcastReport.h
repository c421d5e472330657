#pragma once
// A hindcast's result as the analysis hands it over, its ".hnd" report text
// (fixed columns, CR LF) and its two pictures: the forecasts against the
// observed index, and the estimates by peel.
#include <optional>
#include <string>
#include <vector>

#include "checks/HindcastSkill.h"
#include "checks/ReportText.h"
#include "plots/Figure.h"

namespace kalvex::checks {

struct PeelOutcome {
  PeelForecast forecast;
  double objective = 0;
  std::string ended;  // how the peel's fit ended, in a word or two
};

struct HindcastRun {
  std::string minimizer;  // "Simplex" or "Marquardt"
  bool analytical = false;
  std::vector<int> freeIndex;             // the parameter number of each free parameter, 1-based
  std::vector<std::string> descriptions;  // by parameter number
  std::vector<double> fullEstimates;      // the full fit's free parameters, 1-based
  double fullObjective = 0;
  std::vector<PeelOutcome> peels;  // h = 1, 2, ...
  // The data and the full fit for the picture, periods 1..n at index 0..n-1.
  std::vector<double> years;
  std::vector<double> observed;                       // the index
  std::vector<std::optional<double>> fullPrediction;  // the full fit's predicted index (none in period 1)
};

HindcastSkill ScoreRun(const HindcastRun& run);

std::string HindcastReportText(const ReportSources& sources, const HindcastRun& run, const HindcastSkill& skill);

// The observed index over the years, the full fit's predictions, and each
// peel's forecast with its 95 % bounds.
plots::Figure HindcastFigure(const HindcastRun& run, const HindcastSkill& skill);
// Each free parameter's relative change from the full fit, by the last year
// fitted (the drift Mohn's rho sums up).
plots::Figure EstimatesByPeelFigure(const HindcastRun& run, const HindcastSkill& skill);

}  // namespace kalvex::checks
