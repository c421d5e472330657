#pragma once
// What the analyses hand over and the workspace keeps: the series of an x-y
// plot, the table of a one-parameter distribution with its summary and the
// data of its plot, the bivariate grid of a posterior, and the numbers of a
// covariance run. Below the analyses and the plots, so that neither needs
// the other to pass them on.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "workspace/Matrix.h"

namespace kalvex {

// ---- the table of a one-parameter distribution (a likelihood profile, a
// marginal posterior, a prior profile), its summary, and what the workspace
// keeps of the last evaluation between runs

// Columns indexed 1..PointCount; element 0 is scratch and stays 0.
struct EvaluationTable {
  int PointCount = 0;
  std::vector<double> GridValue;   // the evaluated parameter's value at the point
  std::vector<double> NegLnL;      // -ln[L]; after the statistics, relative to the mode
  std::vector<double> Pdf;         // normalised density
  std::vector<double> CiMode;      // mode-centred confidence level
  std::vector<double> CiMean;      // mean-centred confidence level
  std::vector<double> NormalPdf;   // Gaussian density with the computed mean and SE
  std::vector<double> Cumulative;  // 0..PointCount, Cumulative[0] = 0

  // Every column all zero for count points.
  explicit EvaluationTable(int count = 0);
};

struct EvaluationSummary {
  int ModeIndex = 0;          // the point with the smallest -ln[L] (the first on ties)
  double BestNegLnL = 1e100;  // the smallest -ln[L] so far
  double ModeValue = 0;       // GridValue at ModeIndex
  double ExpectedValue = 0;
  double EstimatedDiff = 0;   // ModeValue - ExpectedValue
  double EstimatedSE = 0;
};

// A quit keeps the first count points (nothing changes below 3); a mode
// beyond them is found again among those kept, the first on ties.
void KeepFirstPoints(EvaluationTable& table, EvaluationSummary& summary, int count);

// A negative step ran the grid from high to low values: the points are
// turned round so that the values ascend, the mode with them.
void ReverseTable(EvaluationTable& table, EvaluationSummary& summary);

// The two-dimensional relative density a posterior collects when exactly
// one parameter is integrated: profile points along x, grid points along y.
struct BivariateGrid {
  int ProfileParameter = 0;
  int IntegratedParameter = 0;
  int PointCount = 0;      // n
  int GridPointCount = 0;  // m
  std::vector<double> X;        // 1..n
  std::vector<double> Y;        // 1..m
  std::vector<double> Density;  // (k, j) at k * (m + 1) + j
  double MaxDensity = 0, XAtMax = 0, YAtMax = 0;

  BivariateGrid() = default;
  BivariateGrid(int n, int m);
  double& At(int k, int j) { return Density[static_cast<std::size_t>(k) * (GridPointCount + 1) + j]; }
  double At(int k, int j) const { return Density[static_cast<std::size_t>(k) * (GridPointCount + 1) + j]; }
};

// Which evaluation produced the kept results.
inline constexpr const char* kMaximumLikelihoodKind = "ML";
inline constexpr const char* kBayesianKind = "BP";

// The last evaluation's results, kept so that they can be shown again.
struct EvaluationState {
  EvaluationTable Table;
  EvaluationSummary Summary;
  std::string LastEvaluationKind;  // "ML", "BP" or empty
  double Spacing = 0;              // the grid spacing of the kept table
  BivariateGrid Bivariate;         // the last posterior's, when it integrated one parameter
  std::string Note;                // a last line of the report (an interrupted run says where); may be empty
  // The distribution plot titles its second series as a prior distribution.
  bool PriorPlotMode = false;
};

// "Percent Diff": EstimatedDiff as a percentage of ExpectedValue; -999 (the
// reports' mark of an undefined figure) when the expected value is 0 or the
// quotient is not finite.
double PercentDiff(const EvaluationSummary& summary);

// ---- the numbers of one covariance run: what the report, the covariance
// file and the posterior integration's steps are made from. A run builds
// them on its own copy and the workspace takes them only when the run
// completes, so the workspace never holds half a run.

// The marker of a standard error, covariance or summary that a grid could
// not give.
inline constexpr double kNoResult = -1;
inline constexpr int kGridCount = 3;

enum class CovarianceMethod { Numerical, Analytical };

// How one grid ended.
struct GridOutcome {
  bool abandoned = false;          // the user quit it: every figure is -1
  int notPositiveDefiniteAt = 0;   // the parameter number where the test failed; 0: it passed
  bool Valid() const { return !abandoned && notPositiveDefiniteAt == 0; }
};

struct CovarianceResults {
  CovarianceMethod Method = CovarianceMethod::Numerical;
  std::array<double, kGridCount + 1> GridFactors{};  // 1..3; 0 for an analytical run
  bool OptimisticSEs = false;
  double ObjectiveScale = 0;   // the 1 / c the run divided by and scaled with
  double CentreObjective = 0;  // F0, objective units

  // The parameter set as the run used it, 1..NumParameters.
  std::vector<double> WorkValues, WorkSteps;
  std::vector<std::string> Links, Descriptions;
  // Free number (1..n) -> parameter number.
  std::vector<int16_t> FreeIndex{0};

  // Per grid 1..3, objective units; -1 for an abandoned grid.
  std::array<double, kGridCount + 1> GridMean{}, GridSD{};
  std::array<GridOutcome, kGridCount + 1> Outcome{};
  // Per grid, 0..n x 0..n: (0,0) the determinant of the covariance matrix,
  // (0,1) the product of its diagonal, (e,0) the signed standard error of
  // free parameter e, (f,e) the covariance of e and f. All -1 for a grid
  // without a result.
  std::array<Matrix, kGridCount + 1> CovarianceGrids;

  int FreeCount() const { return static_cast<int>(FreeIndex.size()) - 1; }
  int NumParameters() const { return static_cast<int>(WorkValues.size()) - 1; }
  double StandardError(int grid, int free) const { return CovarianceGrids[grid](free, 0); }
};

// What the workspace keeps of the covariance analysis between commands.
struct CovarianceState {
  CovarianceResults Results;  // the last completed run
  bool Interrupt = false;     // the log window's interrupt button was pressed
  // The answer to the optimistic-SE question; the likelihood profiles clear it.
  bool OptimisticSEs = false;
};

}  // namespace kalvex

namespace kalvex::plots {

// ---- what a caller hands to the x-y plot window: a table of series over
// the periods, the proposed range of each series and the time counter's range

// A value that is not to be drawn, joined, or counted for a range.
inline constexpr double kMissingValue = 1e-100;
inline bool IsMissing(double value) { return value == kMissingValue; }

struct XYPlotData {
  Matrix values;                      // periods 1..n x series 1..m
  std::vector<double> seriesMinimum;  // 1..m, [0] unused
  std::vector<double> seriesMaximum;  // 1..m
  std::vector<std::string> seriesLabels;  // 1..m
  std::string xLabel = "Time Counter";
  double xMinimum = 1, xMaximum = 1;        // range of the time counter
  double xStartLabel = 1, xEndLabel = 1;    // axis label values at those ends
  std::string pageText;                     // "" = no page label
  bool morePages = false;                   // a later page follows ("Next Plot Page" leads to it)

  int Periods() const { return values.Rows(); }
  int SeriesCount() const { return values.Columns(); }
};

// ---- what an evaluation hands to the distribution plot
struct DistributionPlotData {
  EvaluationTable table;
  EvaluationSummary summary;
  int parameter = 0;
  std::string series2Title = "Parameter Confidence Distribution";
};

inline constexpr const char* kConfidenceTitle = "Parameter Confidence Distribution";
inline constexpr const char* kPosteriorTitle = "Bayesian Posterior Distribution";
inline constexpr const char* kPriorTitle = "Bayesian Prior Distribution";

}  // namespace kalvex::plots
