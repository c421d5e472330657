#include "evaluation/DistributionStatistics.h"

#include <cmath>
#include <utility>

namespace kalvex {
namespace {

// Confidence levels centred on point c: 0 at c, rising to 1 at both ends.
void CentredLevels(const std::vector<double>& cumulative, int count, int centre, std::vector<double>& level) {
  if (centre == 1) return;
  double below = cumulative[centre];
  for (int k = 1; k <= count; ++k) {
    if (k <= centre && below > 0)
      level[k] = (below - cumulative[k]) / below;
    else if (k > centre && 1 - below > 0)
      level[k] = (cumulative[k] - below) / (1 - below);
  }
}

}  // namespace

void DistributionStatistics(EvaluationTable& table, EvaluationSummary& summary, int modeIndex, double spacing) {
  const int n = table.PointCount;
  const int m = modeIndex;
  const double h = spacing;
  const std::vector<double>& x = table.GridValue;
  std::vector<double>& L = table.NegLnL;
  std::vector<double>& y = table.Pdf;  // the relative likelihoods until they are normalised

  for (int k = 1; k <= n; ++k)
    if (k != m) L[k] = L[k] - L[m];
  L[m] = 0;
  for (int k = 1; k <= n; ++k) y[k] = std::exp(-L[k]);

  // Simpson panels over points k, k+1, k+2 from the first point on.
  double s0 = 0, s1 = 0, s2 = 0;
  for (int k = 1; k <= n - 2; k += 2) {
    s0 += (y[k] + 4 * y[k + 1] + y[k + 2]) * 2 * h / 6;
    s1 += (x[k] * y[k] + 4 * x[k + 1] * y[k + 1] + x[k + 2] * y[k + 2]) * 2 * h / 6;
    s2 += (x[k] * x[k] * y[k] + 4 * (x[k + 1] * x[k + 1]) * y[k + 1] + x[k + 2] * x[k + 2] * y[k + 2]) * 2 * h / 6;
  }
  if (s0 > 0) {
    summary.ExpectedValue = s1 / s0;
    double variance = s2 / s0 - summary.ExpectedValue * summary.ExpectedValue;
    summary.EstimatedSE = variance >= 0 ? std::sqrt(variance) : 0.0;
  }

  const double mean = summary.ExpectedValue;
  const double se = summary.EstimatedSE;
  int nearest = 1;
  for (int k = 1; k <= n; ++k) {
    if (std::fabs(x[k] - mean) < std::fabs(x[nearest] - mean)) nearest = k;
    if (s0 > 0) y[k] = y[k] / s0;
    if (se > 0) {
      double d = x[k] - mean;
      table.NormalPdf[k] = std::exp(-(d * d) / (2 * (se * se))) / (std::sqrt(8 * std::atan(1.0)) * se);
    }
  }

  // Odd points by Simpson panels from point 1, even points by panels from
  // point 2 after a first rectangle.
  std::vector<double>& c = table.Cumulative;
  const std::vector<double>& pdf = table.Pdf;
  c[0] = 0;
  if (n >= 1) c[1] = pdf[1] * h;
  for (int j = 1; j <= n - 2; j += 2) {
    c[j + 2] = c[j] + (pdf[j] + 4 * pdf[j + 1] + pdf[j + 2]) * 2 * h / 6;
    if (c[j + 2] > 1) c[j + 2] = 1;
    if (j == 1)
      c[2] = c[1] + pdf[2] * h;
    else
      c[j + 1] = c[j - 1] + (pdf[j - 1] + 4 * pdf[j] + pdf[j + 1]) * 2 * h / 6;
    if (c[j + 1] > 1) c[j + 1] = 1;
  }

  CentredLevels(c, n, m, table.CiMode);
  CentredLevels(c, n, nearest, table.CiMean);
  summary.EstimatedDiff = summary.ModeValue - summary.ExpectedValue;
}

}  // namespace kalvex
