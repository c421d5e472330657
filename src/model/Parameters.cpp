#include "model/Parameters.h"

namespace kalvex::model {

std::vector<std::string> ParameterDescriptions(const ParameterLayout& p) {
  std::vector<std::string> d(static_cast<std::size_t>(p.Count()) + 1);
  d[p.Intercept()] = "Intercept for ME model (Beta(0)=Beta(0)'+(1-Omega)*True(I(1))) [0]";
  d[p.EffortME()] = "Effort coefficient for ME model ((1-Omega)*Zeta(M)) [0]";
  d[p.EffortPE()] = "Effort coefficient for PE model (Omega*Zeta(P)) [0]";
  for (int j = 1; j <= p.species; ++j) {
    const std::string s = std::to_string(j);
    d[p.SpeciesME(j)] = "Species " + s + " coefficient (Beta(ME," + s + ")=(1-Omega)*Gamma(ME," + s +
                        ")*(1+Zeta(ME))) [0]";
    d[p.SpeciesPE(j)] = "Species " + s + " coefficient (Beta(PE," + s + ")=Omega*Gamma(PE," + s +
                        ")*(1+Zeta(PE))) [0]";
    d[p.ForecastCatch(j)] = "Catch of Species " + s + " in forecast period f [0, Step size MUST = 0]";
  }
  d[p.Intervention()] = "Step intervention coefficient (Beta(V)) [0]";
  d[p.Omega()] = "Omega (p[PE]) [0, all ME] or [1, all PE]";
  d[p.ForecastEffort()] = "Effort in forecast period f [0, Step size MUST = 0]";
  d[p.ForecastIntervention()] = "Value of intervention in forecast period f [0 or 1, Step size MUST = 0]";
  return d;
}

}  // namespace kalvex::model
