#pragma once
// The point loop every one-parameter distribution shares (a likelihood
// profile, a posterior, a prior profile): the table filled point by point,
// the mode followed, and a quit that keeps the points before the last two.
#include <functional>
#include <optional>

#include "workspace/Results.h"

namespace kalvex {

struct PointSweep {
  EvaluationTable table;      // the points (only the kept ones once there are 3 or more)
  EvaluationSummary summary;  // the mode among them
  int count = 0;              // the points kept
  int pointsAsked = 0;        // the points the sweep was to evaluate
  int quitAt = 0;             // the point at which the user quit; 0: none
};

// The -ln[L] of point k at value x; nullopt when the user quit there.
using PointValue = std::function<std::optional<double>(int k, double x)>;

// Points 1..count at the values at(k): GridValue(k) is set before negLnL is
// asked for it. The mode is the first point with the smallest -ln[L] (below
// 1E+100). A quit at point k keeps the first k - 2 points.
PointSweep SweepPoints(int count, const std::function<double(int k)>& at, const PointValue& negLnL);

}  // namespace kalvex
