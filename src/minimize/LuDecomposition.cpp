#include "minimize/LuDecomposition.h"

#include <cmath>

#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

void Pause(const LuPause& pause) {
  if (pause) pause();
}

}  // namespace

void LuWork::Resize(int n) {
  DecompMatrix.Resize(n, n);
  Identity.Resize(n, n);
  PivotRows.assign(static_cast<std::size_t>(n) + 1, 0);
  RowScale.assign(static_cast<std::size_t>(n) + 1, 0.0);
  PivotParity = 1;
}

LuStatus LuDecompose(LuWork& lu, int n, const LuPause& pause) {
  Matrix& a = lu.DecompMatrix;
  lu.PivotParity = 1;
  for (int i = 1; i <= n; ++i) {
    Pause(pause);
    double big = 0;
    for (int j = 1; j <= n; ++j) big = std::fmax(big, std::fabs(a(i, j)));
    if (big == 0) return LuStatus{i};
    lu.RowScale[i] = 1 / big;
  }
  for (int j = 1; j <= n; ++j) {
    Pause(pause);
    for (int i = 1; i < j; ++i) {
      double sum = a(i, j);
      for (int k = 1; k < i; ++k) sum = sum - a(i, k) * a(k, j);
      a(i, j) = sum;
    }
    double big = 0;
    int imax = j;
    for (int i = j; i <= n; ++i) {
      double sum = a(i, j);
      for (int k = 1; k < j; ++k) sum = sum - a(i, k) * a(k, j);
      a(i, j) = sum;
      double f = lu.RowScale[i] * std::fabs(sum);
      if (f >= big) {  // ties go to the later row
        big = f;
        imax = i;
      }
    }
    if (imax != j) {
      for (int k = 1; k <= n; ++k) std::swap(a(imax, k), a(j, k));
      lu.PivotParity = -lu.PivotParity;
      lu.RowScale[imax] = lu.RowScale[j];
    }
    lu.PivotRows[j] = static_cast<int16_t>(imax);
    if (j != n) {
      if (a(j, j) == 0) a(j, j) = kTinyPivot;
      double factor = 1 / a(j, j);
      for (int i = j + 1; i <= n; ++i) a(i, j) = a(i, j) * factor;
    }
  }
  if (a(n, n) == 0) a(n, n) = kTinyPivot;
  return {};
}

void LuSolve(const LuWork& lu, int n, int c, Matrix& b, const LuPause& pause) {
  const Matrix& a = lu.DecompMatrix;
  int first = 0;  // first row with a non-zero right-hand side
  for (int i = 1; i <= n; ++i) {
    Pause(pause);
    int p = lu.PivotRows[i];
    double s = b(p, c);
    b(p, c) = b(i, c);
    if (first != 0) {
      for (int j = first; j < i; ++j) s = s - a(i, j) * b(j, c);
    } else if (s != 0) {
      first = i;
    }
    b(i, c) = CheckFinite(s);
  }
  for (int i = n; i >= 1; --i) {
    Pause(pause);
    double s = b(i, c);
    for (int j = i + 1; j <= n; ++j) s = s - a(i, j) * b(j, c);
    b(i, c) = CheckFinite(s / a(i, i));
  }
}

LuStatus LuInvert(LuWork& lu, int n, const LuPause& pause) {
  if (lu.Identity.Rows() < n || lu.Identity.Columns() < n) lu.Identity.Resize(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) lu.Identity(i, j) = i == j ? 1.0 : 0.0;
  LuStatus status = LuDecompose(lu, n, pause);
  if (!status.Ok()) return status;
  for (int i = 1; i <= n; ++i) lu.PivotParity = lu.PivotParity / lu.DecompMatrix(i, i);
  CheckFinite(lu.PivotParity);
  for (int c = 1; c <= n; ++c) LuSolve(lu, n, c, lu.Identity, pause);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) lu.DecompMatrix(i, j) = lu.Identity(i, j);
  return status;
}

}  // namespace kalvex
