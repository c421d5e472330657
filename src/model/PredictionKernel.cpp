#include "model/PredictionKernel.h"

namespace kalvex::model {
namespace {

// GCC vector types: + and * work lane by lane with the IEEE operation of
// one double each (no fused multiply-add: neither the flags nor the AVX2
// target allow it), so a vector of periods gives exactly what a loop over
// the same periods would. A scalar operand is copied into every lane.
// Memory is read and written through a packed, may-alias cell: GCC and
// clang both make its accesses unaligned moves, where a reference to the
// vector type itself lets clang assume an alignment the series lack.
struct Sse2 {
  typedef double Lanes __attribute__((vector_size(16)));
  struct [[gnu::packed, gnu::may_alias]] Cell { Lanes v; };
};
struct Avx2 {
  typedef double Lanes __attribute__((vector_size(32)));
  struct [[gnu::packed, gnu::may_alias]] Cell { Lanes v; };
};

// Plain pointers and numbers only: the AVX2 code calls nothing outside this file.
struct KernelInputs {
  const double* blocks;
  int blockCount;
  int periods;
  int species;
  double b0, bME, bPE, bV, omega, rho;
  const double* bMESpecies;  // 1..S
  const double* bPESpecies;  // 1..S
  double* power;
  bool fillPower;  // rho changed: the filter works out the weights as it goes
  double* prediction;
  double* residual;
  double* filtered;
};

template <class Unit>
[[gnu::always_inline]] inline const typename Unit::Cell& At(const double* p) {
  return *reinterpret_cast<const typename Unit::Cell*>(p);
}

template <class Unit>
[[gnu::always_inline]] inline typename Unit::Cell& At(double* p) {
  return *reinterpret_cast<typename Unit::Cell*>(p);
}

// K vectors of periods per block: enough independent sums to keep both
// adders busy while each sum waits for its previous addition.
template <class Unit, int K>
[[gnu::always_inline]] inline double PredictBlocks(const KernelInputs& in) {
  using Vec = typename Unit::Lanes;
  constexpr int kLanes = sizeof(Vec) / sizeof(double);
  constexpr int kWidth = K * kLanes;
  const double b0 = in.b0, bME = in.bME, bPE = in.bPE, bV = in.bV, omega = in.omega;
  const double rho = in.rho;
  const double* row = in.blocks;  // the blocks are one stream, read front to back
  // The filter is one serial chain of multiply and add, period after
  // period. It follows one block behind: each species of a block also
  // filters one period of the block before, so that the chain's waiting
  // overlaps the independent products instead of coming after them.
  double f = 0;       // Filtered(next - 1)
  double t = 0;       // the back-cast sum so far
  double weight = 1;  // rho^(next - 2) while the weights are filled
  int next = 2;       // the next period to filter
  int ready = 1;      // the last period whose residual is stored
  const double* residualSeries = in.residual;
  double* power = in.power;
  double* filtered = in.filtered;
  const bool fillPower = in.fillPower;
  auto filter = [&](int i) __attribute__((always_inline)) {
    f = rho * f + residualSeries[i];
    filtered[i] = f;
    if (fillPower) {
      weight = weight * rho;  // a third chain, beside the filter's and the sum's
      power[i] = weight;
    }
    t = t + power[i] * f;
  };
  for (int block = 0; block < in.blockCount; ++block) {
    Vec sum[K];
    // bV x Intervention + b0 + W x (LnIndex(i - 1) + IndexGap(i)),
    // then + bME x LnEffortFromStart + bPE x LnEffortStep.
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) sum[k] = bV * At<Unit>(row + k * kLanes).v + b0;
    row += kWidth;
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) sum[k] = sum[k] + omega * At<Unit>(row + k * kLanes).v;
    row += kWidth;
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) sum[k] = sum[k] + bME * At<Unit>(row + k * kLanes).v;
    row += kWidth;
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) sum[k] = sum[k] + bPE * At<Unit>(row + k * kLanes).v;
    row += kWidth;
    for (int j = 1; j <= in.species; ++j) {
      const double me = in.bMESpecies[j];
      const double pe = in.bPESpecies[j];
#pragma GCC unroll 8
      for (int k = 0; k < K; ++k) sum[k] = sum[k] + At<Unit>(row + k * kLanes).v * me;
      row += kWidth;
#pragma GCC unroll 8
      for (int k = 0; k < K; ++k) sum[k] = sum[k] + At<Unit>(row + k * kLanes).v * pe;
      row += kWidth;
      if (next <= ready) filter(next++);
    }
    while (next <= ready) filter(next++);

    // Straight into the series, whose room past n takes the repeated periods.
    const int first = 2 + block * kWidth;
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) {
      At<Unit>(in.prediction + first + k * kLanes).v = sum[k];
      // IndexFromStart - Prediction
      At<Unit>(in.residual + first + k * kLanes).v = At<Unit>(row + k * kLanes).v - sum[k];
    }
    row += kWidth;
    const int count = in.periods - first + 1 < kWidth ? in.periods - first + 1 : kWidth;
    ready = first + count - 1;
  }
  while (next <= ready) filter(next++);
  return t;
}

using Kernel = double (*)(const KernelInputs&);

template <int K>
double Sse2Kernel(const KernelInputs& in) {
  return PredictBlocks<Sse2, K>(in);
}

template <int K>
[[gnu::target("avx2")]] double Avx2Kernel(const KernelInputs& in) {
  return PredictBlocks<Avx2, K>(in);
}

// Indexed by vectors per block - 1.
constexpr Kernel kSse2Kernels[PeriodBlocks::kMaxVectorsPerBlock] = {
    &Sse2Kernel<1>, &Sse2Kernel<2>, &Sse2Kernel<3>, &Sse2Kernel<4>,
    &Sse2Kernel<5>, &Sse2Kernel<6>, &Sse2Kernel<7>, &Sse2Kernel<8>};
constexpr Kernel kAvx2Kernels[PeriodBlocks::kMaxVectorsPerBlock] = {
    &Avx2Kernel<1>, &Avx2Kernel<2>, &Avx2Kernel<3>, &Avx2Kernel<4>,
    &Avx2Kernel<5>, &Avx2Kernel<6>, &Avx2Kernel<7>, &Avx2Kernel<8>};

}  // namespace

double PredictAndFilter(const PeriodBlocks& blocks, const Coefficients& c, double rho, bool fillPower,
                        LikelihoodWork& w) {
  const KernelInputs in{blocks.values.data(),
                        blocks.blockCount,
                        blocks.periods,
                        blocks.species,
                        c.b0,
                        c.bME,
                        c.bPE,
                        c.bV,
                        c.W,
                        rho,
                        c.bMESpecies.data(),
                        c.bPESpecies.data(),
                        w.Power.data(),
                        fillPower,
                        w.Prediction.data(),
                        w.Residual.data(),
                        w.Filtered.data()};
  const Kernel* kernels = blocks.unit == VectorUnit::kAvx2 ? kAvx2Kernels : kSse2Kernels;
  return kernels[blocks.vectorsPerBlock - 1](in);
}

}  // namespace kalvex::model
