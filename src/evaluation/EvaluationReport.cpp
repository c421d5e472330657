#include "evaluation/EvaluationReport.h"

#include "evaluation/DistributionStatistics.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

std::string Field(double value) { return RightJustify(FormatNumber(value, "0.0000E+000   "), 15); }

}  // namespace

std::string EvaluationReportText(std::string_view title, const EvaluationTable& t, const EvaluationSummary& s,
                                 std::string_view note) {
  TextBuilder text;
  text.Line(title);
  text.Line();
  text.Line("  Point       Value         -ln[L]           PDF        CI on mode     CI on mean     Normal PDF");
  for (int k = 1; k <= t.PointCount; ++k)
    text.Line(RightJustify(FormatNumber(k, "##0"), 5) + "    " + Field(t.GridValue[k]) + Field(t.NegLnL[k]) +
              Field(t.Pdf[k]) + Field(t.CiMode[k]) + Field(t.CiMean[k]) + Field(t.NormalPdf[k]));
  text.Line();
  text.Line("Max Likelihood: " + Field(s.ModeValue));
  text.Line("Expected Value: " + Field(s.ExpectedValue));
  text.Line("Estimated Diff: " + Field(s.EstimatedDiff));
  text.Line("Percent Diff:   " + Field(PercentDiff(s)));
  text.Line("Estimated SE:   " + Field(s.EstimatedSE));
  if (!note.empty()) text.Line(note);
  return text.Text();
}

std::string BivariateGridText(const BivariateGrid& grid) {
  TextBuilder text;
  // Each number with its sign position in front and a blank behind.
  text.Line("Bivariate plot data for parameters" + StrNumber(grid.ProfileParameter) + " and" +
            StrNumber(grid.IntegratedParameter) + " ");
  text.Line("        X_Coord,        Y_Coord,  Prob_Density");
  for (int k = 1; k <= grid.PointCount; ++k)
    for (int j = 1; j <= grid.GridPointCount; ++j)
      text.Line(FormatNumber(grid.X[k], "    0.0000E+000") + FormatNumber(grid.Y[j], "     0.0000E+000") +
                FormatNumber(grid.At(k, j), "    0.0000E+000"));
  return text.Text();
}

}  // namespace kalvex
