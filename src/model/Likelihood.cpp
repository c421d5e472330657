#include "model/Likelihood.h"

#include <cmath>

#include "model/Parameters.h"
#include "workspace/NumericFault.h"

namespace kalvex::model {

namespace {

constexpr double kPenaltyScale = 1e20;

// Omega outside 0..1 is not a fault: it is set to 0 and penalized, so a
// minimizer meets a steep wall. The correction goes back to the caller.
double CorrectOmega(double& omega, double& penalty) {
  // A NaN Omega would only turn the penalty into NaN: report it as the fault it is.
  if (std::isnan(omega)) throw NumericFault(kInvalidCall);
  if (!(omega >= 0)) {
    penalty = penalty + kPenaltyScale * omega * omega;
    omega = 0;
  }
  if (omega > 1) {
    penalty = penalty + kPenaltyScale * (omega - 1) * (omega - 1);
    omega = 0;
  }
  return omega;
}

void ReadCoefficients(std::span<const double> values, const ParameterLayout& p, double omega,
                      Coefficients& c) {
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

// Prediction and Residual of periods 2..n. The species terms are added
// species by species over all periods: each period still sees its terms in
// the stated order (catch from start, then catch step, species 1..S), and the
// periods are independent, so the loop over periods runs without a chain.
void Predict(const ModelData& d, const Coefficients& c, LikelihoodWork& w) {
  const int n = d.NumPeriods;
  double* prediction = w.Prediction.data();
  for (int i = 2; i <= n; ++i) {
    double value = c.bV * d.Intervention[i] + c.b0 + c.W * (d.LnIndex[i - 1] + d.IndexGap[i]);
    prediction[i] = value + c.bME * d.LnEffortFromStart[i] + c.bPE * d.LnEffortStep[i];
  }
  for (int j = 1; j <= d.NumSpecies; ++j) {
    const double* fromStart = d.StdCatchFromStart.Species(j);
    const double* step = d.StdCatchStep.Species(j);
    const double bME = c.bMESpecies[j];
    const double bPE = c.bPESpecies[j];
    for (int i = 2; i <= n; ++i) {
      const double value = prediction[i] + fromStart[i] * bME;
      prediction[i] = value + step[i] * bPE;
    }
  }
  w.Prediction[1] = kUndefined;
  w.Residual[1] = kUndefined;
  for (int i = 2; i <= n; ++i) w.Residual[i] = d.IndexFromStart[i] - prediction[i];
}

}  // namespace

LikelihoodWork LikelihoodWork::Sized(int numSpecies) {
  LikelihoodWork w;
  const std::size_t periods = kMaxTimePeriods + 1;
  for (std::vector<double>* series : {&w.Prediction, &w.Residual, &w.Filtered, &w.Innovation, &w.Power})
    series->assign(periods, 0.0);
  w.coefficients.bMESpecies.assign(static_cast<std::size_t>(numSpecies) + 1, 0.0);
  w.coefficients.bPESpecies.assign(static_cast<std::size_t>(numSpecies) + 1, 0.0);
  return w;
}

double LambdaFromOmega(double w) {
  const double a = (1 - w * w) * w;
  const double b = 2 * w * w * w - 2 * w - 1;
  const double c = (1 - w * w) * w;
  // The root inside 0..1 of a rho^2 + b rho + a = 0; b^2 - 4ac = 4a + 1 > 0.
  if (a != 0) return (-b - SafeSqrt(b * b - 4 * a * c)) / (2 * a);
  return -c / b;
}

double EvaluateLikelihood(const ModelData& d, std::span<double> values, LikelihoodWork& w) {
  const ParameterLayout layout{d.NumSpecies};
  const int n = d.NumPeriods;
  FloatingPointGuard guard;

  w.Objective = 0;
  w.OmegaPenalty = 0;
  const double omega = CorrectOmega(values[layout.Omega()], w.OmegaPenalty);
  Coefficients& c = w.coefficients;
  ReadCoefficients(values, layout, omega, c);

  const double rho = LambdaFromOmega(c.W);
  w.Lambda = rho;
  // Determinant of the MA(1) covariance matrix (unit innovation variance).
  w.LambdaDeterminant = std::fabs(rho) != 1 ? (1 - std::pow(rho, 2.0 * n)) / (1 - rho * rho) : n;

  Predict(d, c, w);
  w.Filtered[1] = 0;
  for (int i = 2; i <= n; ++i) w.Filtered[i] = rho * w.Filtered[i - 1] + w.Residual[i];

  // Back-cast weights rho^(i-1) as a running product: the exact powers of
  // rho to within a few units in the last place, without a pow call each.
  double* power = w.Power.data();
  power[1] = 1;
  for (int i = 2; i <= n; ++i) power[i] = power[i - 1] * rho;

  double t = 0;
  for (int i = 1; i <= n - 1; ++i) t = t + power[i + 1] * w.Filtered[i + 1];
  const double first = -t / w.LambdaDeterminant;
  double ss = 0;
  for (int i = 1; i <= n; ++i) {
    w.Innovation[i] = power[i] * first + w.Filtered[i];
    ss = ss + w.Innovation[i] * w.Innovation[i];
  }
  w.SumSquares = ss;
  guard.Check();

  w.Objective = SafeLog(w.LambdaDeterminant) + (n - 1) * SafeLog(w.SumSquares) + w.OmegaPenalty;
  return CheckFinite(w.Objective);
}

}  // namespace kalvex::model
