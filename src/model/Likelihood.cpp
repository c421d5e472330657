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
    penalty = penalty + kPenaltyScale * (omega * omega);
    omega = 0;
  }
  if (omega > 1) {
    penalty = penalty + kPenaltyScale * ((omega - 1) * (omega - 1));
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
// species by species over all periods: each period still receives its terms
// in the order of the prediction formula (catch from start, then catch step,
// species 1..S), so the sums are bit for bit those of a period-by-period
// loop, while the independent periods need not wait for each other.
void Predict(const ModelData& d, const Coefficients& c, LikelihoodWork& w) {
  const int n = d.NumPeriods;
  double* prediction = w.Prediction.data();
  // Locals, so that the stores into prediction need not reload them.
  const double b0 = c.b0, bME = c.bME, bPE = c.bPE, bV = c.bV, omega = c.W;
  const double* intervention = d.Intervention.data();
  const double* lnIndex = d.LnIndex.data();
  const double* indexGap = d.IndexGap.data();
  const double* effortFromStart = d.LnEffortFromStart.data();
  const double* effortStep = d.LnEffortStep.data();
  for (int i = 2; i <= n; ++i) {
    const double value = bV * intervention[i] + b0 + omega * (lnIndex[i - 1] + indexGap[i]);
    prediction[i] = value + bME * effortFromStart[i] + bPE * effortStep[i];
  }
  for (int j = 1; j <= d.NumSpecies; ++j) {
    const double* fromStart = d.StdCatchFromStart.Species(j);
    const double* step = d.StdCatchStep.Species(j);
    const double bMEj = c.bMESpecies[j];
    const double bPEj = c.bPESpecies[j];
    // Two periods side by side, which the compiler turns into vector operations.
    int i = 2;
    for (; i + 1 <= n; i += 2) {
      const double value0 = prediction[i] + fromStart[i] * bMEj;
      const double value1 = prediction[i + 1] + fromStart[i + 1] * bMEj;
      prediction[i] = value0 + step[i] * bPEj;
      prediction[i + 1] = value1 + step[i + 1] * bPEj;
    }
    if (i <= n) prediction[i] = (prediction[i] + fromStart[i] * bMEj) + step[i] * bPEj;
  }
  prediction[1] = kUndefined;
  double* residual = w.Residual.data();
  const double* indexFromStart = d.IndexFromStart.data();
  residual[1] = kUndefined;
  for (int i = 2; i <= n; ++i) residual[i] = indexFromStart[i] - prediction[i];
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

namespace {

// Steps 1 to 8 of one evaluation from the trial Omega; no fault checks, so
// a non-finite value simply propagates into SumSquares or OmegaPenalty.
void Compute(const ModelData& d, std::span<double> values, double trialOmega, LikelihoodWork& w) {
  const ParameterLayout layout{d.NumSpecies};
  const int n = d.NumPeriods;
  w.Objective = 0;
  w.OmegaPenalty = 0;
  values[layout.Omega()] = trialOmega;
  const double omega = CorrectOmega(values[layout.Omega()], w.OmegaPenalty);
  Coefficients& c = w.coefficients;
  ReadCoefficients(values, layout, omega, c);

  const double rho = LambdaFromOmega(c.W);
  w.Lambda = rho;
  // Determinant of the MA(1) covariance matrix (unit innovation variance).
  w.LambdaDeterminant = std::fabs(rho) != 1 ? (1 - std::pow(rho, 2.0 * n)) / (1 - rho * rho) : n;

  Predict(d, c, w);

  // Filter, back-cast weights and back-cast sum in one pass: three
  // independent recurrences the processor runs side by side. The weights
  // rho^(i-1) are a running product: the powers of rho to within a few units
  // in the last place, without a pow call per period.
  double* filtered = w.Filtered.data();
  double* power = w.Power.data();
  const double* residual = w.Residual.data();
  double f = 0;       // Filtered(i - 1), kept in a register
  double weight = 1;  // rho^(i - 1) once updated
  filtered[1] = f;
  power[1] = weight;
  double t = 0;
  for (int i = 2; i <= n; ++i) {
    f = rho * f + residual[i];
    weight = weight * rho;
    filtered[i] = f;
    power[i] = weight;
    t = t + weight * f;
  }
  const double first = -t / w.LambdaDeterminant;
  double ss = 0;
  double* innovation = w.Innovation.data();
  for (int i = 1; i <= n; ++i) {
    const double e = power[i] * first + filtered[i];
    innovation[i] = e;
    ss = ss + e * e;
  }
  w.SumSquares = ss;
}

}  // namespace

double EvaluateLikelihood(const ModelData& d, std::span<double> values, LikelihoodWork& w) {
  const double trialOmega = values[ParameterLayout{d.NumSpecies}.Omega()];
  Compute(d, values, trialOmega, w);
  // Every overflow, division by zero or invalid operation ends in a
  // non-finite sum of squares or penalty. Only then is the evaluation run
  // again under the floating-point flags to name the first fault: clearing
  // the flags costs more than the whole small evaluation.
  if (!std::isfinite(w.SumSquares) || !std::isfinite(w.OmegaPenalty)) {
    FloatingPointGuard guard;
    Compute(d, values, trialOmega, w);
    guard.Check();
    CheckFinite(w.OmegaPenalty);
    CheckFinite(w.SumSquares);
  }
  const int n = d.NumPeriods;
  w.Objective = SafeLog(w.LambdaDeterminant) + (n - 1) * SafeLog(w.SumSquares) + w.OmegaPenalty;
  return CheckFinite(w.Objective);
}

}  // namespace kalvex::model
