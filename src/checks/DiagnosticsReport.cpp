#include "checks/DiagnosticsReport.h"

#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::checks {
namespace {

std::string Value(double value) { return FormatNumber(value, "####0.00000"); }

std::string WithP(const std::string& row, double p) { return row + ",  p = " + RightJustify(ProbabilityText(p), 10); }

}  // namespace

std::string DiagnosticsReportText(const ReportSources& sources, const ResidualSeries& series,
                                  const ResidualStatistics& stats) {
  TextBuilder t;
  t.Line("Residual diagnostics of the current fit");
  t.Line();
  SourceLines(t, sources);
  t.Line();
  t.Line(Row("The likelihood function minimum (-2ln[L]) is:", FormatNumber(series.objective, "0.0000E+00")));
  t.Line(Row("The innovation SD, square root of SS / (n - 1), is:", FormatNumber(series.innovationSd, "0.0000E+00")));
  t.Line(Row("Standardized residuals (periods 2 to n):", std::to_string(stats.count)));
  t.Line();
  t.Line(Row("Mean:", Value(stats.mean)));
  t.Line(Row("SD:", Value(stats.sd)));
  if (stats.ljungBox)
    t.Line(WithP(Row("Ljung-Box Q, lags 1 to " + std::to_string(stats.ljungBox->lags) + " (chi-squared, " +
                         std::to_string(stats.ljungBox->lags) + " df):",
                     Value(stats.ljungBox->Q)),
                 stats.ljungBox->P));
  else
    t.Line(Row("Ljung-Box Q:", "no lags"));
  if (stats.shapiro)
    t.Line(WithP(Row("Shapiro-Wilk W:", Value(stats.shapiro->W)), stats.shapiro->P));
  else
    t.Line(Row("Shapiro-Wilk W:", "not defined"));
  const RunsTest& runs = stats.runs;
  t.Line(Row(
      "Runs of signs (" + std::to_string(runs.positive) + " positive, " + std::to_string(runs.negative) + " negative):",
      std::to_string(runs.runs)));
  const std::string expected = Row("Runs expected:", Value(runs.expected));
  const char* direction = runs.runs < runs.expected   ? "  (two-sided; fewer runs than expected)"
                          : runs.runs > runs.expected ? "  (two-sided; more runs than expected)"
                                                      : "  (two-sided)";
  t.Line(runs.P ? WithP(expected, *runs.P) + direction : expected + ",  p not defined");
  t.Line(Row("Moving-range SD:", Value(stats.threeSigma.sd)));
  t.Line(Row("Three-sigma limits, +-:", Value(stats.threeSigma.limit)));
  t.Line(Row("Residuals within three standard deviations:", stats.threeSigma.outside == 0 ? "yes" : "no") + "  (" +
         std::to_string(stats.threeSigma.outside) + " outside)");
  t.Line();
  t.Line("Autocorrelation (95 % band +-" + FormatNumber(stats.acfBand, "0.00000") + "):");
  t.Line();
  t.Line("    Lag,  Autocorrelation");
  for (std::size_t k = 0; k < stats.acf.size(); ++k)
    t.Line(RightJustify(std::to_string(k + 1), 7) + "," + RightJustify(FormatNumber(stats.acf[k], "###0.00000"), 17));
  t.Line();
  t.Line("Residuals (standardized: the innovation over sigma x sqrt(1 - Lambda^(2(i-1)) / G)):");
  t.Line();
  t.Line("   Year,  Count,     Innovation,  Standardized");
  for (std::size_t k = 0; k < series.standardized.size(); ++k)
    t.Line(RightJustify(FormatNumber(series.year[k], "###0"), 7) + "," +
           RightJustify(std::to_string(series.period[k]), 7) + "," +
           RightJustify(FormatNumber(series.innovation[k], "###0.00000000"), 15) + "," +
           RightJustify(FormatNumber(series.standardized[k], "###0.00000"), 14));
  t.Line();
  t.Line("Done!");
  return t.Text();
}

}  // namespace kalvex::checks
