#include "checks/ResidualStatistics.h"

#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <cmath>

namespace kalvex::checks {
namespace {

double Mean(std::span<const double> x) {
  double sum = 0;
  for (double v : x) sum += v;
  return x.empty() ? 0 : sum / static_cast<double>(x.size());
}

// Nelson's screen of the moving ranges and the factor d2 of a range of two.
constexpr double kRangeScreen = 3.267;
constexpr double kRangeFactor = 1.128;

}  // namespace

int AutocorrelationLags(int count) { return std::min(10, count / 4); }

std::vector<double> Autocorrelation(std::span<const double> x, int lags) {
  const std::size_t n = x.size();
  const double mean = Mean(x);
  double c0 = 0;
  for (double v : x) c0 += (v - mean) * (v - mean);
  std::vector<double> r;
  if (c0 == 0) return r;  // a constant series has no correlation to show
  for (int k = 1; k <= lags; ++k) {
    double ck = 0;
    for (std::size_t t = 0; t + k < n; ++t) ck += (x[t] - mean) * (x[t + k] - mean);
    r.push_back(ck / c0);
  }
  return r;
}

LjungBox LjungBoxTest(int count, std::span<const double> acf) {
  LjungBox test;
  test.lags = static_cast<int>(acf.size());
  double sum = 0;
  for (int k = 1; k <= test.lags; ++k) sum += acf[k - 1] * acf[k - 1] / (count - k);
  test.Q = double(count) * (count + 2) * sum;
  test.P = cdf(complement(boost::math::chi_squared(test.lags), test.Q));
  return test;
}

RunsTest RunsOfSigns(std::span<const double> x) {
  RunsTest test;
  int previous = 0;
  for (double v : x) {
    const int sign = v > 0 ? 1 : (v < 0 ? -1 : 0);
    if (sign == 0) continue;
    (sign > 0 ? test.positive : test.negative) += 1;
    if (sign != previous) ++test.runs;
    previous = sign;
  }
  const double n1 = test.positive, n2 = test.negative, n = n1 + n2;
  if (n1 == 0 || n2 == 0) {
    test.expected = test.runs;
    return test;
  }
  test.expected = 2 * n1 * n2 / n + 1;
  const double variance = 2 * n1 * n2 * (2 * n1 * n2 - n) / (n * n * (n - 1));
  if (!(variance > 0)) return test;  // one residual of each sign: two runs, nothing to test
  const double z = (test.runs - test.expected) / std::sqrt(variance);
  test.P = 2 * cdf(boost::math::normal(), -std::fabs(z));
  return test;
}

ThreeSigma ThreeSigmaLimits(std::span<const double> x) {
  ThreeSigma limits;
  if (x.size() < 2) return limits;
  std::vector<double> ranges;
  for (std::size_t t = 1; t < x.size(); ++t) ranges.push_back(std::fabs(x[t] - x[t - 1]));
  const double screen = kRangeScreen * Mean(ranges);
  std::erase_if(ranges, [screen](double r) { return !(r < screen); });
  limits.sd = Mean(ranges) / kRangeFactor;
  limits.limit = 3 * limits.sd;
  for (double v : x)
    if (std::fabs(v) > limits.limit) ++limits.outside;
  return limits;
}

ResidualStatistics DiagnoseResiduals(std::span<const double> x) {
  ResidualStatistics s;
  s.count = static_cast<int>(x.size());
  s.mean = Mean(x);
  double squares = 0;
  for (double v : x) squares += (v - s.mean) * (v - s.mean);
  s.sd = s.count > 1 ? std::sqrt(squares / (s.count - 1)) : 0;
  s.acf = Autocorrelation(x, AutocorrelationLags(s.count));
  s.acfBand = s.count > 0 ? 1.96 / std::sqrt(double(s.count)) : 0;
  if (!s.acf.empty()) s.ljungBox = LjungBoxTest(s.count, s.acf);
  s.shapiro = ShapiroWilk(std::vector<double>(x.begin(), x.end()));
  s.runs = RunsOfSigns(x);
  s.threeSigma = ThreeSigmaLimits(x);
  return s;
}

}  // namespace kalvex::checks
