#pragma once
// Floating-point faults behave as run-time errors: the computation throws a
// NumericFault naming the fault, and the action that started it reports it.
#include <stdexcept>
#include <string>

namespace kalvex {

inline constexpr const char* kDivisionByZero = "Division by zero";
inline constexpr const char* kOverflow = "Overflow";
inline constexpr const char* kInvalidCall = "Invalid procedure call or argument";

class NumericFault : public std::runtime_error {
 public:
  explicit NumericFault(const std::string& fault) : std::runtime_error(fault) {}
};

// Guarded elementary operations: each throws the fault the platform would
// have raised instead of returning an infinity or a NaN.
double SafeLog(double x);             // x <= 0 or NaN: invalid call
double SafeSqrt(double x);            // x < 0 or NaN: invalid call
double SafeDivide(double a, double b);  // b == 0: division by zero
double SafeExp(double x);             // result not finite: overflow
double SafePow(double base, double exponent);

// Throws when value is not finite (NaN: invalid call, infinite: overflow).
double CheckFinite(double value);

// Clears the floating-point exception flags on construction; Check() throws
// when division by zero, overflow or an invalid operation happened since.
class FloatingPointGuard {
 public:
  FloatingPointGuard();
  void Check() const;
};

}  // namespace kalvex
