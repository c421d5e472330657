#pragma once
// The four pictures of the residual diagnostics as figures: residuals
// against year with their sign runs shaded, the normal Q-Q plot with a 95 %
// pointwise band, the autocorrelation function with its 95 % band, and the
// histogram with the standard normal density.
#include <array>

#include "checks/ResidualStatistics.h"
#include "checks/Residuals.h"
#include "plots/Figure.h"

namespace kalvex::checks {

inline constexpr double kDiagnosticsPanelWidth = 7200, kDiagnosticsPanelHeight = 5400;  // twips

enum class DiagnosticsPlot { Residuals, QQ, Autocorrelation, Histogram };
inline constexpr std::array<DiagnosticsPlot, 4> kDiagnosticsPlots = {
    DiagnosticsPlot::Residuals, DiagnosticsPlot::QQ, DiagnosticsPlot::Autocorrelation, DiagnosticsPlot::Histogram};

plots::Figure DiagnosticsFigure(DiagnosticsPlot plot, const ResidualSeries& series, const ResidualStatistics& stats);
// The four side by side, two to a row: the picture saved with the report.
plots::Figure DiagnosticsPicture(const ResidualSeries& series, const ResidualStatistics& stats);

// The Q-Q plot's numbers: the normal quantiles of the plotting positions
// (i - a) / (n + 1 - 2a), a = 3/8 up to 10 values and 1/2 beyond, and the
// 2.5 % and 97.5 % points of the i-th of n normal order statistics (from
// the beta distribution of a uniform order statistic).
struct QuantileBand {
  std::vector<double> theoretical, sorted, lower, upper;
};
QuantileBand NormalQuantiles(std::span<const double> x);

}  // namespace kalvex::checks
