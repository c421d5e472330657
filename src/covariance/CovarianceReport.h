#pragma once
// The covariance report: a fixed-column text of the three grids that the
// "Covariance data" window shows and saves as the .cov file. The model
// ranking and averaging read that file back by line and column, so the
// layout is an interface: the estimate in columns 7 to 20 of the parameter
// lines, the standard errors ending in columns 38, 56 and 74.
//
// Pure functions of the results; the log texts of the run live here too so
// that the windows and kalvex-batch word them alike.
#include <optional>
#include <string>

#include "workspace/Results.h"

namespace kalvex {

// ln Gamma(x) by the six-term Lanczos series (reflection below 1).
double LogGamma(double x);

// The Student-t distribution function with 999 degrees of freedom at t,
// integrated from -20 by Simpson's rule on 4000 panels.
double StudentT999Cdf(double t);

// The two-sided p-value of |t| (t >= 0) to four decimals; nullopt stands
// for "<0.0001".
std::optional<double> TwoSidedP(double t);

// The whole report, CR LF line ends. Throws NumericFault when a
// correlation or determinant ratio overflows.
std::string CovarianceReportText(const CovarianceResults& results);

// The log lines of a Hessian that failed the positive-definite test at the
// given parameter number.
std::string NotPositiveDefiniteText(int parameter);

}  // namespace kalvex
