#pragma once
// The six series the results summary hands to the x-y plot window: measured,
// predicted and residual harvest-rate indices, in ln form on one vertical
// range and untransformed on a second, against the time counter.
#include <vector>

#include "workspace/Results.h"

namespace kalvex::model {

struct ModelData;
struct BestFit;

struct PlotBounds {
  double lower = -0.0001, upper = 0.0001;
};

// Grows each bound from +-0.0001 through 1, 1.6, 2, 3.2, 4, 5, 6.4, 8, 10
// times a power of ten (at most 1000 steps) until it reaches every value of
// the periods; missing values do not count.
PlotBounds RoundedPlotBounds(const std::vector<std::vector<double>>& seriesValues);

plots::XYPlotData SummaryPlotData(const ModelData& data, const BestFit& best,
                                  const std::vector<double>& predictedIndex,
                                  const std::vector<double>& residualIndex);

}  // namespace kalvex::model
