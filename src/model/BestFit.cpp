#include "model/BestFit.h"

#include <algorithm>

namespace kalvex::model {

void BestFit::Resize(int numSpecies, int numParameters) {
  const std::size_t species = static_cast<std::size_t>(numSpecies) + 1;
  bMESpecies.assign(species, 0.0);
  bPESpecies.assign(species, 0.0);
  BestValues.assign(static_cast<std::size_t>(numParameters) + 1, 0.0);
  PredictedLnIndex.assign(kMaxTimePeriods + 1, 0.0);
  ResidualLnIndex.assign(kMaxTimePeriods + 1, 0.0);
}

bool ReplacesBestFit(int32_t nf, double objective, const BestFit& best) {
  return nf == 1 || objective < best.BestObjective;
}

void StoreBestFit(BestFit& best, const ModelData& d, const LikelihoodWork& w, std::span<const double> values) {
  const Coefficients& c = w.coefficients;
  best.BestObjective = w.Objective;
  best.BestSumSquares = w.SumSquares;
  best.BestLambdaDeterminant = w.LambdaDeterminant;
  best.BestLambda = w.Lambda;
  best.BestOmega = c.W;
  best.b0 = c.b0;
  best.bME = c.bME;
  best.bPE = c.bPE;
  best.bV = c.bV;
  std::copy(c.bMESpecies.begin(), c.bMESpecies.end(), best.bMESpecies.begin());
  std::copy(c.bPESpecies.begin(), c.bPESpecies.end(), best.bPESpecies.begin());
  std::copy_n(values.begin(), best.BestValues.size(), best.BestValues.begin());

  best.PredictedLnIndex[1] = kUndefined;
  best.ResidualLnIndex[1] = kUndefined;
  for (int i = 2; i <= d.NumPeriods; ++i) {
    // IndexFromStart - Innovation is the predicted ln index less the effort
    // taken out of it; adding LnEffortFromStart back gives LnIndex - Innovation.
    best.PredictedLnIndex[i] = d.IndexFromStart[i] - w.Innovation[i] + d.LnEffortFromStart[i];
    best.ResidualLnIndex[i] = d.LnIndex[i] - best.PredictedLnIndex[i];
  }
}

}  // namespace kalvex::model
