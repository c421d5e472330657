#include "model/SummaryReport.h"

#include <cmath>

#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"

namespace kalvex::model {
namespace {

std::string RJ(double value, const char* pattern, int width) { return RightJustify(FormatNumber(value, pattern), width); }
std::string F(double value, const char* pattern) { return FormatNumber(value, pattern); }
std::string Int(int value) { return std::to_string(value); }

void Header(TextBuilder& t, const SummaryInputs& in, const FitStatistics& s) {
  const BestFit& b = in.best;
  t.Line("Results of an Oskane Index analysis and forecast [Pellow et al. (1999) NAJFM 000:000-000]");
  if (!in.priorsFileName.empty()) {
    t.Line();
    t.Line("Important note: This analysis used Bayesian prior information");
  }
  t.Line();
  t.Line("This name of the data file is:           " + in.data.DataFileName);
  t.Line();
  t.Line("The algorithm data file name is:         " + in.algorithmFileName);
  if (!in.priorsFileName.empty()) t.Line("The Bayesian prior information file name is:   " + in.priorsFileName);
  t.Line();
  t.Line("The likelihood function is from Dravin et al. (1989) Can. J. Fish. Aquat. Sci 46:743-769");
  t.Line();
  t.Line("The likelihood function minimum (-2ln[L]) is:       " + RJ(b.BestObjective, "0.0000E+00", 12));
  t.Line("The number of free parameters is:               " + RJ(s.k, "##0", 12));
  t.Line("The Akaike Information Criterion (AICc, Corrant & Vesk 1998) is: " + RJ(s.AICc, "0.0000E+00", 12));
  t.Line();
  t.Line("The sum of squares is:                                " + F(b.BestSumSquares, "0.0000E+00"));
  t.Line("The estimated value of Lambda is:                     " + F(b.BestLambda, "0.0000E+00"));
  t.Line("The determinant of Lambda is:                         " + F(b.BestLambdaDeterminant, "0.0000E+00"));
  t.Line();
  auto sdAndVariance = [](double sd, double variance) {
    return F(sd, "0.0000E+00") + ", " + F(variance, "0.0000E+00");
  };
  t.Line("The SD, then variance (Nu^2), of correlated error is:                        " +
         sdAndVariance(SafeSqrt(s.Nu2), s.Nu2));
  t.Line("The SD, then variance (Psi^2 or (1-Omega)*Theta^2), of measurement error is: " +
         sdAndVariance(s.PsiSD, s.PsiSD * s.PsiSD));
  t.Line("The SD, then variance (Phi^2 or Omega*Theta^2), of process error is:         " +
         sdAndVariance(s.PhiSD, s.PhiSD * s.PhiSD));
  t.Line("The SD, then variance (Theta^2), of uncorrelated error is:                   " +
         sdAndVariance(s.ThetaSD, s.ThetaSD * s.ThetaSD));
  t.Line();
}

void ParameterLines(TextBuilder& t, const SummaryInputs& in) {
  const int estimated = in.layout.Estimated(), count = in.layout.Count();
  auto line = [&](int i) {
    t.Line("Parameter # " + F(i, "00") + " estimate: " + RJ(in.best.BestValues[i], "###########0.0000000  ", 24) +
           in.descriptions.at(i));
  };
  t.Line("Note: Not necessarily all " + Int(estimated) + " parameters are active for this analysis.");
  t.Line();
  t.Line("The following parameter values are estimated:");
  t.Line();
  for (int i = 1; i <= estimated; ++i) line(i);
  t.Line();
  t.Line("The following parameter values are used only for forecasting:");
  t.Line();
  for (int i = estimated + 1; i <= count; ++i) line(i);
  t.Line();
}

void TrueValueLines(TextBuilder& t, const SummaryInputs& in) {
  const double W = in.best.BestOmega;
  const Coefficients& c = in.last.coefficients;
  if (W < 1) {
    const double tau = SafeDivide(in.data.LnIndex[1] - in.last.Innovation[1], 1 - W);
    t.Line("The estimated true value for TauM(1) is:  " + RJ(tau, "####0.00000", 12));
  } else {
    t.Line("The estimated true value for TauM(1) is undefined");
  }
  const int S = in.layout.species;
  for (int j = 1; j <= S; ++j)
    t.Line("The estimated value for Gamma(M," + Int(j) + ") is:    " +
           RJ(SafeDivide(c.bMESpecies[j], c.bME + 1), "####0.00000", 12));
  for (int j = 1; j <= S; ++j)
    t.Line("The estimated value for Gamma(P," + Int(j) + ") is:    " +
           RJ(SafeDivide(c.bPESpecies[j], c.bPE + 1), "####0.00000", 12));
}

void MeasuredTable(TextBuilder& t, const SummaryInputs& in) {
  const ModelData& d = in.data;
  const int S = in.layout.species;
  std::string header1 = "           Time,       Measured,";
  std::string header2 = "   Year,  Count,         Effort,";
  for (int j = 1; j <= S; ++j) {
    header1 += "     Measured,";
    header2 += "   Sp " + Int(j) + " Catch,";
  }
  header1 += "      Analyst's,       Measured,";
  header2 += "              V,          Index";
  t.Line();
  t.Line("Measured Data:");
  t.Line();
  t.Line(header1);
  t.Line(header2);
  t.Line();
  for (int i = 1; i <= d.NumPeriods; ++i) {
    std::string row = RJ(d.Year[i], "###0", 7) + "," + RJ(d.TimeCount[i], "#####0", 7) + "," +
                      RJ(d.Effort[i], "#######0", 15) + ",";
    for (int j = 1; j <= S; ++j) row += RJ(d.Catch(i, j), "#######0", 13) + ",";
    row += RJ(d.Intervention[i], "#######0", 15) + "," + RJ(d.HarvestIndex[i], "###0.0000", 15);
    t.Line(row);
  }
}

void PredictedTable(TextBuilder& t, const SummaryInputs& in, const RegressionVariance& rv) {
  const ModelData& d = in.data;
  t.Line();
  t.Line("Measured, calculated and predicted values (Note: Undefined values are represented by -999):");
  t.Line();
  t.Line("                                                       Ln,           Ln,           Ln,");
  t.Line("           Time,                                 Measured,    Predicted,     Residual,     Measured,    "
         "Predicted,    Residual");
  t.Line("   Year,  Count,        Tau_M,        Tau_P,        Index,        Index,        Index,        Index,        "
         "Index,       Index");
  t.Line();
  for (int i = 1; i <= d.NumPeriods; ++i) {
    t.Line(RJ(d.Year[i], "###0", 7) + "," + RJ(d.TimeCount[i], "#####0", 7) + "," +
           RJ(d.IndexFromStart[i], "###0.0000", 13) + "," + RJ(d.IndexStep[i], "####0.0000", 13) + "," +
           RJ(d.LnIndex[i], "###0.0000", 13) + "," + RJ(in.best.PredictedLnIndex[i], "####0.0000", 13) + "," +
           RJ(in.best.ResidualLnIndex[i], "####0.0000", 13) + "," + RJ(d.HarvestIndex[i], "###0.0000", 13) + "," +
           RJ(rv.predictedIndex[i], "###0.0000", 13) + "," + RJ(rv.residualIndex[i], "####0.0000", 12));
  }
}

}  // namespace

std::string SummaryReportText(const SummaryInputs& in, const FitStatistics& stats, const RegressionVariance& rv) {
  TextBuilder t;
  Header(t, in, stats);
  ParameterLines(t, in);
  TrueValueLines(t, in);
  MeasuredTable(t, in);
  PredictedTable(t, in, rv);
  return t.Text();
}

std::string ForecastReportText(const SummaryInputs& in, const ForecastData& f, const ProbabilityGrid& g) {
  TextBuilder t;
  t.Line();
  t.Line("The forecast for time period f was made using a value for effort of:              " +
         RJ(f.effort, "########0.00", 12));
  for (int j = 1; j <= in.layout.species; ++j)
    t.Line("The forecast for time period f was made using a catch for Species " + Int(j) + " of:           " +
           RJ(f.catches[j], "########0.00", 12));
  t.Line("The forecast for time period f was made using a intervention value of:            " +
         RJ(f.intervention, "########0.00", 12));
  t.Line();
  t.Line("The ln[forecasted harvest rate index] for time period f is:                 " + RJ(f.Mu, "####0.0000", 12));
  t.Line("The most likely forecasted harvest rate index for time period f is:         " +
         RJ(f.mostLikely, "####0.0000", 12));
  t.Line("The expected forecasted harvest rate index for time period f is:            " +
         RJ(f.expected, "####0.0000", 12));
  t.Line();
  t.Line("The SD, then variance, of the ln[forecasted harvest rate index] for time period f is:  " +
         RJ(SafeSqrt(f.Sigma2), "####0.000000", 12) + ", " + RJ(f.Sigma2, "####0.000000", 12));
  t.Line("The SD, Then variance, of the forecasted harvest rate index for time period f is:      " +
         RJ(f.sd, "####0.000000", 12) + ", " + RJ(f.variance, "####0.000000", 12));
  t.Line();
  t.Line("Probability and confidence interval (CI) summaries for the forecasted harvest rate index for time period f:");
  t.Line();
  t.Line("  Harvest Rate,   Probability,    Cumulative,    Attenuated,     Bounds of");
  t.Line("         Index,          Mass,   Probability,   Probability,    Percent CI");
  t.Line();
  for (int k = 1; k <= kGridBins; ++k) {
    if (!(g.cumulative[k] > 0.00001 && g.cumulative[k] < 0.99999)) continue;
    t.Line(RJ(g.binEdge[k], "####0.0000", 14) + "," + RJ(g.binMass[k], "####0.0000", 14) + "," +
           RJ(g.cumulative[k], "####0.0000", 14) + "," + RJ(g.attenuated[k], "###0.0000", 14) + "," +
           RJ(g.ciBound[k], "#####0.00", 14));
  }
  return t.Text();
}

std::string ReportEndText() {
  TextBuilder t;
  t.Line();
  t.Line("Done!");
  return t.Text();
}

}  // namespace kalvex::model
