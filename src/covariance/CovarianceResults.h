#pragma once
// The numbers of one covariance run: what the report, the covariance file
// and the posterior integration's steps are made from. A run builds them on
// its own copy and the workspace takes them only when the run completes, so
// the workspace never holds half a run.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "workspace/Matrix.h"

namespace kalvex {

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
  bool Running = false;       // a calculation is in progress
  bool Interrupt = false;     // the log window's interrupt button was pressed
  // The answer to the optimistic-SE question; the likelihood profiles clear it.
  bool OptimisticSEs = false;
  // The log window's button reads "&Interrupt these calculations" (it
  // brings the "Covariance data" window forward once a report is shown).
  bool LogButtonInterrupts = true;
};

}  // namespace kalvex
