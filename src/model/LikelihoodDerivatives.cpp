#include "model/LikelihoodDerivatives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>

#include "model/Likelihood.h"
#include "model/LikelihoodSteps.h"
#include "model/Parameters.h"
#include "workspace/ForwardDerivatives.h"
#include "workspace/NumericFault.h"

namespace kalvex::model {
namespace {

using ad::FirstOrder;
using ad::SecondOrder;

// The derivative types come in a few sizes of at least the 2S + 5 estimated
// parameters: a second-order number costs the square of its size, so the
// steps are fine where the models are small.
template <class Visit>
decltype(auto) WithDirections(int parameters, Visit&& visit) {
  static_assert(2 * kMaxSpecies + 5 <= 56);
  if (parameters <= 8) return visit(std::integral_constant<int, 8>{});
  if (parameters <= 12) return visit(std::integral_constant<int, 12>{});
  if (parameters <= 16) return visit(std::integral_constant<int, 16>{});
  if (parameters <= 24) return visit(std::integral_constant<int, 24>{});
  if (parameters <= 32) return visit(std::integral_constant<int, 32>{});
  if (parameters <= 40) return visit(std::integral_constant<int, 40>{});
  if (parameters <= 48) return visit(std::integral_constant<int, 48>{});
  return visit(std::integral_constant<int, 56>{});
}

// The residuals of one derivative evaluation: their values from the double
// steps, their derivatives from the Jacobian.
struct Residuals {
  int periods = 0;
  int parameters = 0;
  std::array<double, kMaxTimePeriods + 1> values{};
  const ResidualJacobian* jacobian = nullptr;
  bool omegaInRange = true;
  double omega = 0;  // the trial Omega, before the range correction

  const double* Row(int i) const { return jacobian->Row(i, omegaInRange); }
};

template <int N>
FirstOrder<N> FirstOrderResidual(const Residuals& r, int i) {
  FirstOrder<N> y(r.values[i]);
  const double* row = r.Row(i);
  for (int k = 0; k < r.parameters; ++k) y.fastAccessDx(k) = row[k];
  return y;
}

// Affine in the parameters, a residual has no second derivatives.
template <int N>
SecondOrder<N> SecondOrderResidual(const Residuals& r, int i) {
  SecondOrder<N> y(N, FirstOrderResidual<N>(r, i));
  const double* row = r.Row(i);
  for (int k = 0; k < r.parameters; ++k) y.fastAccessDx(k) = FirstOrder<N>(row[k]);
  return y;
}

// Steps 2 to 9 from the residuals. The filter runs twice, for the back-cast
// sum and then for the innovations, instead of keeping its series: a series
// of second-order numbers would fill megabytes.
template <class T, class Residual>
T ObjectiveFromResiduals(int n, T omega, Residual residual) {
  T penalty = T(0.0);
  CorrectOmega(omega, penalty);
  const T rho = LambdaFromOmega(omega);
  const T determinant = LambdaDeterminant(rho, n);
  T filtered = T(0.0);
  T power = T(1.0);
  T backcast = T(0.0);
  for (int i = 2; i <= n; ++i) {
    FilterStep(rho, residual(i), filtered, power);
    backcast = backcast + power * filtered;
  }
  const T first = T(-backcast / determinant);
  filtered = T(0.0);
  power = T(1.0);
  T sumSquares = T(0.0);
  AddInnovationSquare(power, first, filtered, sumSquares);
  for (int i = 2; i <= n; ++i) {
    FilterStep(rho, residual(i), filtered, power);
    AddInnovationSquare(power, first, filtered, sumSquares);
  }
  return ObjectiveFrom(Logarithm(determinant), sumSquares, n, penalty);
}

template <int N>
double Gradient(const Residuals& r, double* gradient) {
  const int omega = r.parameters;  // Omega is the last estimated parameter
  const FirstOrder<N> f = ObjectiveFromResiduals(r.periods, ad::FirstVariable<N>(r.omega, omega - 1),
                                                 [&r](int i) { return FirstOrderResidual<N>(r, i); });
  for (int k = 0; k < r.parameters; ++k) gradient[k + 1] = f.dx(k);
  return f.val();
}

template <int N>
double GradientAndHessian(const Residuals& r, double* gradient, Matrix& hessian) {
  const int omega = r.parameters;
  const SecondOrder<N> f = ObjectiveFromResiduals(r.periods, ad::SecondVariable<N>(r.omega, omega - 1),
                                                  [&r](int i) { return SecondOrderResidual<N>(r, i); });
  // Forward mode works each pair out twice, in orders that may differ in
  // the last bit: the upper triangle is kept, so the Hessian is symmetric.
  for (int k = 0; k < r.parameters; ++k) {
    gradient[k + 1] = ad::FirstDerivative<N>(f, k);
    for (int l = k; l < r.parameters; ++l) {
      hessian(k + 1, l + 1) = ad::SecondDerivative<N>(f, k, l);
      hessian(l + 1, k + 1) = hessian(k + 1, l + 1);
    }
  }
  return ad::ValueOf<N>(f);
}

// The same on AVX2, everything inlined into the one function so that every
// derivative loop uses the wide registers. Each direction's arithmetic is
// the same operations on either unit, so the bits are the same.
template <int N>
[[gnu::target("avx2"), gnu::flatten]] double GradientAvx2(const Residuals& r, double* gradient) {
  return Gradient<N>(r, gradient);
}
template <int N>
[[gnu::target("avx2"), gnu::flatten]] double GradientAndHessianAvx2(const Residuals& r, double* gradient,
                                                                     Matrix& hessian) {
  return GradientAndHessian<N>(r, gradient, hessian);
}

template <int N>
void JacobianRows(const ModelData& d, bool omegaInRange, std::vector<double>& rows) {
  const ParameterLayout layout{d.NumSpecies};
  const int parameters = layout.Estimated();
  // At any point: the derivatives of an affine function are the same everywhere.
  std::vector<FirstOrder<N>> values(static_cast<std::size_t>(layout.Count()) + 1, FirstOrder<N>(0.0));
  for (int k = 1; k <= parameters; ++k)
    values[k] = ad::FirstVariable<N>(0.0, k == layout.Omega() && !omegaInRange ? -1 : k - 1);
  CoefficientsOf<FirstOrder<N>> c;
  c.bMESpecies.assign(static_cast<std::size_t>(d.NumSpecies) + 1, FirstOrder<N>(0.0));
  c.bPESpecies.assign(static_cast<std::size_t>(d.NumSpecies) + 1, FirstOrder<N>(0.0));
  ReadCoefficients(values.data(), layout, values[layout.Omega()], c);
  rows.assign(static_cast<std::size_t>(d.NumPeriods + 1) * parameters, 0.0);
  for (int i = 2; i <= d.NumPeriods; ++i) {
    const FirstOrder<N> residual = ResidualOf(d, c, i);
    for (int k = 0; k < parameters; ++k) rows[static_cast<std::size_t>(i) * parameters + k] = residual.dx(k);
  }
}

}  // namespace

ResidualJacobian ResidualJacobian::Of(const ModelData& d) {
  ResidualJacobian jacobian;
  jacobian.directions_ = ParameterLayout{d.NumSpecies}.Estimated();
  WithDirections(jacobian.directions_, [&](auto size) {
    JacobianRows<decltype(size)::value>(d, true, jacobian.inRange_);
    JacobianRows<decltype(size)::value>(d, false, jacobian.outOfRange_);
  });
  return jacobian;
}

double LikelihoodDerivatives(const ModelData& d, const ResidualJacobian& jacobian, std::span<const double> values,
                             std::span<double> gradient, Matrix* hessian, VectorUnit unit) {
  const ParameterLayout layout{d.NumSpecies};
  const int count = layout.Count();
  Residuals r;
  r.periods = d.NumPeriods;
  r.parameters = layout.Estimated();
  r.jacobian = &jacobian;
  r.omega = values[layout.Omega()];
  if (std::isnan(r.omega)) throw NumericFault(kInvalidCall);

  // The residual values as the evaluation computes them, at the corrected Omega.
  std::vector<double> corrected(values.begin(), values.end());
  double penalty = 0;
  CorrectOmega(corrected[layout.Omega()], penalty);
  r.omegaInRange = corrected[layout.Omega()] == r.omega;
  Coefficients c;
  c.bMESpecies.assign(static_cast<std::size_t>(d.NumSpecies) + 1, 0.0);
  c.bPESpecies.assign(static_cast<std::size_t>(d.NumSpecies) + 1, 0.0);
  ReadCoefficients(corrected.data(), layout, corrected[layout.Omega()], c);
  for (int i = 2; i <= d.NumPeriods; ++i) r.values[i] = ResidualOf(d, c, i);

  std::fill(gradient.begin() + 1, gradient.begin() + count + 1, 0.0);
  if (hessian)
    for (int k = 1; k <= count; ++k)
      for (int l = 1; l <= count; ++l) (*hessian)(k, l) = 0;
  const bool avx2 = unit == VectorUnit::kAvx2;
  const double objective = WithDirections(r.parameters, [&](auto size) {
    constexpr int N = decltype(size)::value;
    if (hessian)
      return avx2 ? GradientAndHessianAvx2<N>(r, gradient.data(), *hessian)
                  : GradientAndHessian<N>(r, gradient.data(), *hessian);
    return avx2 ? GradientAvx2<N>(r, gradient.data()) : Gradient<N>(r, gradient.data());
  });
  for (int k = 1; k <= r.parameters; ++k) {
    CheckFinite(gradient[k]);
    if (hessian)
      for (int l = 1; l <= r.parameters; ++l) CheckFinite((*hessian)(k, l));
  }
  return CheckFinite(objective);
}

}  // namespace kalvex::model
