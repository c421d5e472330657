#pragma once
// Richardson extrapolation of a difference quotient to step 0, the
// reference that exact derivatives are judged by.
#include <cmath>
#include <functional>

namespace kalvex::testing {

// quotient(s) is a central difference quotient at s times the base step,
// whose error is a series in s^2; a Romberg table of five halvings.
inline double Extrapolated(const std::function<double(double)>& quotient) {
  constexpr int kLevels = 5;
  double table[kLevels][kLevels];
  for (int k = 0; k < kLevels; ++k) {
    table[k][0] = quotient(1.0 / (1 << k));
    for (int m = 1; m <= k; ++m) {
      const double f = std::pow(4.0, m);
      table[k][m] = (f * table[k][m - 1] - table[k - 1][m - 1]) / (f - 1);
    }
  }
  return table[kLevels - 1][kLevels - 1];
}

}  // namespace kalvex::testing
