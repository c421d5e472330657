#include "workspace/ComputePriorValue.h"

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "workspace/ForwardDerivatives.h"
#include "workspace/NumericFault.h"
#include "workspace/PriorTable.h"

namespace kalvex {
namespace {

constexpr double kWall = 1e20;
constexpr double kLowEdge = 1e-6;        // the lower edge of the Gamma, Ln-normal and Beta supports
constexpr double kHighEdge = 0.999999;   // the upper edge of the Beta support
constexpr const char* kTypeMismatch = "Type mismatch";

// Plain arithmetic for every evaluation: a fault shows as a term that is not finite.
struct PlainArithmetic {
  static double Div(double a, double b) { return a / b; }
  static double Log(double x) { return std::log(x); }
  static double Sqrt(double x) { return std::sqrt(x); }
  static double Exp(double x) { return std::exp(x); }
};

// The same steps again when a term was not finite: the first operation that
// faults names the fault, as a run-time error would.
struct CheckedArithmetic {
  static double Div(double a, double b) { return SafeDivide(a, b); }
  static double Log(double x) { return SafeLog(x); }
  static double Sqrt(double x) { return SafeSqrt(x); }
  static double Exp(double x) { return SafeExp(x); }
};

// The same steps on a derivative type T for the parameter value, plain
// arithmetic for the prior's own constants.
template <class T>
struct DerivativeArithmetic : PlainArithmetic {
  using PlainArithmetic::Div;
  using PlainArithmetic::Log;
  static T Div(const T& a, double b) { return T(a / b); }
  static T Log(const T& x) {
    using std::log;
    return T(log(x));
  }
};

template <class T>
T Wall(const T& distance) {
  return T(kWall * (distance * distance));
}

template <class T>
T NormalCdfOf(const T& x) {
  using std::exp;
  using std::fabs;
  static constexpr double kCoefficients[] = {0.17087277,  -0.82215223, 1.48851587, -1.13520398, 0.27886807,
                                             -0.18628806, 0.09678418,  0.37409196, 1.00002368};
  const T z = x / std::sqrt(2.0);
  const T t = 1.0 / (1.0 + fabs(z) / 2.0);
  T p = T(0.0);
  for (double c : kCoefficients) p = (p + c) * t;
  p = p + -1.26551223;
  const T e = t * exp(p - z * z);  // erfc(|z|)
  return x < 0.0 ? T(e / 2.0) : T((1.0 - e) / 2.0 + 0.5);
}

// A foot that falls off to the left (cliff S, the left foot of T): a hard
// wall for SD 0, the normal tail for SD > 0, nothing for a negative SD.
template <typename A, class T>
T LeftFoot(const T& x, double foot, double sd) {
  if (sd == 0) return x < foot ? Wall(T(x - foot)) : T(0.0);
  if (!(sd > 0)) return T(0.0);
  const T z = A::Div(T(x - foot), sd);
  const T q = NormalCdfOf(z);
  if (q > 0.0) return T(-A::Log(q));
  return T(kWall * (z * z));
}

// The mirror image (cliff D); the right foot of T adds to a left-foot term.
template <typename A, class T>
T RightFoot(const T& x, double foot, double sd, const T& term) {
  if (sd == 0) return x > foot ? Wall(T(x - foot)) : term;
  if (!(sd > 0)) return term;
  const T z = A::Div(T(x - foot), sd);
  const T q = NormalCdfOf(z);
  if (1.0 - q > 0.0) return T(term - A::Log(T(1.0 - q)));
  return T(term + kWall * (z * z));
}

template <typename A, class T>
T Gamma(const T& x, double m, double s) {
  if (x < kLowEdge) return Wall(T(x - kLowEdge));
  double ratio = A::Div(m, s);
  double k = ratio * ratio;                // shape
  double theta = std::fabs(A::Div(s * s, m));  // scale
  double mode = (k - 1) * theta;
  return T(((1 - k) * A::Log(x) + A::Div(x, theta)) - ((1 - k) * A::Log(mode) + A::Div(mode, theta)));
}

template <typename A, class T>
T LnNormal(const T& x, double m, double s) {
  if (x < kLowEdge) return Wall(T(x - kLowEdge));
  double sigma = A::Sqrt(A::Log(s * s + m * m) - 2 * A::Log(m));
  double mu = A::Log(m) - sigma * sigma / 2;
  double mode = A::Exp(mu - sigma * sigma);
  const T lnX = A::Log(x);
  double lnMode = A::Log(mode);
  const T zX = A::Div(T(lnX - mu), sigma);
  double zMode = A::Div(lnMode - mu, sigma);
  return T((lnX + 0.5 * (zX * zX)) - (lnMode + 0.5 * (zMode * zMode)));
}

template <typename A, class T>
T Beta(const T& x, double m, double s) {
  if (x < kLowEdge) return Wall(T(x - kLowEdge));
  if (x > kHighEdge) return Wall(T(x - kHighEdge));
  double v = m * (1 - m) - s * s;
  double a = A::Div(m * v, s * s);
  double b = A::Div((1 - m) * v, s * s);
  // The mode of Beta(a, b) when both exceed 1; otherwise a point the clamp keeps inside.
  double mode = A::Div(1 - a, 2 - a - b);
  if (mode < kLowEdge) mode = kLowEdge;
  if (mode > kHighEdge) mode = kHighEdge;
  return T(((1 - a) * A::Log(x) + (1 - b) * A::Log(T(1.0 - x))) -
           ((1 - a) * A::Log(mode) + (1 - b) * A::Log(1 - mode)));
}

template <typename A, class T>
T Term(const PriorEntry& prior, const T& x) {
  const double first = prior.FirstTerm;
  const double second = prior.SecondTerm;
  switch (LetterOf(prior)) {
    case 'N': {
      const T z = A::Div(T(x - first), second);
      return T(0.5 * (z * z));
    }
    case 'E':
      // The decay rate is the reciprocal of the mean the editor stores.
      if (x <= 0.0) return Wall(x);
      return A::Div(x, std::fabs(first));
    case 'G': return Gamma<A>(x, first, second);
    case 'L': return LnNormal<A>(x, first, second);
    case 'B': return Beta<A>(x, first, second);
    case 'S': return LeftFoot<A>(x, first, second);
    case 'D': return RightFoot<A>(x, first, second, T(0.0));
    case 'T': {
      if (!prior.ThirdTerm.number || !prior.FourthTerm.number) {
        if constexpr (std::is_same_v<A, CheckedArithmetic>) throw NumericFault(kTypeMismatch);
        return T(std::numeric_limits<double>::quiet_NaN());
      }
      const T left = LeftFoot<A>(x, first, second);
      return RightFoot<A>(x, *prior.ThirdTerm.number, *prior.FourthTerm.number, left);
    }
    default: return T(0.0);  // U and letters outside the nine
  }
}

[[noreturn]] void ThrowPriorFault(const PriorEntry& prior, double x, int parameter) {
  std::string fault;
  try {
    CheckFinite(Term<CheckedArithmetic>(prior, x));
    fault = kInvalidCall;  // not reached: the plain steps gave a term that was not finite
  } catch (const NumericFault& raised) {
    fault = raised.what();
  }
  throw NumericFault(fault + " in the prior of parameter #" + std::to_string(parameter) + " (" +
                     DistributionName(prior.TypeLetters) + ")");
}

}  // namespace

double NormalCdf(double x) { return NormalCdfOf(x); }

double PriorTermAt(const PriorEntry& prior, double x, int parameter) {
  double term = Term<PlainArithmetic>(prior, x);
  if (!std::isfinite(term)) ThrowPriorFault(prior, x, parameter);
  return term;
}

PriorTermSlope PriorTermDerivatives(const PriorEntry& prior, double x, int parameter) {
  using Number = ad::SecondOrder<1>;
  const Number term = Term<DerivativeArithmetic<Number>>(prior, ad::SecondVariable<1>(x, 0));
  if (!std::isfinite(ad::ValueOf<1>(term))) ThrowPriorFault(prior, x, parameter);
  return {CheckFinite(ad::FirstDerivative<1>(term, 0)), CheckFinite(ad::SecondDerivative<1>(term, 0, 0))};
}

double PriorTermSum(const PriorTable& priors, int numParameters, const std::vector<double>& vector,
                    std::vector<double>* terms) {
  double sum = 0;
  for (int i = 1; i <= numParameters; ++i) {
    if (terms) (*terms)[i] = 0;
    const PriorEntry& prior = priors[i];
    if (LetterOf(prior) == 'U') continue;
    double term = PriorTermAt(prior, vector[i], i);
    if (terms) (*terms)[i] = term;
    sum += term;
  }
  return sum;
}

void ComputePriorValue(Workspace& ws, const std::vector<double>& vector) {
  const int n = ws.Alg.NumParameters;
  if (ws.PriorTerms.size() != static_cast<std::size_t>(n) + 1) ws.PriorTerms.assign(static_cast<std::size_t>(n) + 1, 0.0);
  ws.PriorValue = ws.ObjectiveScale * PriorTermSum(ws.Priors, n, vector, &ws.PriorTerms);
}

}  // namespace kalvex
