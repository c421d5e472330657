#include "model/Likelihood.h"

#include <bit>
#include <cmath>

#include "model/Parameters.h"
#include "model/PredictionKernel.h"
#include "workspace/NumericFault.h"

namespace kalvex::model {

LikelihoodWork LikelihoodWork::Sized(int numSpecies) {
  LikelihoodWork w;
  const std::size_t periods = kMaxTimePeriods + 1;
  for (std::vector<double>* series : {&w.Filtered, &w.Innovation, &w.Power}) series->assign(periods, 0.0);
  for (std::vector<double>* series : {&w.Prediction, &w.Residual})
    series->assign(periods + PeriodBlocks::kMaxBlockPeriods, 0.0);
  w.coefficients.bMESpecies.assign(static_cast<std::size_t>(numSpecies) + 1, 0.0);
  w.coefficients.bPESpecies.assign(static_cast<std::size_t>(numSpecies) + 1, 0.0);
  return w;
}

namespace {

// rho, G and ln G, worked out only when the corrected Omega or n differs
// from the last evaluation's; true when they were, and the back-cast weights
// rho^(i - 1) must follow. For Omega in 0..1, rho lies in 0..1 and G >= 1:
// none of this can fault, so keeping it does not change which fault an
// evaluation reports.
bool UpdateOmegaTerms(double omega, int n, LikelihoodWork& w) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(omega);
  if (w.omegaPeriods == n && w.omegaBits == bits) return false;
  const double rho = LambdaFromOmega(omega);
  w.Lambda = rho;
  w.LambdaDeterminant = LambdaDeterminant(rho, n);
  w.LnLambdaDeterminant = SafeLog(w.LambdaDeterminant);
  w.Power[1] = 1;
  w.omegaBits = bits;
  w.omegaPeriods = n;
  return true;
}

// Steps 1 to 8 of one evaluation from the trial Omega; no fault checks, so
// a non-finite value simply propagates into SumSquares or OmegaPenalty.
void Compute(const ModelData& d, const PeriodBlocks& blocks, std::span<double> values, double trialOmega,
             LikelihoodWork& w) {
  const ParameterLayout layout{d.NumSpecies};
  const int n = d.NumPeriods;
  w.Objective = 0;
  w.OmegaPenalty = 0;
  // A NaN Omega would only turn the penalty into NaN: report it as the fault it is.
  if (std::isnan(trialOmega)) throw NumericFault(kInvalidCall);
  values[layout.Omega()] = trialOmega;
  CorrectOmega(values[layout.Omega()], w.OmegaPenalty);
  Coefficients& c = w.coefficients;
  ReadCoefficients(values.data(), layout, values[layout.Omega()], c);
  // The weights are a running product, filled beside the filter: the powers
  // of rho to within a few units in the last place, without a pow call per
  // period. Nothing between here and there can throw.
  const bool fillPower = UpdateOmegaTerms(c.W, n, w);

  w.Prediction[1] = kUndefined;
  w.Residual[1] = kUndefined;
  w.Filtered[1] = 0;
  const double t = PredictAndFilter(blocks, c, w.Lambda, fillPower, w);
  const double first = -t / w.LambdaDeterminant;
  w.SumSquares = SumOfInnovationSquares(w.Power.data(), w.Filtered.data(), first, n, w.Innovation.data());
}

}  // namespace

double EvaluateLikelihood(const ModelData& d, const PeriodBlocks& blocks, std::span<double> values,
                          LikelihoodWork& w) {
  const double trialOmega = values[ParameterLayout{d.NumSpecies}.Omega()];
  Compute(d, blocks, values, trialOmega, w);
  // Every overflow, division by zero or invalid operation ends in a
  // non-finite sum of squares or penalty. Only then is the evaluation run
  // again under the floating-point flags to name the first fault: clearing
  // the flags costs more than the whole small evaluation.
  if (!std::isfinite(w.SumSquares) || !std::isfinite(w.OmegaPenalty)) {
    FloatingPointGuard guard;
    Compute(d, blocks, values, trialOmega, w);
    guard.Check();
    CheckFinite(w.OmegaPenalty);
    CheckFinite(w.SumSquares);
  }
  w.Objective = ObjectiveFrom(w.LnLambdaDeterminant, w.SumSquares, d.NumPeriods, w.OmegaPenalty);
  return CheckFinite(w.Objective);
}

}  // namespace kalvex::model
