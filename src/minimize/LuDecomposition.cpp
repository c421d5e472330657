#include "minimize/LuDecomposition.h"

#include <cmath>
#include <string>

#include "ui/Frontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

void ReportZeroRow(const Workspace& ws, int row, ui::Frontend& ui) {
  const auto& index = ws.Free.FreeIndex;
  int parameter = row < static_cast<int>(index.size()) ? index[row] : row;
  std::string title = "Matrix decompositon failure at parameter #" + std::to_string(parameter) + "!";
  // Before any Marquardt setup (a covariance analysis) the derivatives are
  // numerical ones, so the numerical text applies.
  const char* text = ws.DerivativeMode == "A"
                         ? "Look for statistically dead parameters and/or suspect your analytical derivatives"
                         : "Look for statistically dead model parameters";
  ui.Message(title, text, ui::style::kExclamation);
}

}  // namespace

void LuWork::Resize(int n) {
  DecompMatrix.Resize(n, n);
  Identity.Resize(n, n);
  PivotRows.assign(static_cast<std::size_t>(n) + 1, 0);
  RowScale.assign(static_cast<std::size_t>(n) + 1, 0.0);
  PivotParity = 1;
  DecompositionFailed = 0;
}

bool LuDecompose(LuWork& lu, int n, const Workspace& ws, ui::Frontend& ui) {
  Matrix& a = lu.DecompMatrix;
  lu.PivotParity = 1;
  for (int i = 1; i <= n; ++i) {
    ui.PumpEvents();
    double big = 0;
    for (int j = 1; j <= n; ++j) big = std::fmax(big, std::fabs(a(i, j)));
    if (big == 0) {
      ReportZeroRow(ws, i, ui);
      lu.DecompositionFailed = 1;
      return false;
    }
    lu.RowScale[i] = 1 / big;
  }
  for (int j = 1; j <= n; ++j) {
    ui.PumpEvents();
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
  return true;
}

void LuSolve(const LuWork& lu, int n, int c, Matrix& b, ui::Frontend& ui) {
  const Matrix& a = lu.DecompMatrix;
  int first = 0;  // first row with a non-zero right-hand side
  for (int i = 1; i <= n; ++i) {
    ui.PumpEvents();
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
    ui.PumpEvents();
    double s = b(i, c);
    for (int j = i + 1; j <= n; ++j) s = s - a(i, j) * b(j, c);
    b(i, c) = CheckFinite(s / a(i, i));
  }
}

bool LuInvert(LuWork& lu, int n, const Workspace& ws, ui::Frontend& ui) {
  if (lu.Identity.Rows() < n || lu.Identity.Columns() < n) lu.Identity.Resize(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) lu.Identity(i, j) = i == j ? 1.0 : 0.0;
  lu.DecompositionFailed = 0;
  if (!LuDecompose(lu, n, ws, ui)) return false;
  for (int i = 1; i <= n; ++i) lu.PivotParity = lu.PivotParity / lu.DecompMatrix(i, i);
  CheckFinite(lu.PivotParity);
  for (int c = 1; c <= n; ++c) LuSolve(lu, n, c, lu.Identity, ui);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) lu.DecompMatrix(i, j) = lu.Identity(i, j);
  return true;
}

}  // namespace kalvex
