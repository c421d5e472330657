#pragma once
// The numbers of the Oskane results summary: the fit statistics, the
// regression-variance data behind the untransformed predictions, and the
// forecast with its probability grid. Computed from the best-fit record and
// the model data; every floating-point fault throws NumericFault.
#include <string>
#include <vector>

#include "model/BestFit.h"
#include "model/Likelihood.h"
#include "model/ModelData.h"
#include "model/Parameters.h"
#include "workspace/Matrix.h"

namespace kalvex::model {

// What the summary reads; the caller keeps the referenced objects alive.
struct SummaryInputs {
  const ModelData& data;
  const BestFit& best;
  const LikelihoodWork& last;  // the evaluation just made (Innovation(1), coefficients)
  ParameterLayout layout;
  const std::vector<std::string>& descriptions;  // 1..NumParameters
  const std::vector<double>& steps;              // 1..NumParameters
  std::string algorithmFileName;
  std::string priorsFileName;
};

struct FitStatistics {
  int k = 0;  // parameters with a non-zero step
  double AICc = 0;
  double Theta2 = 0;
  double PhiSD = 0;  // process error
  double PsiSD = 0;  // measurement error
  double ThetaSD = 0;
  double Nu2 = 0;    // correlated error variance
};

FitStatistics ComputeFitStatistics(const SummaryInputs& in);

// Design column c of period i (c = 1..NumEstimated, i = 2..n) and the
// coefficient that multiplies it.
double DesignValue(const ModelData& d, const ParameterLayout& layout, int i, int c);
double DesignCoefficient(const BestFit& best, const ParameterLayout& layout, int c);

struct RegressionVariance {
  std::vector<int> activeColumns;  // 0-based list of design columns, increasing
  std::vector<double> mean;        // per active column (0-based)
  Matrix inverse;                  // M, p x p (1-based)
  std::vector<double> leverage;    // H(i), i = 2..n
  std::vector<double> predictedIndex;  // -999 in period 1
  std::vector<double> residualIndex;   // -999 in period 1
};

// Column c is active when its coefficient and some value of it are not 0.
// Column 1 (IndexGap) is column 4 minus column 3 in every period, so it is
// left out when both of those are active: the cross products would be
// singular and the fitted space is the same without it.
std::vector<int> ActiveColumns(const SummaryInputs& in);

RegressionVariance ComputeRegressionVariance(const SummaryInputs& in, double theta2);

struct ForecastData {
  double effort = 0, intervention = 0;
  std::vector<double> catches;  // 1..S
  double Mu = 0;      // forecast ln index
  double Hf = 0;
  double Sigma2 = 0;
  double mostLikely = 0;  // exp(Mu)
  double expected = 0;    // E
  double variance = 0;    // VarI
  double sd = 0;
};

ForecastData ComputeForecast(const SummaryInputs& in, const RegressionVariance& rv, double theta2);

inline constexpr int kGridBins = 200;

struct ProbabilityGrid {
  double low = 0, high = 0, width = 0;
  // 1..200; element 0 is the grid's left end (edge 0, cumulative 0).
  std::vector<double> binEdge, binMass, cumulative, attenuated, ciBound;
  double modeCumulative = 0;
};

ProbabilityGrid ComputeProbabilityGrid(const ForecastData& forecast, double pi);

}  // namespace kalvex::model
