#pragma once
// The per-point table of a one-parameter distribution (a likelihood profile,
// a marginal posterior, a prior profile) and its summary.
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

}  // namespace kalvex
