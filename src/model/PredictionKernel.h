#pragma once
// The prediction, residual and moving-average filter of one evaluation, run
// over the period blocks on the vector unit they were packed for.
#include "model/Likelihood.h"
#include "model/PeriodBlocks.h"

namespace kalvex::model {

// Fills Prediction, Residual and Filtered of periods 2..n and returns the
// back-cast sum T = sum over i = 2..n of Power(i) x Filtered(i). Power holds
// rho^(i - 1) already, or, with fillPower, is filled from Power(1) = 1 by the
// running product. Every value is the one the formula gives when it is
// worked period by period, in its written order, to the last bit.
double PredictAndFilter(const PeriodBlocks& blocks, const Coefficients& c, double rho, bool fillPower,
                        LikelihoodWork& w);

}  // namespace kalvex::model
