#pragma once
// Turns a profile of -ln[L] values on an equally spaced grid into a
// distribution: relative likelihoods normalised by Simpson's rule, the mean
// and standard deviation, the cumulative column, the mode- and mean-centred
// confidence levels and a Gaussian with the same moments.
#include "workspace/Results.h"

namespace kalvex {

// modeIndex is the point with the smallest -ln[L]; spacing the (positive)
// distance between neighbouring points. Reads GridValue, NegLnL and
// summary.ModeValue; rewrites NegLnL relative to the mode and fills the
// other columns, ExpectedValue, EstimatedSE and EstimatedDiff. A profile
// whose Simpson integral is not positive keeps the former mean and SE.
// With an even count the last interval is left out.
void DistributionStatistics(EvaluationTable& table, EvaluationSummary& summary, int modeIndex, double spacing);

}  // namespace kalvex
