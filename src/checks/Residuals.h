#pragma once
// The standardized one-step-ahead residuals of the ln harvest-rate index:
// the innovations of the moving-average filter of the last evaluation, each
// divided by its estimated standard deviation.
//
// The likelihood back-casts the first innovation, so the innovations a(i)
// are the projection of the true ones onto the complement of the back-cast
// direction p(i) = rho^(i-1), whose length squared is G: their variance is
// sigma^2 (1 - rho^(2(i-1)) / G). sigma^2 is estimated by SS / (n - 1), the
// value the objective ln G + (n - 1) ln SS concentrates out (and, as the
// projection leaves n - 1 degrees of freedom, unbiased for known
// coefficients). Period 1 carries no observation of its own (its
// innovation is the back-cast), so the residuals are those of periods 2..n.
#include <vector>

#include "model/Likelihood.h"
#include "model/ModelData.h"

namespace kalvex::checks {

struct ResidualSeries {
  // Periods 2..n in order, index 0 for period 2.
  std::vector<double> year;
  std::vector<int> period;
  std::vector<double> innovation;    // Innovation(i)
  std::vector<double> standardized;  // Innovation(i) / (sigma sqrt(1 - rho^(2(i-1)) / G))
  double innovationSd = 0;           // sigma: the square root of SS / (n - 1)
  double objective = 0;              // of the evaluation the residuals belong to
};

// From the model's data and its last evaluation. Throws NumericFault when
// the evaluation leaves no spread to standardize by (SS = 0).
ResidualSeries StandardizedResiduals(const model::ModelData& data, const model::LikelihoodWork& work);

}  // namespace kalvex::checks
