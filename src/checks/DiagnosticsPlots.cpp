#include "checks/DiagnosticsPlots.h"

#include <algorithm>
#include <boost/math/distributions/beta.hpp>
#include <boost/math/distributions/normal.hpp>
#include <cmath>

#include "checks/ReportText.h"
#include "plots/Panel.h"
#include "workspace/Format.h"

namespace kalvex::checks {
namespace {

using plots::AxisRange;
using plots::Figure;
using plots::Panel;
using plots::RoundTicks;
using plots::Stroke;

constexpr int kBlue = 9, kRed = 12, kDarkBlue = 1, kGrey = 8;

Figure Surface() { return plots::BlankFigure(kDiagnosticsPanelWidth, kDiagnosticsPanelHeight); }

double LargestMagnitude(std::span<const double> x) {
  double largest = 0;
  for (double v : x) largest = std::max(largest, std::fabs(v));
  return largest;
}

// A symmetric range about 0 that holds reach with a margin.
AxisRange Symmetric(double reach) {
  const double r = 1.1 * reach;
  return {-r, r};
}

std::string Fixed(double value, const char* pattern) { return FormatNumber(value, pattern); }

std::string PText(const std::optional<double>& p) { return p ? ProbabilityText(*p) : std::string("not defined"); }

Figure ResidualsByYear(const ResidualSeries& s, const ResidualStatistics& stats) {
  Figure figure = Surface();
  const std::vector<double>& r = s.standardized;
  const int n = static_cast<int>(r.size());
  const double first = n ? s.year.front() : 0, last = n ? s.year.back() : 1;
  const double reach = std::max({3.0, LargestMagnitude(r), stats.threeSigma.limit});
  Panel panel(figure, plots::PlotArea(figure.width, figure.height), {first - 0.5, last + 0.5}, Symmetric(reach));
  // Each run of one sign shaded over its years, blue above 0 and red below.
  for (int k = 0; k < n;) {
    int end = k;
    const bool positive = r[k] > 0;
    while (end + 1 < n && (r[end + 1] > 0) == positive) ++end;
    panel.Column(s.year[k] - 0.5, s.year[end] + 0.5, positive ? kBlue : kRed);
    k = end + 1;
  }
  const std::vector<double> yearTicks = RoundTicks(first, last, 6, 1);
  const std::vector<double> valueTicks = RoundTicks(-reach, reach, 6);
  panel.Frame(yearTicks, valueTicks);
  panel.Level(0, plots::kBlack, Stroke::Solid);
  if (stats.threeSigma.limit > 0) {
    panel.Level(stats.threeSigma.limit, kRed, Stroke::Dash);
    panel.Level(-stats.threeSigma.limit, kRed, Stroke::Dash);
  }
  panel.Polyline(s.year, r, kGrey);
  for (int k = 0; k < n; ++k)
    panel.Disc(s.year[k], r[k], std::fabs(r[k]) > stats.threeSigma.limit ? kRed : plots::kBlack);
  const RunsTest& runs = stats.runs;
  panel.Titles("Standardized residuals by year, runs above 0 blue and below 0 red",
               "Runs " + std::to_string(runs.runs) + " (expected " + Fixed(runs.expected, "0.00") +
                   "), p = " + PText(runs.P) + ";  dashed: three-sigma limits",
               "Year", "Residual");
  return figure;
}

Figure QuantilePlot(const ResidualSeries& s, const ResidualStatistics& stats) {
  Figure figure = Surface();
  const QuantileBand q = NormalQuantiles(s.standardized);
  const double reach = std::max({LargestMagnitude(q.theoretical), LargestMagnitude(q.sorted), LargestMagnitude(q.lower),
                                 LargestMagnitude(q.upper), 1.0});
  const AxisRange range = Symmetric(reach);
  Panel panel(figure, plots::PlotArea(figure.width, figure.height), range, range);
  const std::vector<double> ticks = RoundTicks(range.low, range.high, 6);
  panel.Frame(ticks, ticks);
  panel.Segment(range.low, range.low, range.high, range.high, kGrey);
  panel.Polyline(q.theoretical, q.lower, kDarkBlue, Stroke::Dash);
  panel.Polyline(q.theoretical, q.upper, kDarkBlue, Stroke::Dash);
  for (std::size_t k = 0; k < q.sorted.size(); ++k) {
    const bool out = q.sorted[k] < q.lower[k] || q.sorted[k] > q.upper[k];
    panel.Disc(q.theoretical[k], q.sorted[k], out ? kRed : plots::kBlack);
  }
  std::string subtitle = "Shapiro-Wilk test not defined";
  if (stats.shapiro)
    subtitle = "Shapiro-Wilk W = " + Fixed(stats.shapiro->W, "0.0000") + ", p = " + ProbabilityText(stats.shapiro->P);
  panel.Titles("Normal Q-Q plot", subtitle + ";  dashed: 95 % pointwise band", "Normal quantile", "Residual");
  return figure;
}

Figure AutocorrelationPlot(const ResidualStatistics& stats) {
  Figure figure = Surface();
  const int lags = static_cast<int>(stats.acf.size());
  const double reach = std::max({0.5, LargestMagnitude(stats.acf), stats.acfBand});
  Panel panel(figure, plots::PlotArea(figure.width, figure.height), {0.4, std::max(lags, 1) + 0.6}, Symmetric(reach));
  std::vector<double> lagTicks;
  for (int k = 1; k <= lags; ++k) lagTicks.push_back(k);
  panel.Frame(lagTicks, RoundTicks(-reach, reach, 6));
  panel.Level(0, plots::kBlack, Stroke::Solid);
  panel.Level(stats.acfBand, kDarkBlue, Stroke::Dash);
  panel.Level(-stats.acfBand, kDarkBlue, Stroke::Dash);
  for (int k = 1; k <= lags; ++k) {
    const double r = stats.acf[k - 1];
    panel.Fill(k - 0.15, 0, k + 0.15, r, std::fabs(r) > stats.acfBand ? kRed : kGrey, false);
  }
  std::string subtitle = "Fewer than four residuals: no lags";
  if (stats.ljungBox)
    subtitle = "Ljung-Box Q = " + Fixed(stats.ljungBox->Q, "0.000") + " (" + std::to_string(stats.ljungBox->lags) +
               " lags), p = " + ProbabilityText(stats.ljungBox->P) + ";  dashed: +-1.96/sqrt(n)";
  panel.Titles("Autocorrelation of the residuals", subtitle, "Lag", "Autocorrelation");
  return figure;
}

Figure HistogramPlot(const ResidualSeries& s, const ResidualStatistics& stats) {
  Figure figure = Surface();
  const std::vector<double>& r = s.standardized;
  constexpr double kWidth = 0.5;  // half a standard deviation per bin
  const double reach = std::max(3.0, LargestMagnitude(r));
  const double low = std::floor(-reach / kWidth) * kWidth, high = std::ceil(reach / kWidth) * kWidth;
  const int bins = static_cast<int>(std::lround((high - low) / kWidth));
  std::vector<int> counts(bins, 0);
  for (double v : r) counts[std::clamp(static_cast<int>(std::floor((v - low) / kWidth)), 0, bins - 1)] += 1;
  const double scale = r.empty() ? 0 : 1 / (kWidth * static_cast<double>(r.size()));
  double top = boost::math::constants::one_div_root_two_pi<double>();
  for (int c : counts) top = std::max(top, c * scale);
  Panel panel(figure, plots::PlotArea(figure.width, figure.height), {low, high}, {0, 1.1 * top});
  for (int b = 0; b < bins; ++b)
    if (counts[b] > 0) panel.Fill(low + b * kWidth, 0, low + (b + 1) * kWidth, counts[b] * scale, kBlue, true);
  for (int b = 0; b < bins; ++b) {
    if (counts[b] == 0) continue;
    const double x1 = low + b * kWidth, x2 = x1 + kWidth, y = counts[b] * scale;
    panel.Segment(x1, 0, x1, y, kGrey);
    panel.Segment(x1, y, x2, y, kGrey);
    panel.Segment(x2, y, x2, 0, kGrey);
  }
  panel.Frame(RoundTicks(low, high, 6, 1), RoundTicks(0, 1.1 * top, 5));
  std::vector<double> xs, ys;
  const boost::math::normal standard;
  for (int k = 0; k <= 120; ++k) {
    xs.push_back(low + (high - low) * k / 120);
    ys.push_back(pdf(standard, xs.back()));
  }
  panel.Polyline(xs, ys, kRed);
  panel.Titles("Histogram of the residuals",
               "Mean " + Fixed(stats.mean, "0.000") + ", SD " + Fixed(stats.sd, "0.000") + ";  line: normal density",
               "Residual", "Density");
  return figure;
}

}  // namespace

QuantileBand NormalQuantiles(std::span<const double> x) {
  QuantileBand q;
  q.sorted.assign(x.begin(), x.end());
  std::sort(q.sorted.begin(), q.sorted.end());
  const int n = static_cast<int>(q.sorted.size());
  const double a = n <= 10 ? 0.375 : 0.5;
  const boost::math::normal standard;
  for (int i = 1; i <= n; ++i) {
    q.theoretical.push_back(quantile(standard, (i - a) / (n + 1 - 2 * a)));
    const boost::math::beta_distribution<double> order(i, n + 1 - i);
    q.lower.push_back(quantile(standard, quantile(order, 0.025)));
    q.upper.push_back(quantile(standard, quantile(order, 0.975)));
  }
  return q;
}

plots::Figure DiagnosticsFigure(DiagnosticsPlot plot, const ResidualSeries& series, const ResidualStatistics& stats) {
  switch (plot) {
    case DiagnosticsPlot::Residuals:
      return ResidualsByYear(series, stats);
    case DiagnosticsPlot::QQ:
      return QuantilePlot(series, stats);
    case DiagnosticsPlot::Autocorrelation:
      return AutocorrelationPlot(stats);
    case DiagnosticsPlot::Histogram:
      break;
  }
  return HistogramPlot(series, stats);
}

plots::Figure DiagnosticsPicture(const ResidualSeries& series, const ResidualStatistics& stats) {
  std::vector<Figure> panels;
  for (DiagnosticsPlot plot : kDiagnosticsPlots) panels.push_back(DiagnosticsFigure(plot, series, stats));
  return plots::Arrange(panels, 2);
}

}  // namespace kalvex::checks
