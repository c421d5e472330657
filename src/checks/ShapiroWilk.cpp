#include "checks/ShapiroWilk.h"

#include <algorithm>
#include <array>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <span>

namespace kalvex::checks {
namespace {

// c[0] + c[1] x + c[2] x^2 + ..., by Horner's rule.
double Polynomial(std::span<const double> c, double x) {
  double sum = 0;
  for (std::size_t k = c.size(); k-- > 0;) sum = sum * x + c[k];
  return sum;
}

// Royston (1992): the two largest coefficients as polynomials in 1/sqrt(n)
// corrected from the normal scores, and the normalizing transform of W.
constexpr std::array<double, 6> kFirst = {0.0, 0.221157, -0.147981, -2.071190, 4.434685, -2.706056};
constexpr std::array<double, 6> kSecond = {0.0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633};
constexpr std::array<double, 2> kSmallGamma = {-2.273, 0.459};
constexpr std::array<double, 4> kSmallMean = {0.544, -0.39978, 0.025054, -6.714e-4};
constexpr std::array<double, 4> kSmallLogSd = {1.3822, -0.77857, 0.062767, -0.0020322};
constexpr std::array<double, 4> kLargeMean = {-1.5861, -0.31082, -0.083751, 0.0038915};
constexpr std::array<double, 3> kLargeLogSd = {-0.4803, -0.082676, 0.0030302};
constexpr double kSmallestP = 1e-99;  // W beyond the transform's reach for n <= 11

// The coefficients a(1..n/2) of the lower half's order statistics, as
// positive numbers: W's numerator is (sum a(i) (x(n+1-i) - x(i)))^2.
std::vector<double> Coefficients(int n) {
  const int half = n / 2;
  std::vector<double> a(half);
  if (n == 3) {
    a[0] = std::sqrt(0.5);
    return a;
  }
  const boost::math::normal standard;
  std::vector<double> m(half);  // Blom's approximate normal scores of the lower half (negative)
  double sumSquares = 0;
  for (int i = 1; i <= half; ++i) {
    m[i - 1] = quantile(standard, (i - 0.375) / (n + 0.25));
    sumSquares += m[i - 1] * m[i - 1];
  }
  sumSquares *= 2;
  const double root = std::sqrt(sumSquares), u = 1 / std::sqrt(double(n));
  a[0] = Polynomial(kFirst, u) - m[0] / root;
  int first = 1;
  double scale = 0;
  if (n > 5) {
    a[1] = Polynomial(kSecond, u) - m[1] / root;
    scale = std::sqrt((sumSquares - 2 * m[0] * m[0] - 2 * m[1] * m[1]) / (1 - 2 * a[0] * a[0] - 2 * a[1] * a[1]));
    first = 2;
  } else {
    scale = std::sqrt((sumSquares - 2 * m[0] * m[0]) / (1 - 2 * a[0] * a[0]));
  }
  for (int i = first; i < half; ++i) a[i] = -m[i] / scale;
  return a;
}

// The upper-tail probability of W, from 1 - W (kept apart: W lies near 1).
double Probability(int n, double w, double oneLessW) {
  if (n == 3) {
    // Exact: 6/pi (asin(sqrt(W)) - pi/3).
    const double pi = boost::math::constants::pi<double>();
    return std::max(0.0, 6 / pi * (std::asin(std::sqrt(w)) - pi / 3));
  }
  double y = std::log(oneLessW), mean = 0, sd = 0;
  if (n <= 11) {
    const double gamma = Polynomial(kSmallGamma, n);
    if (y >= gamma) return kSmallestP;
    y = -std::log(gamma - y);
    mean = Polynomial(kSmallMean, n);
    sd = std::exp(Polynomial(kSmallLogSd, n));
  } else {
    const double lnN = std::log(double(n));
    mean = Polynomial(kLargeMean, lnN);
    sd = std::exp(Polynomial(kLargeLogSd, lnN));
  }
  return cdf(complement(boost::math::normal(mean, sd), y));
}

}  // namespace

std::optional<ShapiroWilkResult> ShapiroWilk(std::vector<double> x) {
  const int n = static_cast<int>(x.size());
  if (n < 3 || n > 5000) return std::nullopt;
  std::sort(x.begin(), x.end());
  const double range = x[n - 1] - x[0];
  if (!(range >= 1e-10)) return std::nullopt;
  const std::vector<double> a = Coefficients(n);

  // W as the squared correlation of the ordered sample with the full,
  // antisymmetric coefficient vector (its mean is 0); 1 - W without
  // cancellation.
  double meanX = 0;
  for (int i = 0; i < n; ++i) meanX += x[i] / range;
  meanX /= n;
  double ssa = 0, ssx = 0, sax = 0;
  for (int i = 0, j = n - 1; i < n; ++i, --j) {
    const double ai = i < j ? -a[i] : (i > j ? a[j] : 0.0);
    const double dx = x[i] / range - meanX;
    ssa += ai * ai;
    ssx += dx * dx;
    sax += ai * dx;
  }
  const double root = std::sqrt(ssa * ssx);
  const double oneLessW = (root - sax) * (root + sax) / (ssa * ssx);
  const double w = 1 - oneLessW;
  return ShapiroWilkResult{w, Probability(n, w, oneLessW)};
}

}  // namespace kalvex::checks
