#include "workspace/NumericFault.h"

#include <cfenv>
#include <cmath>

namespace kalvex {

double SafeLog(double x) {
  if (!(x > 0)) throw NumericFault(kInvalidCall);
  return std::log(x);
}

double SafeSqrt(double x) {
  if (!(x >= 0)) throw NumericFault(kInvalidCall);
  return std::sqrt(x);
}

double SafeDivide(double a, double b) {
  if (b == 0) throw NumericFault(kDivisionByZero);
  return CheckFinite(a / b);
}

double SafeExp(double x) {
  if (std::isnan(x)) throw NumericFault(kInvalidCall);
  double r = std::exp(x);
  if (!std::isfinite(r)) throw NumericFault(kOverflow);
  return r;
}

double SafePow(double base, double exponent) {
  if (base == 0 && exponent < 0) throw NumericFault(kDivisionByZero);
  if (base < 0 && exponent != std::floor(exponent)) throw NumericFault(kInvalidCall);
  return CheckFinite(std::pow(base, exponent));
}

double CheckFinite(double value) {
  if (std::isnan(value)) throw NumericFault(kInvalidCall);
  if (std::isinf(value)) throw NumericFault(kOverflow);
  return value;
}

FloatingPointGuard::FloatingPointGuard() { std::feclearexcept(FE_ALL_EXCEPT); }

void FloatingPointGuard::Check() const {
  if (std::fetestexcept(FE_DIVBYZERO)) throw NumericFault(kDivisionByZero);
  if (std::fetestexcept(FE_OVERFLOW)) throw NumericFault(kOverflow);
  if (std::fetestexcept(FE_INVALID)) throw NumericFault(kInvalidCall);
}

}  // namespace kalvex
