#pragma once
// The Shapiro-Wilk test of normality with Royston's approximations of the
// coefficients and of the null distribution of W (Royston 1992, 1995).
#include <optional>
#include <vector>

namespace kalvex::checks {

struct ShapiroWilkResult {
  double W = 0;
  double P = 0;  // the upper-tail probability: small when the sample is far from normal
};

// nullopt for fewer than 3 or more than 5000 values, or when every value is
// the same (a range below 1e-10): W is not defined there.
std::optional<ShapiroWilkResult> ShapiroWilk(std::vector<double> sample);

}  // namespace kalvex::checks
