#pragma once
// Model averaging: each parameter's estimate averaged over the ranked models
// by their Akaike weights, and its standard error per covariance grid with
// the spread of the estimates between models added in,
//   SE(p, g) = sum over i of w(i) x sqrt(C-hat x SE(p, i, g)^2 + (Estimate(p, i) - Average(p))^2),
// or -1 for a grid that some model lacks (an SE of -1 in its file).
#include <array>
#include <string>
#include <vector>

#include "ranking/CovarianceEstimates.h"

namespace kalvex::ranking {

struct AveragingInput {
  int numParameters = 0;
  double chat = 1;
  std::vector<double> weights;                // per model, in ranked order
  std::vector<CovarianceEstimates> models;    // the same order
};

struct AveragingResult {
  std::vector<double> average;                        // 1..numParameters
  std::vector<std::array<double, kGrids>> averageSE;  // 1..numParameters
};

// Throws NumericFault when a sum is not finite.
AveragingResult AverageModels(const AveragingInput& input);

// The text of txtAverage (CR LF lines).
std::string AveragingText(const AveragingResult& result);

}  // namespace kalvex::ranking
