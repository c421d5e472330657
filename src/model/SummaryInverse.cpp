#include "model/SummaryInverse.h"

#include <cmath>
#include <utility>
#include <vector>

#include "workspace/NumericFault.h"

namespace kalvex::model {
namespace {

constexpr double kTinyPivot = 1e-20;

struct Decomposition {
  Matrix lu;
  std::vector<int> pivotRows;
};

Decomposition Decompose(const Matrix& a) {
  const int n = a.Rows();
  Decomposition d{a, std::vector<int>(n + 1, 0)};
  Matrix& m = d.lu;
  std::vector<double> scale(n + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    double big = 0;
    for (int j = 1; j <= n; ++j) big = std::max(big, std::fabs(m(i, j)));
    scale[i] = SafeDivide(1.0, big);  // a row of zeros cannot be scaled
  }
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i < j; ++i) {
      double sum = m(i, j);
      for (int k = 1; k < i; ++k) sum -= m(i, k) * m(k, j);
      m(i, j) = sum;
    }
    double big = 0;
    int imax = j;
    for (int i = j; i <= n; ++i) {
      double sum = m(i, j);
      for (int k = 1; k < j; ++k) sum -= m(i, k) * m(k, j);
      m(i, j) = sum;
      double f = scale[i] * std::fabs(sum);
      if (f >= big) {
        big = f;
        imax = i;
      }
    }
    if (imax != j) {
      for (int k = 1; k <= n; ++k) std::swap(m(imax, k), m(j, k));
      scale[imax] = scale[j];
    }
    d.pivotRows[j] = imax;
    if (m(j, j) == 0) m(j, j) = kTinyPivot;
    if (j != n) {
      double reciprocal = 1.0 / m(j, j);
      for (int i = j + 1; i <= n; ++i) m(i, j) *= reciprocal;
    }
  }
  return d;
}

// Solves for column c of b in place.
void Solve(const Decomposition& d, Matrix& b, int c) {
  const Matrix& m = d.lu;
  const int n = m.Rows();
  int first = 0;
  for (int i = 1; i <= n; ++i) {
    int p = d.pivotRows[i];
    double s = b(p, c);
    b(p, c) = b(i, c);
    if (first != 0) {
      for (int j = first; j < i; ++j) s -= m(i, j) * b(j, c);
    } else if (s != 0) {
      first = i;
    }
    b(i, c) = s;
  }
  for (int i = n; i >= 1; --i) {
    double s = b(i, c);
    for (int j = i + 1; j <= n; ++j) s -= m(i, j) * b(j, c);
    b(i, c) = CheckFinite(s / m(i, i));
  }
}

}  // namespace

Matrix InvertScaledLu(const Matrix& a) {
  const int n = a.Rows();
  Decomposition d = Decompose(a);
  Matrix inverse(n, n);
  for (int i = 1; i <= n; ++i) inverse(i, i) = 1;
  for (int c = 1; c <= n; ++c) Solve(d, inverse, c);
  return inverse;
}

}  // namespace kalvex::model
