#pragma once
// What the residual diagnostics say about a series of standardized
// residuals: moments, autocorrelation and the Ljung-Box test, the
// Shapiro-Wilk test of normality, the runs test on the signs, and the
// three-sigma control limits stock-assessment reviews draw.
#include <optional>
#include <span>
#include <vector>

#include "checks/ShapiroWilk.h"

namespace kalvex::checks {

// Lags 1..min(10, count / 4) (none below four residuals).
int AutocorrelationLags(int count);

// The sample autocorrelation of lags 1..lags about the mean (the sums of
// lagged cross products over the sum of squares, both about the mean);
// none for a constant series.
std::vector<double> Autocorrelation(std::span<const double> x, int lags);

struct LjungBox {
  double Q = 0;
  int lags = 0;  // the chi-squared degrees of freedom (no fitted parameters deducted)
  double P = 0;
};

// Q = n (n + 2) sum r(k)^2 / (n - k) over the lags of acf, P its upper
// chi-squared tail.
LjungBox LjungBoxTest(int count, std::span<const double> acf);

// Wald-Wolfowitz runs of the signs; a residual of exactly 0 belongs to
// neither sign and is left out.
struct RunsTest {
  int runs = 0;
  int positive = 0, negative = 0;
  double expected = 0;  // 2 n1 n2 / (n1 + n2) + 1
  // Two-sided, by the normal approximation: too few runs (trends, positive
  // autocorrelation) and too many (signs that alternate, negative
  // autocorrelation) both count. nullopt when every residual has the same
  // sign, or there is one of each.
  std::optional<double> P;
};
RunsTest RunsOfSigns(std::span<const double> x);

// Control limits about 0 at three standard deviations estimated from the
// average moving range (|x(t) - x(t-1)|; ranges of 3.267 times the average
// or more left out, then the average over 1.128), as in control charts.
struct ThreeSigma {
  double sd = 0;
  double limit = 0;  // 3 sd
  int outside = 0;   // residuals beyond +-limit
};
ThreeSigma ThreeSigmaLimits(std::span<const double> x);

struct ResidualStatistics {
  int count = 0;
  double mean = 0;
  double sd = 0;                     // with n - 1
  std::vector<double> acf;           // lags 1..AutocorrelationLags(count), index 0 for lag 1
  double acfBand = 0;                // 1.96 / sqrt(count)
  std::optional<LjungBox> ljungBox;  // none without lags
  std::optional<ShapiroWilkResult> shapiro;
  RunsTest runs;
  ThreeSigma threeSigma;
};

// Every figure above for the series (at least two residuals).
ResidualStatistics DiagnoseResiduals(std::span<const double> x);

}  // namespace kalvex::checks
