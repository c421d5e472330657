#pragma once
// The Oskane objective: -2 ln L (up to a constant) of the index regression
// with first-order moving-average errors, the first innovation back-cast,
// plus a penalty that keeps Omega in 0..1.
#include <cstdint>
#include <span>
#include <vector>

#include "model/LikelihoodSteps.h"
#include "model/ModelData.h"
#include "model/PeriodBlocks.h"

namespace kalvex::model {

using Coefficients = CoefficientsOf<double>;

// The working series and scalars of the last evaluation. Sized once for the
// model size so that evaluating allocates nothing.
struct LikelihoodWork {
  // Past n, Prediction and Residual hold the repeated periods of the last block.
  std::vector<double> Prediction;  // -999 in period 1
  std::vector<double> Residual;    // -999 in period 1
  std::vector<double> Filtered;    // 0 in period 1
  std::vector<double> Innovation;  // Innovation(1) is the back-cast first innovation
  std::vector<double> Power;       // rho^(i-1) for i = 1..n: the back-cast weights
  Coefficients coefficients;
  double Lambda = 0;
  double LambdaDeterminant = 0;  // G
  double SumSquares = 0;         // SS
  double OmegaPenalty = 0;
  double Objective = 0;

  // Lambda, G, ln G and Power follow from the corrected Omega and n alone;
  // they are kept while both stay the same, as they do through most of a
  // profile, a Hessian grid or a Marquardt derivative. A copy carries them.
  double LnLambdaDeterminant = 0;
  std::uint64_t omegaBits = 0;  // the Omega they belong to, bit for bit (so -0 is not 0)
  int omegaPeriods = 0;         // the n they belong to; 0 = none yet

  static LikelihoodWork Sized(int numSpecies);
};

// One evaluation: corrects an out-of-range Omega in values (index 2S + 5 of
// the 1-based vector), fills work and returns the objective. blocks are
// those packed from data. Throws NumericFault for a NaN Omega and for every
// floating-point fault.
double EvaluateLikelihood(const ModelData& data, const PeriodBlocks& blocks, std::span<double> values,
                          LikelihoodWork& work);

}  // namespace kalvex::model
