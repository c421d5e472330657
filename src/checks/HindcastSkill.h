#pragma once
// How good the forecasts of a hindcast were: each peel h refits the first
// n - h periods and forecasts period n - h + 1; the errors of ln(index) are
// scored against the observed values and against the naive forecast (next
// year as this year), and the estimates' drift from the full fit is summed
// up as Mohn's rho.
#include <optional>
#include <vector>

namespace kalvex::checks {

struct PeelForecast {
  int peel = 0;                   // h
  double lastYearFitted = 0;      // the year of period n - h
  double forecastLnIndex = 0;     // the forecast ln index (the log of the most likely index)
  double lower = 0, upper = 0;    // the forecast's 95 % bounds of the index
  double observed = 0;            // the index observed in period n - h + 1
  double naive = 0;               // the index observed in period n - h: the naive forecast
  std::vector<double> estimates;  // the free parameters of the peel's fit, 1-based
};

// ln(observed) - the forecast ln index: positive when the forecast was too low.
double ForecastError(const PeelForecast& peel);
// Whether the observed index lies within the bounds (ends included).
bool Covered(const PeelForecast& peel);

struct HindcastSkill {
  int peels = 0;
  double rmse = 0;  // root mean square of the errors
  double mae = 0;   // mean absolute error
  double bias = 0;  // mean error
  int covered = 0;  // observed values within their bounds
  // mae over the mean absolute error of the naive forecasts, ln(observed /
  // naive); below 1 the model forecasts better. nullopt when every naive
  // forecast was exact.
  std::optional<double> mase;
  // Per free parameter (1-based, element 0 unused): the mean over the peels
  // of (estimate - full) / full; nullopt where the full fit's estimate is 0.
  std::vector<std::optional<double>> mohnsRho;
};

// The skill of the peels (at least one) against the full fit's free
// parameters (1-based). Throws NumericFault for an index that is not positive.
HindcastSkill ScoreHindcast(const std::vector<PeelForecast>& peels, const std::vector<double>& fullEstimates);

}  // namespace kalvex::checks
