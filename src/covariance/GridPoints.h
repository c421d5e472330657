#pragma once
// The points of one Hessian grid in the order they are visited: free pairs
// e <= f in parameter order, the diagonal pair first, each with its plus
// and its minus point; and the running summary of their differences from
// the centre. The grid loops on one thread and on a pool share both, so
// their points and sums agree to the last bit.
#include <vector>

#include "workspace/Results.h"

namespace kalvex {

struct GridPoint {
  int e = 0, f = 0;  // free numbers, e <= f
  int p = 0, q = 0;  // their parameter numbers
  double sign = 1;   // +1: the plus point, -1: the minus point
  bool evaluated = true;  // false for the off-diagonal points of optimistic SEs (their value is F0)
};

// The n(n + 1) points of a grid of the run, in visiting order.
std::vector<GridPoint> GridPointsOf(const CovarianceResults& results);

// The work values moved by sign x h x step along p (and q) for grid g.
void MakeTrial(const CovarianceResults& results, int grid, const GridPoint& point, std::vector<double>& trial);

// The sums of the differences F - F0 and their squares; the centre counts
// as the first point. Add and Finish throw NumericFault on an overflow.
class GridSummary {
 public:
  void Add(double value, double centre);
  // Sets GridMean(g) and the signed GridSD(g).
  void Finish(CovarianceResults& results, int grid) const;

 private:
  double s1_ = 0, s2_ = 0, count_ = 1;
};

}  // namespace kalvex
