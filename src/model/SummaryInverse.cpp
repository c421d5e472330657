#include "model/SummaryInverse.h"

#include <algorithm>
#include <cmath>

#include "minimize/LuDecomposition.h"
#include "workspace/NumericFault.h"

namespace kalvex::model {

Matrix InvertScaledLu(const Matrix& a) {
  const int n = a.Rows();
  // Each row's scale 1 / largest |entry| is a guarded division here, row by
  // row, so a row of zeros or of denormals faults before any elimination.
  for (int i = 1; i <= n; ++i) {
    double big = 0;
    for (int j = 1; j <= n; ++j) big = std::max(big, std::fabs(a(i, j)));
    SafeDivide(1.0, big);
  }
  LuWork lu;
  lu.Resize(n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) lu.DecompMatrix(i, j) = a(i, j);
  if (!LuDecompose(lu, n).Ok()) throw NumericFault(kDivisionByZero);
  Matrix inverse(n, n);
  for (int i = 1; i <= n; ++i) inverse(i, i) = 1;
  for (int c = 1; c <= n; ++c) LuSolve(lu, n, c, inverse);
  return inverse;
}

}  // namespace kalvex::model
