#pragma once
// LU decomposition by Crout's method with implicit partial pivoting, the
// substitution that solves the decomposed system, and the inversion built on
// them. The Marquardt step and the covariance Hessians share these.
#include <cstdint>
#include <vector>

#include "workspace/Matrix.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// The work storage of one decomposition, sized by the caller (Resize).
struct LuWork {
  Matrix DecompMatrix;             // n x n; overwritten by L (below the diagonal) and U
  std::vector<int16_t> PivotRows;  // 1..n: the row interchanged with row j
  std::vector<double> RowScale;    // 1..n: 1 / largest |entry| of the row
  double PivotParity = 1;          // +-1; after LuInvert the determinant of the inverse
  int16_t DecompositionFailed = 0; // 1 after a row of zeros
  Matrix Identity;                 // n x n right-hand sides of LuInvert

  void Resize(int n);
};

// A pivot that elimination leaves at exactly 0 is replaced by this.
inline constexpr double kTinyPivot = 1e-20;

// Decomposes lu.DecompMatrix(1..n, 1..n) in place. A row of zeros is reported
// in a message box naming the free parameter it belongs to
// (ws.Free.FreeIndex) and sets DecompositionFailed = 1; returns false then.
// Pumps events once per row and once per column.
bool LuDecompose(LuWork& lu, int n, const Workspace& ws, ui::Frontend& ui);

// Solves for column c of b (the right-hand side on entry, the solution on
// return) after a completed LuDecompose. Other columns are untouched.
// Throws NumericFault when the solution overflows.
void LuSolve(const LuWork& lu, int n, int c, Matrix& b, ui::Frontend& ui);

// Replaces DecompMatrix by its inverse and leaves the determinant of the
// inverse in PivotParity. Returns false (after LuDecompose's message) when
// the decomposition failed; the matrix is then partly decomposed.
bool LuInvert(LuWork& lu, int n, const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
