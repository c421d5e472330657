#pragma once
// The per-point table of a one-parameter distribution (a likelihood profile,
// a marginal posterior, a prior profile), its summary, and what the
// workspace keeps of the last evaluation between runs.
#include <string>
#include <vector>

namespace kalvex {

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

}  // namespace kalvex
