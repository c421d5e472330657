#pragma once
// A model's estimates and standard errors as the model averaging reads them
// back from its covariance file, by line and column:
//
//   lines 1-4                  the file's name line, an empty line, the title, an empty line
//   next NumParameters lines   columns 7-20 the estimate of parameter 1, 2, ...
//   next 15 lines              the reliability note, constant, grid header, summary, SE header
//   next K lines               columns 1-3 a parameter number; its standard errors of
//                              grids 1, 2, 3 in columns 25-38, 43-56 and 61-74
//
// A parameter without a standard-error line (a fixed one) has SE 0.
#include <array>
#include <string>
#include <vector>

namespace kalvex::ranking {

inline constexpr int kGrids = 3;
inline constexpr int kCovarianceHeadLines = 4;
inline constexpr int kCovarianceMiddleLines = 15;

struct CovarianceEstimates {
  std::vector<double> estimate;                     // 1..NumParameters
  std::vector<std::array<double, kGrids>> se;       // 1..NumParameters
  std::array<bool, kGrids> gridMissing{};           // some SE of the grid is -1
};

struct CovarianceParse {
  bool ok = false;
  CovarianceEstimates estimates;
  int faultLine = 0;    // 1-based line of the fault
  std::string fault;    // what is wrong, naming the line: "has no estimate in columns 7-20 of line 9"
};

// Reads the lines of a covariance file for a model of numParameters
// parameters of which freeCount were estimated. A file shorter than its
// layout, a field without a number or a parameter number outside
// 1..numParameters is a fault at its line.
CovarianceParse ParseCovarianceEstimates(const std::vector<std::string>& lines, int numParameters, int freeCount);

// The number of lines the layout needs.
inline int CovarianceLayoutLines(int numParameters, int freeCount) {
  return kCovarianceHeadLines + numParameters + kCovarianceMiddleLines + freeCount;
}

}  // namespace kalvex::ranking
