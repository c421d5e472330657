#include "evaluation/PointSweep.h"

#include <algorithm>

namespace kalvex {

PointSweep SweepPoints(int count, const std::function<double(int k)>& at, const PointValue& negLnL) {
  PointSweep sweep;
  sweep.count = sweep.pointsAsked = count;
  sweep.table = EvaluationTable(count);
  EvaluationTable& table = sweep.table;
  EvaluationSummary& summary = sweep.summary;
  for (int k = 1; k <= count; ++k) {
    table.GridValue[k] = at(k);
    std::optional<double> value = negLnL(k, table.GridValue[k]);
    if (!value) {
      sweep.quitAt = k;
      // The point being worked on and the one before it go.
      sweep.count = std::max(k - 2, 0);
      KeepFirstPoints(table, summary, sweep.count);
      return sweep;
    }
    table.NegLnL[k] = *value;
    if (table.NegLnL[k] < summary.BestNegLnL) {
      summary.BestNegLnL = table.NegLnL[k];
      summary.ModeValue = table.GridValue[k];
      summary.ModeIndex = k;
    }
  }
  return sweep;
}

}  // namespace kalvex
