#pragma once
// Exact derivatives by forward automatic differentiation (Trilinos Sacado):
// first-order numbers carry a gradient in N directions, second-order ones a
// gradient and a Hessian. The objective code is written once on its scalar
// type; these types run it. Each number is a plain value with no shared
// state, so derivatives on different threads never meet.
//
// Debian's Sacado headers are configured for Kokkos, whose headers Sacado
// only needs for GPU builds: the configuration is read here and the Kokkos
// (and Teuchos, MPI) switches are turned off before the forward types load.
#define TRILINOS_NO_CONFIG_H
#include <Sacado_config.h>
#undef HAVE_SACADO_KOKKOSCORE
#undef HAVE_SACADO_KOKKOSCONTAINERS
#undef HAVE_SACADO_TEUCHOSKOKKOSCOMM
#undef HAVE_SACADO_KOKKOSMPICOMM
#undef HAVE_SACADO_VIEW_SPEC
#undef HAVE_SACADO_TEUCHOSCORE
#undef HAVE_SACADO_TEUCHOSCOMM
#undef HAVE_SACADO_TEUCHOSNUMERICS
#undef HAVE_MPI
#include <Sacado_Fad_SFad.hpp>

#include "workspace/Matrix.h"

namespace kalvex::ad {

// N directions, fixed at compile time so that every operation is a loop of
// known length the compiler unrolls and vectorizes.
template <int N>
using FirstOrder = Sacado::Fad::SFad<double, N>;
template <int N>
using SecondOrder = Sacado::Fad::SFad<FirstOrder<N>, N>;

// x as an independent variable in direction k (0-based), or a constant when
// k < 0.
template <int N>
FirstOrder<N> FirstVariable(double x, int k) {
  return k < 0 ? FirstOrder<N>(x) : FirstOrder<N>(N, k, x);
}
template <int N>
SecondOrder<N> SecondVariable(double x, int k) {
  return k < 0 ? SecondOrder<N>(FirstOrder<N>(x)) : SecondOrder<N>(N, k, FirstOrder<N>(N, k, x));
}

// The value, gradient and Hessian a second-order number carries (through
// fastAccessDx: dx hands out a copy of the inner number).
template <int N>
double ValueOf(const SecondOrder<N>& y) {
  return y.val().val();
}
template <int N>
double FirstDerivative(const SecondOrder<N>& y, int k) {
  return y.val().fastAccessDx(k);
}
template <int N>
double SecondDerivative(const SecondOrder<N>& y, int k, int l) {
  return y.fastAccessDx(k).fastAccessDx(l);
}

}  // namespace kalvex::ad
