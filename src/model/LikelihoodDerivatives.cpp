#include "model/LikelihoodDerivatives.h"

#include <algorithm>
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

// The residuals of one derivative evaluation: their values from the
// evaluation itself, their derivatives from the Jacobian.
struct Residuals {
  int periods = 0;
  int parameters = 0;
  const double* values = nullptr;  // 2..periods
  const ResidualJacobian* jacobian = nullptr;
  bool omegaInRange = true;
  double omega = 0;  // the trial Omega, before the range correction

  const double* Row(int i) const { return jacobian->Row(i, omegaInRange); }
};

template <int N>
FirstOrder<N> FirstOrderResidual(const Residuals& r, int i) {
  FirstOrder<N> y(N, r.values[i], Sacado::NoInitDerivArray);  // every entry is set below
  const double* row = r.Row(i);
  for (int k = 0; k < N; ++k) y.fastAccessDx(k) = k < r.parameters ? row[k] : 0.0;
  return y;
}

// Everything up to the innovations is affine in the coefficients other than
// Omega once Omega is fixed: the residuals are affine in all of them, and the
// filter, the back-cast and the innovations are linear in the residuals with
// weights that depend on Omega alone. So their second derivatives lie in
// Omega's row and column, and they are carried as numbers of second order in
// Omega and first order in every parameter: a tiny fraction of the work of
// full second order. Only the sum of squares needs every second derivative;
// each innovation is made a full second-order number just before it is
// squared.
template <int N>
using OmegaSecondOrder = Sacado::Fad::SFad<FirstOrder<N>, 1>;

// Affine in every parameter, a residual has no second derivatives at all.
template <int N>
OmegaSecondOrder<N> OmegaSecondOrderResidual(const Residuals& r, int i) {
  OmegaSecondOrder<N> y(1, FirstOrderResidual<N>(r, i));
  y.fastAccessDx(0) = FirstOrder<N>(r.Row(i)[r.parameters - 1]);
  return y;
}

// The full second-order number of a quantity whose second derivatives lie in
// Omega's row and column (direction omega). It is one number kept and
// overwritten: the entries outside that row and column are zero once and
// for all, and each call writes the same others anew.
template <int N>
class FullSecondOrder {
 public:
  FullSecondOrder(int parameters, int omega)
      : parameters_(parameters), omega_(omega), y_(N, FirstOrder<N>(0.0)) {
    for (int j = 0; j < N; ++j) y_.fastAccessDx(j) = FirstOrder<N>(0.0);
  }
  const SecondOrder<N>& operator()(const OmegaSecondOrder<N>& x) {
    // fastAccessDx, not dx: dx hands out a copy.
    const FirstOrder<N>& omegaRow = x.fastAccessDx(0);
    y_.val() = x.val();
    for (int j = 0; j < parameters_; ++j) {
      y_.fastAccessDx(j).val() = x.val().fastAccessDx(j);
      y_.fastAccessDx(j).fastAccessDx(omega_) = omegaRow.fastAccessDx(j);
    }
    y_.fastAccessDx(omega_) = omegaRow;
    return y_;
  }

 private:
  int parameters_, omega_;
  SecondOrder<N> y_;
};

// Steps 2 to 9 from the residuals: everything up to the innovations in T,
// their squares, their sum and the objective in S, which full takes them to.
// The filter runs twice, for the back-cast sum and then for the innovations,
// instead of keeping its series: series of such numbers would fill megabytes.
template <class S, class T, class Residual, class Full>
S ObjectiveFromResiduals(int n, T omega, Residual residual, Full&& full) {
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
  S sumSquares = S(0.0);
  AddSquare(full(InnovationOf(power, first, filtered)), sumSquares);
  for (int i = 2; i <= n; ++i) {
    FilterStep(rho, residual(i), filtered, power);
    AddSquare(full(InnovationOf(power, first, filtered)), sumSquares);
  }
  const S lnDeterminant = full(Logarithm(determinant));
  const S fullPenalty = full(penalty);
  return ObjectiveFrom(lnDeterminant, sumSquares, n, fullPenalty);
}

template <int N>
double Gradient(const Residuals& r, double* gradient) {
  const int omega = r.parameters - 1;  // Omega is the last estimated parameter
  const FirstOrder<N> f = ObjectiveFromResiduals<FirstOrder<N>>(
      r.periods, ad::FirstVariable<N>(r.omega, omega), [&r](int i) { return FirstOrderResidual<N>(r, i); },
      [](const FirstOrder<N>& x) -> const FirstOrder<N>& { return x; });
  for (int k = 0; k < r.parameters; ++k) gradient[k + 1] = f.dx(k);
  return f.val();
}

template <int N>
double GradientAndHessian(const Residuals& r, double* gradient, Matrix& hessian) {
  const int omega = r.parameters - 1;
  const OmegaSecondOrder<N> seed(1, 0, FirstOrder<N>(N, omega, r.omega));
  const SecondOrder<N> f = ObjectiveFromResiduals<SecondOrder<N>>(
      r.periods, seed, [&r](int i) { return OmegaSecondOrderResidual<N>(r, i); },
      FullSecondOrder<N>(r.parameters, omega));
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
// the same operations on either unit, so the bits are the same. Under the
// sanitizers, where speed does not count, inlining everything would make the
// instrumented compile take many minutes.
#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#define KALVEX_AVX2_DERIVATIVES [[gnu::target("avx2")]]
#else
#define KALVEX_AVX2_DERIVATIVES [[gnu::target("avx2"), gnu::flatten]]
#endif

template <int N>
KALVEX_AVX2_DERIVATIVES double GradientAvx2(const Residuals& r, double* gradient) {
  return Gradient<N>(r, gradient);
}
template <int N>
KALVEX_AVX2_DERIVATIVES double GradientAndHessianAvx2(const Residuals& r, double* gradient, Matrix& hessian) {
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

double LikelihoodDerivatives(const ModelData& d, const PeriodBlocks& blocks, const ResidualJacobian& jacobian,
                             std::span<const double> values, std::span<double> gradient, Matrix* hessian) {
  const ParameterLayout layout{d.NumSpecies};
  const int count = layout.Count();
  Residuals r;
  r.periods = d.NumPeriods;
  r.parameters = layout.Estimated();
  r.jacobian = &jacobian;
  r.omega = values[layout.Omega()];
  if (std::isnan(r.omega)) throw NumericFault(kInvalidCall);

  // The residual values as the evaluation computes them, at the corrected
  // Omega, in work of this thread's own, kept so that calls allocate nothing.
  thread_local std::vector<double> trial;
  thread_local LikelihoodWork work;
  if (work.coefficients.bMESpecies.size() != static_cast<std::size_t>(d.NumSpecies) + 1)
    work = LikelihoodWork::Sized(d.NumSpecies);
  trial.assign(values.begin(), values.end());
  EvaluateLikelihood(d, blocks, trial, work);
  r.omegaInRange = trial[layout.Omega()] == r.omega;
  r.values = work.Residual.data();

  std::fill(gradient.begin() + 1, gradient.begin() + count + 1, 0.0);
  if (hessian)
    for (int k = 1; k <= count; ++k)
      for (int l = 1; l <= count; ++l) (*hessian)(k, l) = 0;
  const bool avx2 = blocks.unit == VectorUnit::kAvx2;
  const double objective = WithDirections(r.parameters, [&](auto size) {
    constexpr int N = decltype(size)::value;
    if (hessian)
      return avx2 ? GradientAndHessianAvx2<N>(r, gradient.data(), *hessian)
                  : GradientAndHessian<N>(r, gradient.data(), *hessian);
    return avx2 ? GradientAvx2<N>(r, gradient.data()) : Gradient<N>(r, gradient.data());
  });
  for (int k = 1; k <= r.parameters; ++k) {
    if (!std::isfinite(gradient[k])) CheckFinite(gradient[k]);
    if (hessian)
      for (int l = 1; l <= r.parameters; ++l)
        if (!std::isfinite((*hessian)(k, l))) CheckFinite((*hessian)(k, l));
  }
  return CheckFinite(objective);
}

}  // namespace kalvex::model
