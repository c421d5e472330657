#include "workspace/Results.h"

#include <cmath>
#include <utility>

namespace kalvex {

EvaluationTable::EvaluationTable(int count)
    : PointCount(count),
      GridValue(static_cast<std::size_t>(count) + 1, 0.0),
      NegLnL(GridValue),
      Pdf(GridValue),
      CiMode(GridValue),
      CiMean(GridValue),
      NormalPdf(GridValue),
      Cumulative(GridValue) {}

BivariateGrid::BivariateGrid(int n, int m)
    : PointCount(n),
      GridPointCount(m),
      X(static_cast<std::size_t>(n) + 1, 0.0),
      Y(static_cast<std::size_t>(m) + 1, 0.0),
      Density((static_cast<std::size_t>(n) + 1) * (static_cast<std::size_t>(m) + 1), 0.0) {}

void KeepFirstPoints(EvaluationTable& table, EvaluationSummary& summary, int count) {
  if (count < 3) return;
  EvaluationTable shorter(count);
  for (int k = 1; k <= count; ++k) {
    shorter.GridValue[k] = table.GridValue[k];
    shorter.NegLnL[k] = table.NegLnL[k];
  }
  table = std::move(shorter);
  if (summary.ModeIndex <= count) return;
  summary = EvaluationSummary{};
  for (int k = 1; k <= count; ++k)
    if (table.NegLnL[k] < summary.BestNegLnL) {
      summary.BestNegLnL = table.NegLnL[k];
      summary.ModeValue = table.GridValue[k];
      summary.ModeIndex = k;
    }
}

void ReverseTable(EvaluationTable& table, EvaluationSummary& summary) {
  const int n = table.PointCount;
  for (int i = 1; i <= n / 2; ++i) {
    std::swap(table.GridValue[i], table.GridValue[n - i + 1]);
    std::swap(table.NegLnL[i], table.NegLnL[n - i + 1]);
  }
  summary.ModeIndex = n - summary.ModeIndex + 1;
  summary.ModeValue = table.GridValue[summary.ModeIndex];
  summary.BestNegLnL = table.NegLnL[summary.ModeIndex];
}

double PercentDiff(const EvaluationSummary& summary) {
  constexpr double kUndefined = -999;
  if (summary.ExpectedValue == 0) return kUndefined;
  double percent = summary.EstimatedDiff * 100 / summary.ExpectedValue;
  return std::isfinite(percent) ? percent : kUndefined;
}

}  // namespace kalvex
