#pragma once
// The steps of one Oskane evaluation, written once for any scalar type. The
// objective runs them in double (Likelihood.cpp, whose prediction and filter
// run on the vectorized kernel, bit for bit what ResidualOf and FilterStep
// give period by period); the exact derivatives run them in automatic-
// differentiation types (LikelihoodDerivatives.cpp), whose values are the
// same bits again.
#include <cmath>
#include <vector>

#include "model/ModelData.h"
#include "model/Parameters.h"
#include "workspace/NumericFault.h"

namespace kalvex::model {

inline constexpr double kPenaltyScale = 1e20;

// The coefficients of one evaluation, read from the trial vector.
template <class T>
struct CoefficientsOf {
  T b0 = T(0.0);
  T bME = T(0.0);
  T bPE = T(0.0);
  T bV = T(0.0);
  T W = T(0.0);               // Omega after the range correction
  std::vector<T> bMESpecies;  // bME(j), 1..S
  std::vector<T> bPESpecies;  // bPE(j), 1..S
};

// The number a scalar stands for: branches follow it, as the double
// evaluation's do, so the derivatives are those of the branch it takes.
inline double PlainValue(double x) { return x; }
template <class T>
double PlainValue(const T& x) {
  return PlainValue(x.val());
}

// Guarded in double, where a fault must throw as a run-time error would; a
// derivative type's own functions otherwise (their values are the same).
inline double SquareRoot(double x) { return SafeSqrt(x); }
inline double Logarithm(double x) { return SafeLog(x); }
template <class T>
T SquareRoot(const T& x) {
  using std::sqrt;
  return T(sqrt(x));
}
template <class T>
T Logarithm(const T& x) {
  using std::log;
  return T(log(x));
}
template <class T>
T RealPower(const T& x, double exponent) {
  using std::pow;
  return T(pow(x, exponent));
}

// Omega outside 0..1 is not a fault: it is set to 0 and penalized, so a
// minimizer meets a steep wall. The corrected value goes back in omega.
template <class T>
void CorrectOmega(T& omega, T& penalty) {
  if (!(PlainValue(omega) >= 0)) {
    penalty = penalty + kPenaltyScale * (omega * omega);
    omega = T(0.0);
  }
  if (PlainValue(omega) > 1) {
    penalty = penalty + kPenaltyScale * ((omega - 1.0) * (omega - 1.0));
    omega = T(0.0);
  }
}

template <class T>
void ReadCoefficients(const T* values, const ParameterLayout& p, const T& omega, CoefficientsOf<T>& c) {
  c.b0 = values[p.Intercept()];
  c.bME = values[p.EffortME()];
  c.bPE = values[p.EffortPE()];
  c.bV = values[p.Intervention()];
  c.W = omega;
  for (int j = 1; j <= p.species; ++j) {
    c.bMESpecies[j] = values[p.SpeciesME(j)];
    c.bPESpecies[j] = values[p.SpeciesPE(j)];
  }
}

// The moving-average coefficient that follows from Omega (0 at W = 0 and 1):
// the root inside 0..1 of a rho^2 + b rho + a = 0; b^2 - 4ac = 4a + 1 > 0.
template <class T>
T LambdaFromOmega(const T& w) {
  const T a = (1.0 - w * w) * w;
  const T b = 2.0 * w * w * w - 2.0 * w - 1.0;
  const T c = (1.0 - w * w) * w;
  if (PlainValue(a) != 0) return T((-b - SquareRoot(T(b * b - 4.0 * a * c))) / (2.0 * a));
  return T(-c / b);
}

// G, the determinant of the MA(1) covariance matrix (unit innovation variance).
template <class T>
T LambdaDeterminant(const T& rho, int n) {
  if (std::fabs(PlainValue(rho)) != 1) return T((1.0 - RealPower(rho, 2.0 * n)) / (1.0 - rho * rho));
  return T(static_cast<double>(n));
}

// Step 6's prediction of period i (2..n), its terms added in the written
// order, and the residual IndexFromStart(i) - Prediction(i). The vectorized
// kernel computes the same sums for many periods at once.
template <class R>
R ResidualOf(const ModelData& d, const CoefficientsOf<R>& c, int i) {
  R sum = c.bV * d.Intervention[i] + c.b0;
  sum = sum + c.W * (d.LnIndex[i - 1] + d.IndexGap[i]);
  sum = sum + c.bME * d.LnEffortFromStart[i];
  sum = sum + c.bPE * d.LnEffortStep[i];
  for (int j = 1; j <= d.NumSpecies; ++j) {
    sum = sum + d.StdCatchFromStart(i, j) * c.bMESpecies[j];
    sum = sum + d.StdCatchStep(i, j) * c.bPESpecies[j];
  }
  return R(d.IndexFromStart[i] - sum);
}

// Step 6's filter for the next period: Filtered(i) = rho x Filtered(i - 1)
// + Residual(i), and the back-cast weight rho^(i - 1) as a running product.
template <class T, class U>
void FilterStep(const T& rho, const U& residual, T& filtered, T& power) {
  filtered = rho * filtered + residual;
  power = power * rho;
}

// Step 8 for one period: its innovation rho^(i - 1) x Innovation(1) +
// Filtered(i), and a square added to the sum of squares.
template <class T>
T InnovationOf(const T& power, const T& first, const T& filtered) {
  return T(power * first + filtered);
}
template <class S>
void AddSquare(const S& innovation, S& sumSquares) {
  sumSquares += innovation * innovation;
}

// Steps 7 and 8 once T is known: the innovations into innovation (1..n) and
// their sum of squares.
inline double SumOfInnovationSquares(const double* power, const double* filtered, double first, int n,
                                     double* innovation) {
  double ss = 0;
  for (int i = 1; i <= n; ++i) {
    innovation[i] = InnovationOf(power[i], first, filtered[i]);
    AddSquare(innovation[i], ss);
  }
  return ss;
}

// Step 9: -2 ln L up to a constant, plus the Omega penalty.
template <class T>
T ObjectiveFrom(const T& lnDeterminant, const T& sumSquares, int n, const T& penalty) {
  return T(lnDeterminant + static_cast<double>(n - 1) * Logarithm(sumSquares) + penalty);
}

}  // namespace kalvex::model
