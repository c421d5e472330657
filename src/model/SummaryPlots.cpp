#include "model/SummaryPlots.h"

#include <algorithm>

#include "model/BestFit.h"
#include "model/ModelData.h"

namespace kalvex::model {
namespace {

constexpr int kMaxBoundSteps = 1000;

// The factor of step s (1-based) of each cycle of eight: 1.6 at steps 1 and
// 3, 1.28 at step 6, 1.25 otherwise; eight steps make a factor of ten.
double BoundFactor(int step) {
  int inCycle = (step - 1) % 8 + 1;
  if (inCycle == 1 || inCycle == 3) return 1.6;
  if (inCycle == 6) return 1.28;
  return 1.25;
}

double GrowUpper(double value) {
  double bound = 0.0001;
  for (int step = 1; step <= kMaxBoundSteps && bound < value; ++step) bound *= BoundFactor(step);
  return bound;
}

double GrowLower(double value) {
  double bound = -0.0001;
  for (int step = 1; step <= kMaxBoundSteps && bound > value; ++step) bound *= BoundFactor(step);
  return bound;
}

}  // namespace

PlotBounds RoundedPlotBounds(const std::vector<std::vector<double>>& seriesValues) {
  PlotBounds bounds;
  for (const std::vector<double>& series : seriesValues)
    for (double value : series) {
      if (plots::IsMissing(value)) continue;
      bounds.upper = std::max(bounds.upper, GrowUpper(value));
      bounds.lower = std::min(bounds.lower, GrowLower(value));
    }
  return bounds;
}

plots::XYPlotData SummaryPlotData(const ModelData& d, const BestFit& best, const std::vector<double>& predictedIndex,
                                  const std::vector<double>& residualIndex) {
  const int n = d.NumPeriods;
  std::vector<std::vector<double>> columns(6, std::vector<double>(n, 0.0));
  for (int i = 1; i <= n; ++i) {
    // Period 1 of the predicted and residual series is undefined.
    const bool defined = i >= 2;
    columns[0][i - 1] = d.LnIndex[i];
    columns[1][i - 1] = defined ? best.PredictedLnIndex[i] : plots::kMissingValue;
    columns[2][i - 1] = defined ? best.ResidualLnIndex[i] : plots::kMissingValue;
    columns[3][i - 1] = d.HarvestIndex[i];
    columns[4][i - 1] = defined ? predictedIndex[i] : plots::kMissingValue;
    columns[5][i - 1] = defined ? residualIndex[i] : plots::kMissingValue;
  }
  const PlotBounds lnRange = RoundedPlotBounds({columns[0], columns[1], columns[2]});
  const PlotBounds indexRange = RoundedPlotBounds({columns[3], columns[4], columns[5]});

  plots::XYPlotData plot;
  plot.values.Resize(n, 6);
  for (int s = 1; s <= 6; ++s)
    for (int i = 1; i <= n; ++i) plot.values(i, s) = columns[s - 1][i - 1];
  plot.seriesLabels = {"",
                       "ln[Measured harvest rate indices]",
                       "ln[Predicted harvest rate indices]",
                       "ln[Residuals]",
                       "Measured harvest rate indices",
                       "Predicted harvest rate indices",
                       "Residuals"};
  plot.seriesMinimum = {0, lnRange.lower, lnRange.lower, lnRange.lower,
                        indexRange.lower, indexRange.lower, indexRange.lower};
  plot.seriesMaximum = {0, lnRange.upper, lnRange.upper, lnRange.upper,
                        indexRange.upper, indexRange.upper, indexRange.upper};
  plot.xLabel = "Time Counter";
  plot.xMinimum = plot.xStartLabel = 1;
  plot.xMaximum = plot.xEndLabel = n;
  plot.pageText = "1";
  return plot;
}

}  // namespace kalvex::model
