#pragma once
// LU decomposition by Crout's method with implicit partial pivoting, the
// substitution that solves the decomposed system, and the inversion built on
// them. Pure arithmetic: the Marquardt step, the results summary's inverse
// and the covariance Hessians share it, and each caller says in its own
// words what a failed decomposition means.
#include <cstdint>
#include <functional>
#include <vector>

#include "workspace/Matrix.h"

namespace kalvex {

// The work storage of one decomposition, sized by the caller (Resize).
struct LuWork {
  Matrix DecompMatrix;             // n x n; overwritten by L (below the diagonal) and U
  std::vector<int16_t> PivotRows;  // 1..n: the row interchanged with row j
  std::vector<double> RowScale;    // 1..n: 1 / largest |entry| of the row
  double PivotParity = 1;          // +-1; after LuInvert the determinant of the inverse
  Matrix Identity;                 // n x n right-hand sides of LuInvert

  void Resize(int n);
};

// How a decomposition ended: ZeroRow names the first row of zeros (1-based).
struct LuStatus {
  int ZeroRow = 0;
  bool Ok() const { return ZeroRow == 0; }
};

// Called between the rows and columns of the work, so that a long
// decomposition can let the interface run. May be empty.
using LuPause = std::function<void()>;

// A pivot that elimination leaves at exactly 0 is replaced by this.
inline constexpr double kTinyPivot = 1e-20;

// Decomposes lu.DecompMatrix(1..n, 1..n) in place. Stops at a row of zeros,
// leaving the matrix as it was. Pauses once per row and once per column.
LuStatus LuDecompose(LuWork& lu, int n, const LuPause& pause = {});

// Solves for column c of b (the right-hand side on entry, the solution on
// return) after a completed LuDecompose. Other columns are untouched.
// Throws NumericFault when the solution overflows.
void LuSolve(const LuWork& lu, int n, int c, Matrix& b, const LuPause& pause = {});

// Replaces DecompMatrix by its inverse and leaves the determinant of the
// inverse in PivotParity. After a failed decomposition the matrix is partly
// decomposed. Throws NumericFault when the inverse or its determinant overflows.
LuStatus LuInvert(LuWork& lu, int n, const LuPause& pause = {});

}  // namespace kalvex
