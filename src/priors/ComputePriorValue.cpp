#include "priors/ComputePriorValue.h"

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "priors/PriorTable.h"
#include "workspace/NumericFault.h"

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

double Wall(double distance) { return kWall * (distance * distance); }

// A foot that falls off to the left (cliff S, the left foot of T): a hard
// wall for SD 0, the normal tail for SD > 0, nothing for a negative SD.
template <typename A>
double LeftFoot(double x, double foot, double sd) {
  if (sd == 0) return x < foot ? Wall(x - foot) : 0.0;
  if (!(sd > 0)) return 0.0;
  double z = A::Div(x - foot, sd);
  double q = NormalCdf(z);
  if (q > 0) return -A::Log(q);
  return kWall * (z * z);
}

// The mirror image (cliff D); the right foot of T adds to a left-foot term.
template <typename A>
double RightFoot(double x, double foot, double sd, double term) {
  if (sd == 0) return x > foot ? Wall(x - foot) : term;
  if (!(sd > 0)) return term;
  double z = A::Div(x - foot, sd);
  double q = NormalCdf(z);
  if (1 - q > 0) return term - A::Log(1 - q);
  return term + kWall * (z * z);
}

template <typename A>
double Gamma(double x, double m, double s) {
  if (x < kLowEdge) return Wall(x - kLowEdge);
  double ratio = A::Div(m, s);
  double k = ratio * ratio;                // shape
  double theta = std::fabs(A::Div(s * s, m));  // scale
  double mode = (k - 1) * theta;
  return ((1 - k) * A::Log(x) + A::Div(x, theta)) - ((1 - k) * A::Log(mode) + A::Div(mode, theta));
}

template <typename A>
double LnNormal(double x, double m, double s) {
  if (x < kLowEdge) return Wall(x - kLowEdge);
  double sigma = A::Sqrt(A::Log(s * s + m * m) - 2 * A::Log(m));
  double mu = A::Log(m) - sigma * sigma / 2;
  double mode = A::Exp(mu - sigma * sigma);
  double lnX = A::Log(x);
  double lnMode = A::Log(mode);
  double zX = A::Div(lnX - mu, sigma);
  double zMode = A::Div(lnMode - mu, sigma);
  return (lnX + 0.5 * (zX * zX)) - (lnMode + 0.5 * (zMode * zMode));
}

template <typename A>
double Beta(double x, double m, double s) {
  if (x < kLowEdge) return Wall(x - kLowEdge);
  if (x > kHighEdge) return Wall(x - kHighEdge);
  double v = m * (1 - m) - s * s;
  double a = A::Div(m * v, s * s);
  double b = A::Div((1 - m) * v, s * s);
  // The mode of Beta(a, b) when both exceed 1; otherwise a point the clamp keeps inside.
  double mode = A::Div(1 - a, 2 - a - b);
  if (mode < kLowEdge) mode = kLowEdge;
  if (mode > kHighEdge) mode = kHighEdge;
  return ((1 - a) * A::Log(x) + (1 - b) * A::Log(1 - x)) - ((1 - a) * A::Log(mode) + (1 - b) * A::Log(1 - mode));
}

template <typename A>
double Term(const PriorEntry& prior, double x) {
  const double first = prior.FirstTerm;
  const double second = prior.SecondTerm;
  switch (LetterOf(prior)) {
    case 'N': {
      double z = A::Div(x - first, second);
      return 0.5 * (z * z);
    }
    case 'E':
      // The decay rate is the reciprocal of the mean the editor stores.
      if (x <= 0) return Wall(x);
      return A::Div(x, std::fabs(first));
    case 'G': return Gamma<A>(x, first, second);
    case 'L': return LnNormal<A>(x, first, second);
    case 'B': return Beta<A>(x, first, second);
    case 'S': return LeftFoot<A>(x, first, second);
    case 'D': return RightFoot<A>(x, first, second, 0.0);
    case 'T': {
      if (!prior.ThirdTerm.number || !prior.FourthTerm.number) {
        if constexpr (std::is_same_v<A, CheckedArithmetic>) throw NumericFault(kTypeMismatch);
        return std::numeric_limits<double>::quiet_NaN();
      }
      double left = LeftFoot<A>(x, first, second);
      return RightFoot<A>(x, *prior.ThirdTerm.number, *prior.FourthTerm.number, left);
    }
    default: return 0.0;  // U and letters outside the nine
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

double NormalCdf(double x) {
  static constexpr double kCoefficients[] = {0.17087277,  -0.82215223, 1.48851587, -1.13520398, 0.27886807,
                                             -0.18628806, 0.09678418,  0.37409196, 1.00002368};
  double z = x / std::sqrt(2.0);
  double t = 1 / (1 + std::fabs(z) / 2);
  double p = 0;
  for (double c : kCoefficients) p = (p + c) * t;
  p = p + -1.26551223;
  double e = t * std::exp(p - z * z);  // erfc(|z|)
  return x < 0 ? e / 2 : (1 - e) / 2 + 0.5;
}

double PriorTermAt(const PriorEntry& prior, double x, int parameter) {
  double term = Term<PlainArithmetic>(prior, x);
  if (!std::isfinite(term)) ThrowPriorFault(prior, x, parameter);
  return term;
}

void ComputePriorValue(Workspace& ws, const std::vector<double>& vector) {
  const int n = ws.Alg.NumParameters;
  if (ws.PriorTerms.size() != static_cast<std::size_t>(n) + 1) ws.PriorTerms.assign(static_cast<std::size_t>(n) + 1, 0.0);
  double sum = 0;
  for (int i = 1; i <= n; ++i) {
    ws.PriorTerms[i] = 0;
    const PriorEntry& prior = ws.Priors[i];
    if (LetterOf(prior) == 'U') continue;
    double term = PriorTermAt(prior, vector[i], i);
    ws.PriorTerms[i] = term;
    sum += term;
  }
  ws.PriorValue = ws.ObjectiveScale * sum;
}

}  // namespace kalvex
