#pragma once
// The Oskane parameter list: where each coefficient sits in the 1-based
// parameter vector for S species, and the description of every parameter.
#include <string>
#include <vector>

namespace kalvex::model {

struct ParameterLayout {
  int species = 1;  // S

  int Count() const { return 3 * species + 7; }
  int Estimated() const { return 2 * species + 5; }
  int Intercept() const { return 1; }                     // b0
  int EffortME() const { return 2; }                      // bME
  int SpeciesME(int j) const { return 2 + j; }            // bME(j)
  int EffortPE() const { return species + 3; }            // bPE
  int SpeciesPE(int j) const { return species + 3 + j; }  // bPE(j)
  int Intervention() const { return 2 * species + 4; }    // bV
  int Omega() const { return 2 * species + 5; }           // W
  int ForecastEffort() const { return 2 * species + 6; }
  int ForecastCatch(int j) const { return 2 * species + 6 + j; }
  int ForecastIntervention() const { return 3 * species + 7; }
};

// Descriptions 1..Count() of the layout; element 0 is empty.
std::vector<std::string> ParameterDescriptions(const ParameterLayout& layout);

}  // namespace kalvex::model
