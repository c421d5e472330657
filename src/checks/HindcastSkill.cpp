#include "checks/HindcastSkill.h"

#include <cmath>

#include "workspace/NumericFault.h"

namespace kalvex::checks {

double ForecastError(const PeelForecast& peel) { return SafeLog(peel.observed) - peel.forecastLnIndex; }

bool Covered(const PeelForecast& peel) { return peel.lower <= peel.observed && peel.observed <= peel.upper; }

HindcastSkill ScoreHindcast(const std::vector<PeelForecast>& peels, const std::vector<double>& fullEstimates) {
  HindcastSkill skill;
  skill.peels = static_cast<int>(peels.size());
  skill.mohnsRho.assign(fullEstimates.size(), std::nullopt);
  if (peels.empty()) return skill;
  const double count = skill.peels;
  double squares = 0, absolute = 0, sum = 0, naiveAbsolute = 0;
  for (const PeelForecast& peel : peels) {
    const double e = ForecastError(peel);
    squares += e * e;
    absolute += std::fabs(e);
    sum += e;
    naiveAbsolute += std::fabs(SafeLog(peel.observed) - SafeLog(peel.naive));
    if (Covered(peel)) ++skill.covered;
  }
  skill.rmse = std::sqrt(squares / count);
  skill.mae = absolute / count;
  skill.bias = sum / count;
  if (naiveAbsolute > 0) skill.mase = absolute / naiveAbsolute;
  for (std::size_t i = 1; i < fullEstimates.size(); ++i) {
    if (fullEstimates[i] == 0) continue;
    double drift = 0;
    for (const PeelForecast& peel : peels) drift += (peel.estimates.at(i) - fullEstimates[i]) / fullEstimates[i];
    skill.mohnsRho[i] = drift / count;
  }
  return skill;
}

}  // namespace kalvex::checks
