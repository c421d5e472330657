#include "covariance/CovarianceReport.h"

#include <cmath>

#include "algorithm/AlgorithmFile.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

constexpr const char* kE = "0.0000000E+00";
constexpr const char* kC = "#####0.0000000";
constexpr const char* kP = "#0.0000";

std::string E(double value, int width) { return RightJustify(FormatNumber(value, kE), width); }
std::string C(double value, int width) { return RightJustify(FormatNumber(value, kC), width); }
std::string Number(int value, int width) { return RightJustify(std::to_string(value), width); }

std::string P(std::optional<double> p, int width) {
  return RightJustify(p ? FormatNumber(*p, kP) : std::string("<0.0001"), width);
}

double LanczosLogGamma(double z) {
  double y = z - 1;
  double tmp = (y + 0.5) * std::log(y + 5.5) - (y + 5.5);
  double ser = 1 + 76.18009173 / (y + 1) - 86.50532033 / (y + 2) + 24.01409822 / (y + 3) -
               1.231739516 / (y + 4) + 0.00120858003 / (y + 5) - 5.36382e-6 / (y + 6);
  return tmp + std::log(2.50662827465 * ser);
}

void ParameterLines(TextBuilder& text, const CovarianceResults& r) {
  for (int i = 1; i <= r.NumParameters(); ++i) {
    // Three-digit exponents give up a mantissa digit to keep the estimate
    // in its 14 columns, where the ranking reads it.
    text.Line(FormatNumber(i, " 000) ") + RightJustify(FitScientific(r.WorkValues[i]), 14) + E(r.WorkSteps[i], 16) +
              " " + RightJustify(r.Links[i], 3) + "  " + r.Descriptions[i]);
  }
}

void LikelihoodSummary(TextBuilder& text, const CovarianceResults& r) {
  std::string mean = "   Mean:            ", sd = "   Std Dev:         ", cv = "   Coef of Var:     ";
  const double scale = r.ObjectiveScale;
  for (int g = 1; g <= kGridCount; ++g) {
    if (r.Method == CovarianceMethod::Analytical) {
      mean += E(SafeDivide(r.CentreObjective, scale), 18);
      sd += E(kNoResult, 18);
      cv += C(kNoResult, 18);
    } else if (r.Outcome[g].abandoned || r.GridMean[g] == 0) {
      // The -1 marker is shown as it is, not converted to -ln[L] units.
      bool abandoned = r.Outcome[g].abandoned;
      mean += E(kNoResult, 18);
      sd += E(abandoned ? kNoResult : SafeDivide(r.GridSD[g], scale), 18);
      cv += C(kNoResult, 18);
    } else {
      mean += E(SafeDivide(r.GridMean[g], scale), 18);
      sd += E(SafeDivide(r.GridSD[g], scale), 18);
      cv += C(std::fabs(SafeDivide(r.GridSD[g], r.GridMean[g])), 18);
    }
  }
  text.Line(mean).Line(sd).Line(cv);
}

// Correlation of free parameters e < f on grid g; -1 when a standard error is 0.
double Correlation(const CovarianceResults& r, int g, int e, int f) {
  double product = r.StandardError(g, e) * r.StandardError(g, f);
  if (product == 0) return kNoResult;
  return SafeDivide(r.CovarianceGrids[g](f, e), product);
}

double CorrelationDeterminant(const CovarianceResults& r, int g) {
  const Matrix& table = r.CovarianceGrids[g];
  if (table(0, 1) == 0 || table(0, 0) == kNoResult) return kNoResult;
  return SafeDivide(table(0, 0), table(0, 1));
}

}  // namespace

double LogGamma(double x) {
  if (x >= 1) return LanczosLogGamma(x);
  const double pi = 4 * std::atan(1.0);
  double z = 2 - x;
  return SafeLog((1 - x) * pi / (std::exp(LanczosLogGamma(z)) * std::sin((1 - x) * pi)));
}

double StudentT999Cdf(double t) {
  auto density = [](double x) { return std::exp(-500 * std::log(1 + x * x / 999)); };
  const double h = (t + 20) / 4000;
  double integral = 0;
  double x = t;
  for (int panel = 0; panel < 4000; ++panel) {
    x = x - h;
    integral += (density(x) + 4 * density(x + h / 2) + density(x + h)) * h / 6;
  }
  const double pi = 4 * std::atan(1.0);
  return integral * std::exp(LogGamma(500) - LogGamma(499.5) - std::log(std::sqrt(999 * pi)));
}

std::optional<double> TwoSidedP(double t) {
  if (!(t < 20)) return std::nullopt;
  double cdf = StudentT999Cdf(t);
  double q = 1 - std::floor(cdf * 10000 + 0.5) / 10000;
  double p = 2 * Val(FormatNumber(q, "0.0000"));
  if (p < 0.0001) return std::nullopt;
  return p;
}

std::string NotPositiveDefiniteText(int parameter) {
  TextBuilder text;
  text.Line("Sorry, this Hessian matrix is not positive-definite; a valid covariance matrix cannot be created.")
      .Line()
      .Line("Possible reasons: (1) you're not at a tight enough global minimum, or you're at a local minimum")
      .Line("                  (2) your model contains statistically dead parameters, i.e., the -ln[L] versus a "
            "parameter is flat")
      .Line("                  (3) there is at least one parameter pair that is very highly correlated (e.g., "
            "ABS(rho) > 0.99)")
      .Line("                  (4) the likelihood profile is dramatically asymmetrical, perhaps due to a penalty "
            "function")
      .Line("It might help you to know that the test for positive-definitiveness failed at parameter # " +
            std::to_string(parameter))
      .Line();
  return text.Text();
}

std::string CovarianceReportText(const CovarianceResults& r) {
  const bool numerical = r.Method == CovarianceMethod::Numerical;
  const int n = r.FreeCount();
  TextBuilder text;
  text.Line(numerical ? "Parameter values, step sizes, link codes, and definitions for numerically calculated covariances:"
                      : "Parameter values, step sizes, link codes, and definitions for analytically calculated "
                        "covariances:");
  text.Line();
  ParameterLines(text, r);
  text.Line();
  text.Line(numerical ? "Reliable numerical covariance results should be similar among three grids with quite "
                        "different grid factors"
                      : "Analytical covariance results are redundant for all grids; likelihood function value "
                        "summary is meaningless");
  text.Line();
  text.Line("Covariance constant: " + GeneralNumber(SafeDivide(1, r.ObjectiveScale)));
  text.Line();
  text.Line("                               Grid #1           Grid #2           Grid #3");
  text.Line();
  text.Line("Factors:              1) " + E(r.GridFactors[1], 13) + "  2) " + E(r.GridFactors[2], 13) + "  3) " +
            E(r.GridFactors[3], 13));
  text.Line();
  text.Line("Likelihood function value summary:");
  LikelihoodSummary(text, r);

  text.Line();
  text.Line("Par#                               Standard errors of the estimates");
  for (int e = 1; e <= n; ++e)
    text.Line(Number(r.FreeIndex[e], 3) + E(r.StandardError(1, e), 35) + E(r.StandardError(2, e), 18) +
              E(r.StandardError(3, e), 18));

  text.Line();
  text.Line("Par#               Probabilities that the estimates do not differ from 0, then 1");
  for (int e = 1; e <= n; ++e) {
    const double x = r.WorkValues[r.FreeIndex[e]];
    std::string line = Number(r.FreeIndex[e], 3) + std::string(17, ' ');
    for (int g = 1; g <= kGridCount; ++g) {
      const double se = r.StandardError(g, e);
      if (se == kNoResult) {
        line += RightJustify(FormatNumber(kNoResult, kP), 10) + RightJustify(FormatNumber(kNoResult, kP), 8);
        continue;
      }
      line += P(TwoSidedP(std::fabs(SafeDivide(x, se))), 10) + P(TwoSidedP(std::fabs(SafeDivide(x - 1, se))), 8);
    }
    text.Line(line);
  }

  if (r.OptimisticSEs) {
    text.Line();
    text.Line("Note: The above SE estimates are optimistic (under-estimated) conditional estimates");
  } else {
    text.Line();
    text.Line("Par#,Par#                                   Correlations");
    for (int e = 1; e < n; ++e)
      for (int f = e + 1; f <= n; ++f)
        text.Line(Number(r.FreeIndex[e], 3) + Number(r.FreeIndex[f], 5) + C(Correlation(r, 1, e, f), 30) +
                  C(Correlation(r, 2, e, f), 18) + C(Correlation(r, 3, e, f), 18));
    text.Line();
    text.Line("Par#,Par#                                   Covariances");
    for (int e = 1; e <= n; ++e)
      for (int f = e; f <= n; ++f)
        text.Line(Number(r.FreeIndex[e], 3) + Number(r.FreeIndex[f], 5) + E(r.CovarianceGrids[1](f, e), 30) +
                  E(r.CovarianceGrids[2](f, e), 18) + E(r.CovarianceGrids[3](f, e), 18));
  }

  text.Line();
  text.Line("                                            Determinants");
  std::string covariance = "Covariance Matrix:  ", correlation = "Correlation Matrix: ";
  for (int g = 1; g <= kGridCount; ++g) {
    covariance += E(r.CovarianceGrids[g](0, 0), 18);
    correlation += E(CorrelationDeterminant(r, g), 18);
  }
  text.Line(covariance).Line(correlation);
  return text.Text();
}

}  // namespace kalvex
