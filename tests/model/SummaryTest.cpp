// The Oskane results summary: the report of a fitted example byte for byte,
// with its lines checked against computations made here independently, and
// the rules of the regression variance, the forecast grid and the faults.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <algorithm>

#include "model/OskaneModel.h"
#include "model/Summary.h"
#include "model/SummaryData.h"
#include "model/SummaryReport.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "model/OskaneTestData.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

// The two-species example at fixed parameters (the values it was simulated from).
const double kTwoSpeciesValues[] = {0, -0.4, 0.2, 0.1, -0.06, 0.3, 0.08, 0.04, -0.25, 0.5, 1213, 3076, 887, 1};

// A workspace with the model initialized from a file given relative to the
// examples folder, so the report names it the same on every machine.
struct Fitted {
  Workspace ws{std::make_unique<OskaneModel>()};
  OskaneModel& model() { return static_cast<OskaneModel&>(*ws.model); }

  Fitted(int species, const std::string& folder, const std::string& file) {
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    InitializeModel(ws, ModelInitOptions{species, file});
    std::filesystem::current_path(here);
    ws.AlgorithmFileName = "two_species_fit.alg";
  }
  void Evaluate(const std::vector<double>& values, const std::vector<double>& steps) {
    ws.Alg.Values = values;
    ws.Alg.Steps = steps;
    model().Evaluate(ws.Alg.Values, 1);
  }
  model::SummaryInputs Inputs() { return model::SummaryInputsOf(model(), ws); }
};

std::string SummaryText(Fitted& f, bool forecast) {
  return model::ComputeResultsSummary(f.Inputs(), {.forecast = forecast, .plotData = false}).Text();
}

std::vector<double> TwoSpeciesValues() { return {std::begin(kTwoSpeciesValues), std::end(kTwoSpeciesValues)}; }
std::vector<double> EstimatedSteps(int count, int estimated) {
  std::vector<double> steps(count + 1, 0.0);
  for (int i = 1; i <= estimated; ++i) steps[i] = 0.1;
  return steps;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}


std::vector<std::string> Lines(const std::string& text) { return SplitLines(text); }

const std::string& LineStarting(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& line : lines)
    if (line.rfind(start, 0) == 0) return line;
  static const std::string none = "(no line starts with " + start + ")";
  return none;
}

// The period's row of the second data table (the first table's rows start alike).
const std::string& PredictedRow(const std::vector<std::string>& lines, const std::string& start) {
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    if (line->rfind(start, 0) == 0) return *line;
  static const std::string none = "(no row)";
  return none;
}

// An independent inverse for the checks: Gauss-Jordan with partial pivoting
// on a plain 0-based matrix.
std::vector<std::vector<double>> GaussJordanInverse(std::vector<std::vector<double>> a) {
  const std::size_t n = a.size();
  std::vector<std::vector<double>> inv(n, std::vector<double>(n, 0.0));
  for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1;
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    std::swap(a[c], a[pivot]);
    std::swap(inv[c], inv[pivot]);
    const double d = a[c][c];
    for (std::size_t k = 0; k < n; ++k) a[c][k] /= d, inv[c][k] /= d;
    for (std::size_t r = 0; r < n; ++r) {
      if (r == c) continue;
      const double m = a[r][c];
      for (std::size_t k = 0; k < n; ++k) a[r][k] -= m * a[c][k], inv[r][k] -= m * inv[c][k];
    }
  }
  return inv;
}

// The hat matrix of the uncentred design [1, active columns] over periods
// 2..n: z' (Z'Z)^-1 z equals 1 / (n - 1) plus the centred quadratic form.
struct HatMatrix {
  std::vector<std::vector<double>> inverse;
  double Leverage(const std::vector<double>& z) const {
    double h = 0;
    for (std::size_t a = 0; a < z.size(); ++a)
      for (std::size_t b = 0; b < z.size(); ++b) h += z[a] * inverse[a][b] * z[b];
    return h;
  }
};

std::vector<double> DesignRow(const model::SummaryInputs& in, const std::vector<int>& columns, int i) {
  std::vector<double> z{1.0};
  for (int c : columns) z.push_back(model::DesignValue(in.data, in.layout, i, c));
  return z;
}

HatMatrix HatOf(const model::SummaryInputs& in, const std::vector<int>& columns) {
  const std::size_t p = columns.size() + 1;
  std::vector<std::vector<double>> ztz(p, std::vector<double>(p, 0.0));
  for (int i = 2; i <= in.data.NumPeriods; ++i) {
    std::vector<double> z = DesignRow(in, columns, i);
    for (std::size_t a = 0; a < p; ++a)
      for (std::size_t b = 0; b < p; ++b) ztz[a][b] += z[a] * z[b];
  }
  return HatMatrix{GaussJordanInverse(ztz)};
}

double NormalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

class SummaryOfTwoSpecies : public ::testing::Test {
 protected:
  SummaryOfTwoSpecies() : fit(2, KALVEX_EXAMPLES, "two_species.dat") {
    fit.Evaluate(TwoSpeciesValues(), EstimatedSteps(13, 9));
  }
  Fitted fit;
};

TEST_F(SummaryOfTwoSpecies, ReportMatchesTheExpectedFileByteForByte) {
  const std::string text = SummaryText(fit, true);
  const std::string expected = FileBytes(testing::TestData("summary_two_species.kvo"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(text, expected);
}

TEST_F(SummaryOfTwoSpecies, StatisticLinesAgreeWithAComputationByHand) {
  const std::vector<std::string> lines = Lines(SummaryText(fit, false));
  const model::BestFit& best = fit.model().Best();
  const double n = 48, k = 9, F = best.BestObjective, SS = best.BestSumSquares;
  // Lambda for Omega = 0.5 from A rho^2 + B rho + A = 0 with A = 0.375, B = -1.75.
  const double rho = (1.75 - std::sqrt(1.75 * 1.75 - 4 * 0.375 * 0.375)) / (2 * 0.375);
  EXPECT_NEAR(best.BestLambda, rho, 1e-15);
  const double aicc = F + 2 * k * n / (n - k - 1);
  EXPECT_EQ(LineStarting(lines, "The Akaike"),
            "The Akaike Information Criterion (AICc, Corrant & Vesk 1998) is: " +
                RightJustify(FormatNumber(aicc, "0.0000E+00"), 12));
  EXPECT_EQ(LineStarting(lines, "The number of free"), "The number of free parameters is:                          9");
  const double theta2 = SS / (n - 1 - k);
  const double phi2 = theta2 * rho / 0.75, psi2 = theta2 * rho / 0.75;  // W = 0.5 makes them equal
  const double theta2Total = phi2 + psi2;
  EXPECT_EQ(LineStarting(lines, "The SD, then variance (Theta^2)"),
            "The SD, then variance (Theta^2), of uncorrelated error is:                   " +
                FormatNumber(std::sqrt(theta2Total), "0.0000E+00") + ", " + FormatNumber(theta2Total, "0.0000E+00"));
  const double nu2 = theta2Total * (0.5 + 0.25 * 0.5 + 0.75 * 1.5);
  EXPECT_EQ(LineStarting(lines, "The SD, then variance (Nu^2)"),
            "The SD, then variance (Nu^2), of correlated error is:                        " +
                FormatNumber(std::sqrt(nu2), "0.0000E+00") + ", " + FormatNumber(nu2, "0.0000E+00"));
  // Gamma(M,1) = bME(1) / (bME + 1) = 0.1 / 1.2.
  EXPECT_EQ(LineStarting(lines, "The estimated value for Gamma(M,1)"),
            "The estimated value for Gamma(M,1) is:         0.08333");
  EXPECT_EQ(LineStarting(lines, "Parameter # 04"),
            "Parameter # 04 estimate:             -0.0600000  "
            "Species 2 coefficient (Beta(ME,2)=(1-Omega)*Gamma(ME,2)*(1+Zeta(ME))) [0]");
  EXPECT_EQ(LineStarting(lines, "   1952,"), "   1952,      1,           2768,         2521,         1415,"
                                             "              0,         0.4500");
  // The first period of the second table: undefined values as -999.
  EXPECT_EQ(PredictedRow(lines, "   1952,      1,"),
            "   1952,      1,      -0.7985,    -999.0000,      -0.7985,    -999.0000,    -999.0000,       0.4500,"
            "    -999.0000,   -999.0000");
}

TEST_F(SummaryOfTwoSpecies, PriorsAreNamedAndOmegaOneLeavesTauUndefined) {
  fit.ws.PriorsFileName = "example.pri";
  std::vector<double> values = TwoSpeciesValues();
  values[9] = 1;  // all process error
  fit.Evaluate(values, EstimatedSteps(13, 9));
  const std::vector<std::string> lines = Lines(SummaryText(fit, false));
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "Important note: This analysis used Bayesian prior information");
  EXPECT_EQ(lines[6], "The algorithm data file name is:         two_species_fit.alg");
  EXPECT_EQ(lines[7], "The Bayesian prior information file name is:   example.pri");
  EXPECT_EQ(LineStarting(lines, "The estimated true value"), "The estimated true value for TauM(1) is undefined");
  // W = 1: Lambda is 0, so the measurement error vanishes and the process error takes Theta.
  const model::FitStatistics s = model::ComputeFitStatistics(fit.Inputs());
  EXPECT_EQ(s.PsiSD, 0);
  EXPECT_DOUBLE_EQ(s.PhiSD * s.PhiSD, s.Theta2);
}

TEST_F(SummaryOfTwoSpecies, LeveragesAndUntransformedPredictionsFollowTheHatMatrix) {
  const model::SummaryInputs in = fit.Inputs();
  const model::FitStatistics stats = model::ComputeFitStatistics(in);
  const model::RegressionVariance rv = model::ComputeRegressionVariance(in, stats.Theta2);
  // Every coefficient is non-zero: column 1 is dropped because 3 and 4 are in.
  EXPECT_EQ(rv.activeColumns, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
  const HatMatrix hat = HatOf(in, rv.activeColumns);
  const std::vector<std::string> lines = Lines(model::SummaryReportText(in, stats, rv));
  for (int i : {2, 17, 48}) {
    const double h = hat.Leverage(DesignRow(in, rv.activeColumns, i));
    EXPECT_NEAR(rv.leverage[i], h, 1e-10) << i;
    const double predicted = std::exp(stats.Theta2 * h / 2 + fit.model().Best().PredictedLnIndex[i]);
    EXPECT_NEAR(rv.predictedIndex[i], predicted, 1e-12);
    const std::string year = RightJustify(FormatNumber(in.data.Year[i], "###0"), 7) + "," +
                             RightJustify(FormatNumber(i, "#####0"), 7) + ",";
    const std::string& row = PredictedRow(lines, year);
    EXPECT_EQ(row.substr(7 + 1 + 7 + 1 + 6 * 14, 13), RightJustify(FormatNumber(predicted, "###0.0000"), 13)) << i;
  }
}

TEST_F(SummaryOfTwoSpecies, DroppingIndexGapKeepsTheLeveragesAndTheForecastVarianceFinite) {
  // With bPE = 0 column 4 is out and column 1 (= column 4 - column 3) is in:
  // the same fitted space, so the same leverages.
  std::vector<double> noPE = TwoSpeciesValues();
  noPE[5] = 0;
  Fitted other(2, KALVEX_EXAMPLES, "two_species.dat");
  other.Evaluate(noPE, EstimatedSteps(13, 9));
  const model::SummaryInputs inB = other.Inputs();
  const model::RegressionVariance withGap = model::ComputeRegressionVariance(inB, 1.0);
  EXPECT_EQ(withGap.activeColumns, (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9}));
  const model::SummaryInputs inA = fit.Inputs();
  const model::RegressionVariance withoutGap = model::ComputeRegressionVariance(inA, 1.0);
  for (int i = 2; i <= 48; ++i) EXPECT_NEAR(withGap.leverage[i], withoutGap.leverage[i], 1e-9) << i;

  // The forecast variance of the full fit against the hat matrix at the forecast row.
  const model::FitStatistics stats = model::ComputeFitStatistics(inA);
  const model::ForecastData f = model::ComputeForecast(inA, withoutGap, stats.Theta2);
  const model::ModelData& d = inA.data;
  const double lnEf = std::log(1213.0);
  std::vector<double> zf{1.0, d.LnIndex[48], lnEf - d.LnEffort[1], lnEf - d.LnEffort[48]};
  const double catches[] = {0, 3076, 887};
  for (int j = 1; j <= 2; ++j) zf.push_back((catches[j] - d.CatchMean[j]) / d.CatchSD[j] - d.StdCatch(1, j));
  for (int j = 1; j <= 2; ++j) zf.push_back((catches[j] - d.CatchMean[j]) / d.CatchSD[j] - d.StdCatch(48, j));
  zf.push_back(1.0);
  const double hf = 1 + HatOf(inA, withoutGap.activeColumns).Leverage(zf);
  ASSERT_TRUE(std::isfinite(f.Hf));
  EXPECT_NEAR(f.Hf, hf, 1e-9);
  EXPECT_NEAR(f.Sigma2, stats.Theta2 * hf, 1e-12);

  // Mu as the model's own one-step prediction for period f plus its effort
  // from the start: IndexGap(f) = LnEffortStep(f) - LnEffortFromStart(f).
  const double fromStart = lnEf - d.LnEffort[1], step = lnEf - d.LnEffort[48];
  double prediction = -0.25 * 1 + -0.4 + 0.5 * (d.LnIndex[48] + (step - fromStart)) + 0.2 * fromStart + 0.3 * step;
  const double bME[] = {0, 0.1, -0.06}, bPE[] = {0, 0.08, 0.04};
  for (int j = 1; j <= 2; ++j) {
    const double z = (catches[j] - d.CatchMean[j]) / d.CatchSD[j];
    prediction += (z - d.StdCatch(1, j)) * bME[j] + (z - d.StdCatch(48, j)) * bPE[j];
  }
  EXPECT_NEAR(f.Mu, prediction + fromStart, 1e-12);
  const std::vector<std::string> lines = Lines(SummaryText(fit, true));
  EXPECT_EQ(LineStarting(lines, "The ln[forecasted"),
            "The ln[forecasted harvest rate index] for time period f is:                 " +
                RightJustify(FormatNumber(prediction + fromStart, "####0.0000"), 12));
  EXPECT_EQ(LineStarting(lines, "The SD, then variance, of the ln"),
            "The SD, then variance, of the ln[forecasted harvest rate index] for time period f is:  " +
                RightJustify(FormatNumber(std::sqrt(stats.Theta2 * hf), "####0.000000"), 12) + ", " +
                RightJustify(FormatNumber(stats.Theta2 * hf, "####0.000000"), 12));
}

TEST_F(SummaryOfTwoSpecies, GridCumulativeFollowsTheLogNormalDistribution) {
  const model::SummaryInputs in = fit.Inputs();
  const model::FitStatistics stats = model::ComputeFitStatistics(in);
  const model::RegressionVariance rv = model::ComputeRegressionVariance(in, stats.Theta2);
  const model::ForecastData f = model::ComputeForecast(in, rv, stats.Theta2);
  const model::ProbabilityGrid g = model::ComputeProbabilityGrid(f, in.data.Pi);
  const double sigma = std::sqrt(f.Sigma2);
  EXPECT_NEAR(f.expected, std::exp(f.Mu + f.Sigma2 / 2), 1e-15);
  EXPECT_GT(g.low, 1e-6);  // E - 5 SD is positive here
  const double below = NormalCdf((std::log(g.low) - f.Mu) / sigma);
  for (int k : {20, 50, 100, 150}) {
    const double exact = NormalCdf((std::log(g.binEdge[k]) - f.Mu) / sigma) - below;
    EXPECT_NEAR(g.cumulative[k], exact, 1e-7) << k;
  }
  // The mode's bin has the confidence bound 0.
  int modeBin = 0;
  for (int k = 1; k <= 200; ++k)
    if (g.binEdge[k - 1] < f.mostLikely && f.mostLikely <= g.binEdge[k]) modeBin = k;
  ASSERT_GT(modeBin, 0);
  EXPECT_NEAR(g.ciBound[modeBin], 0, 1e-12);
  EXPECT_NEAR(g.modeCumulative, NormalCdf((std::log(g.binEdge[modeBin]) - f.Mu) / sigma) - below, 1e-7);
}

TEST(SummaryGrid, StartsAt1e6WhenFiveSdReachBelowZeroAndListsOnlyInnerRows) {
  model::ForecastData wide;
  wide.Mu = 0;
  wide.Sigma2 = 1;
  wide.expected = std::exp(0.5);
  wide.variance = std::exp(2.0) - std::exp(1.0);
  wide.sd = std::sqrt(wide.variance);
  wide.mostLikely = 1;
  const double pi = 4 * std::atan(1.0);
  const model::ProbabilityGrid g = model::ComputeProbabilityGrid(wide, pi);
  EXPECT_EQ(g.low, 1e-6);
  EXPECT_DOUBLE_EQ(g.width, (wide.expected + 10 * wide.sd - 1e-6) / 200);
  EXPECT_DOUBLE_EQ(g.binEdge[1], 1e-6 + g.width);

  // A narrow forecast: most bins hold (almost) nothing or everything.
  model::ForecastData narrow;
  narrow.Mu = std::log(0.5);
  narrow.Sigma2 = 1e-6;
  narrow.expected = std::exp(narrow.Mu + narrow.Sigma2 / 2);
  narrow.variance = std::exp(2 * narrow.Mu + 2 * narrow.Sigma2) - std::exp(2 * narrow.Mu + narrow.Sigma2);
  narrow.sd = std::sqrt(narrow.variance);
  narrow.mostLikely = std::exp(narrow.Mu);
  narrow.catches = {0};
  const model::ProbabilityGrid n = model::ComputeProbabilityGrid(narrow, pi);
  int inner = 0;
  for (int k = 1; k <= 200; ++k) inner += n.cumulative[k] > 0.00001 && n.cumulative[k] < 0.99999;
  ASSERT_GT(inner, 0);
  ASSERT_LT(inner, 200);
  model::ParameterLayout layout{0};
  model::ModelData data;
  model::BestFit best;
  model::LikelihoodWork work;
  std::vector<std::string> descriptions;
  std::vector<double> steps;
  const model::SummaryInputs in{data, best, work, layout, descriptions, steps, "", ""};
  const std::vector<std::string> lines = Lines(model::ForecastReportText(in, narrow, n));
  std::vector<std::string> rows;
  bool table = false;
  for (const std::string& line : lines) {
    if (line.rfind("         Index,", 0) == 0) table = true;
    else if (table && !line.empty()) rows.push_back(line);
  }
  ASSERT_EQ(static_cast<int>(rows.size()), inner);
  for (const std::string& row : rows) {
    const double cumulative = Val(row.substr(30, 14));
    EXPECT_GE(cumulative, 0.0);  // shown to 4 decimals: 0.0000 .. 1.0000
    EXPECT_LE(cumulative, 1.0);
    EXPECT_EQ(row.size(), 5u * 14 + 4);
  }
}

TEST(SummaryColumns, ZeroCoefficientsAndZeroDataLeaveColumnsOut) {
  testing::RawOskaneData raw = testing::MakeOskaneData(2, 12, 7);
  for (double& v : raw.intervention) v = 0;  // bV is set, but the column has no data
  const std::string path = testing::WriteOskaneDataFile(raw, "summary_columns.dat");
  Fitted f(2, testing::TempDir(), path);
  std::vector<double> values = TwoSpeciesValues();
  values[3] = 0;  // bME(1): its catches vary, but the column is out
  f.Evaluate(values, EstimatedSteps(13, 9));
  const std::vector<int> active = model::ActiveColumns(f.Inputs());
  EXPECT_EQ(active, (std::vector<int>{2, 3, 4, 6, 7, 8}));
}

TEST(SummaryStatistics, KCountsOnlyNonZeroSteps) {
  Fitted f(2, KALVEX_EXAMPLES, "two_species.dat");
  std::vector<double> steps = EstimatedSteps(13, 9);
  steps[4] = 0;  // fixed
  steps[7] = 0;  // a linked follower carries step 0
  f.Evaluate(TwoSpeciesValues(), steps);
  const model::FitStatistics s = model::ComputeFitStatistics(f.Inputs());
  EXPECT_EQ(s.k, 7);
  EXPECT_DOUBLE_EQ(s.AICc, f.model().Best().BestObjective + 2.0 * 7 * 48 / (48 - 7 - 1));
  EXPECT_DOUBLE_EQ(s.Theta2, f.model().Best().BestSumSquares / (48 - 1 - 7));
}

// Steps that stop short of the model's parameters are refused before they
// are read past their end; the computation refuses them too.
TEST(SummarySettings, StepsShorterThanTheParametersAreRefused) {
  Fitted f(2, KALVEX_EXAMPLES, "two_species.dat");
  f.Evaluate(TwoSpeciesValues(), EstimatedSteps(13, 9));
  EXPECT_EQ(model::SummarySettings{}.Validate(f.Inputs()), std::nullopt);
  f.ws.Alg.Steps.resize(10);
  EXPECT_EQ(model::SummarySettings{}.Validate(f.Inputs()),
            "The step sizes or descriptions do not cover the model's 13 parameters.");
  EXPECT_THROW(model::ComputeResultsSummary(f.Inputs(), {}), std::invalid_argument);
}

TEST(SummaryReport, MeasuredRowsOfThreeSpeciesHave105Characters) {
  Fitted f(3, KALVEX_EXAMPLES, "three_species.dat");
  std::vector<double> values = {0, -0.35, 0.1, 0.09, 0.05, -0.04, 0.2, 0.06, -0.03, 0.05, -0.15, 0.75,
                                702, 2452, 933, 494, 1};
  f.Evaluate(values, EstimatedSteps(16, 11));
  const std::vector<std::string> lines = Lines(SummaryText(f, false));
  auto header = std::find(lines.begin(), lines.end(), "Measured Data:");
  ASSERT_NE(header, lines.end());
  EXPECT_EQ(*(header + 3), "   Year,  Count,         Effort,   Sp 1 Catch,   Sp 2 Catch,   Sp 3 Catch,"
                           "              V,          Index");
  for (int i = 1; i <= f.model().NumPeriods(); ++i) EXPECT_EQ((header + 4 + i)->size(), 105u) << i;
}

TEST(SummaryFaults, AsManyFreeParametersAsPeriodsFaultTheFitStatistics) {
  testing::RawOskaneData raw = testing::MakeOskaneData(1, 8, 3);
  const std::string path = testing::WriteOskaneDataFile(raw, "summary_eight.dat");
  Fitted f(1, testing::TempDir(), path);
  std::vector<double> values = {0, -0.3, 0.2, 0.1, 0.1, 0.05, -0.1, 0.4, 1000, 2000, 1};
  f.Evaluate(values, EstimatedSteps(10, 7));  // n - k - 1 = 8 - 7 - 1 = 0
  try {
    SummaryText(f, false);
    FAIL() << "no fault";
  } catch (const NumericFault& fault) {
    EXPECT_STREQ(fault.what(), "Division by zero\r\nThe fault arose while computing the fit statistics of the "
                               "results summary.");
  }
}

TEST(SummaryFaults, AConstantActiveColumnMakesASingularRow) {
  testing::RawOskaneData raw = testing::MakeOskaneData(1, 12, 5);
  for (std::size_t i = 0; i < raw.intervention.size(); ++i) raw.intervention[i] = i == 0 ? 0 : 1;
  const std::string path = testing::WriteOskaneDataFile(raw, "summary_constant.dat");
  Fitted f(1, testing::TempDir(), path);
  std::vector<double> values = {0, -0.3, 0.2, 0.1, 0.1, 0.05, -0.1, 0.4, 1000, 2000, 1};
  f.Evaluate(values, EstimatedSteps(10, 7));
  try {
    SummaryText(f, false);
    FAIL() << "no fault";
  } catch (const NumericFault& fault) {
    EXPECT_TRUE(std::string(fault.what()).starts_with("Division by zero\r\nThe fault arose while computing "))
        << fault.what();
  }
}

}  // namespace
}  // namespace kalvex
