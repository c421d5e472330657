#pragma once
// The best-fit record: the smallest objective of the current run, the vector
// that gave it and the quantities the results summary reports from it.
#include <cstdint>
#include <span>
#include <vector>

#include "model/Likelihood.h"
#include "model/ModelData.h"

namespace kalvex::model {

struct BestFit {
  double BestObjective = 0;  // including the Omega penalty; 0 at program start
  double BestSumSquares = 0;
  double BestLambdaDeterminant = 0;
  double BestLambda = 0;
  double BestOmega = 0;  // after the range correction
  double b0 = 0;
  double bME = 0;
  double bPE = 0;
  double bV = 0;
  std::vector<double> bMESpecies;  // 1..S
  std::vector<double> bPESpecies;  // 1..S
  std::vector<double> BestValues;  // 1..NumParameters, after the range correction
  std::vector<double> PredictedLnIndex;  // -999 in period 1
  std::vector<double> ResidualLnIndex;   // -999 in period 1

  // Sizes the per-species, per-parameter and per-period arrays anew (zeros);
  // the scalars, BestObjective among them, are kept.
  void Resize(int numSpecies, int numParameters);
};

// The run's first call (nf == 1) always replaces the record; later calls only
// with a strictly smaller objective.
bool ReplacesBestFit(int32_t nf, double objective, const BestFit& best);

// Copies the evaluation in work (made at values) into best.
void StoreBestFit(BestFit& best, const ModelData& data, const LikelihoodWork& work,
                  std::span<const double> values);

}  // namespace kalvex::model
