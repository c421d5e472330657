// The evaluation against a plain copy of the period-by-period arithmetic it
// replaced, on random data and trial vectors for every model size and on
// every vector unit of this processor: the objective and every series and
// scalar the summary reads equal to the last bit, the same fault where one
// occurs. The exact derivatives differentiate that same arithmetic: their
// objective is the evaluation's to the last bit, and they are the same bits
// on every vector unit and from several threads at once.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "model/Likelihood.h"
#include "model/LikelihoodDerivatives.h"
#include "model/OskaneModel.h"
#include "model/Parameters.h"
#include "model/PeriodBlocks.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

using namespace model;

// Steps 1 to 8, one period at a time, each period's terms in formula order.
void ReferenceCompute(const ModelData& d, std::vector<double>& v, double trialOmega, LikelihoodWork& w) {
  const ParameterLayout p{d.NumSpecies};
  const int n = d.NumPeriods;
  w.OmegaPenalty = 0;
  double& W = v[p.Omega()];
  W = trialOmega;
  if (!(W >= 0)) w.OmegaPenalty = w.OmegaPenalty + 1e20 * (W * W), W = 0;
  if (W > 1) w.OmegaPenalty = w.OmegaPenalty + 1e20 * ((W - 1) * (W - 1)), W = 0;
  const double a = (1 - W * W) * W, b = 2 * W * W * W - 2 * W - 1, c = (1 - W * W) * W;
  const double rho = a != 0 ? (-b - SafeSqrt(b * b - 4 * a * c)) / (2 * a) : -c / b;
  w.Lambda = rho;
  w.LambdaDeterminant = std::fabs(rho) != 1 ? (1 - std::pow(rho, 2.0 * n)) / (1 - rho * rho) : n;
  w.Prediction[1] = w.Residual[1] = -999;
  double f = 0, weight = 1, t = 0;
  w.Filtered[1] = f;
  w.Power[1] = weight;
  for (int i = 2; i <= n; ++i) {
    double q =
        v[p.Intervention()] * d.Intervention[i] + v[p.Intercept()] + W * (d.LnIndex[i - 1] + d.IndexGap[i]);
    q = q + v[p.EffortME()] * d.LnEffortFromStart[i] + v[p.EffortPE()] * d.LnEffortStep[i];
    for (int j = 1; j <= d.NumSpecies; ++j) {
      q = q + d.StdCatchFromStart(i, j) * v[p.SpeciesME(j)];
      q = q + d.StdCatchStep(i, j) * v[p.SpeciesPE(j)];
    }
    w.Prediction[i] = q;
    w.Residual[i] = d.IndexFromStart[i] - q;
    f = rho * f + w.Residual[i];
    weight = weight * rho;
    w.Filtered[i] = f;
    w.Power[i] = weight;
    t = t + weight * f;
  }
  const double first = -t / w.LambdaDeterminant;
  w.SumSquares = 0;
  for (int i = 1; i <= n; ++i) {
    w.Innovation[i] = w.Power[i] * first + w.Filtered[i];
    w.SumSquares = w.SumSquares + w.Innovation[i] * w.Innovation[i];
  }
}

// The objective, or the fault's text.
struct Outcome {
  double objective = 0;
  std::string fault;
};

template <class Evaluate>
Outcome Catching(Evaluate evaluate) {
  try {
    return {evaluate(), ""};
  } catch (const NumericFault& e) {
    return {0, e.what()};
  }
}

Outcome ReferenceEvaluate(const ModelData& d, std::vector<double>& v, LikelihoodWork& w) {
  return Catching([&] {
    const double trialOmega = v[ParameterLayout{d.NumSpecies}.Omega()];
    if (std::isnan(trialOmega)) throw NumericFault(kInvalidCall);
    FloatingPointGuard guard;
    ReferenceCompute(d, v, trialOmega, w);
    if (!std::isfinite(w.SumSquares) || !std::isfinite(w.OmegaPenalty)) {
      guard.Check();
      CheckFinite(w.OmegaPenalty);
      CheckFinite(w.SumSquares);
    }
    const int n = d.NumPeriods;
    return CheckFinite(SafeLog(w.LambdaDeterminant) + (n - 1) * SafeLog(w.SumSquares) + w.OmegaPenalty);
  });
}

ModelData RandomData(int species, int periods, std::mt19937_64& random) {
  std::uniform_real_distribution<double> value(-2, 2);
  ModelData d = ModelData::Sized(species);
  d.NumPeriods = periods;
  for (int i = 1; i <= periods; ++i) {
    d.Intervention[i] = i > periods / 2 ? 1 : 0;
    for (std::vector<double>* s :
         {&d.LnIndex, &d.IndexGap, &d.LnEffortFromStart, &d.LnEffortStep, &d.IndexFromStart})
      (*s)[i] = value(random);
    for (int j = 1; j <= species; ++j) {
      d.StdCatchFromStart(i, j) = value(random);
      d.StdCatchStep(i, j) = value(random);
    }
  }
  return d;
}

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The first quantity that differs, or "".
std::string FirstDifference(const LikelihoodWork& a, const LikelihoodWork& b, int n) {
  for (auto [name, x, y] : {std::tuple{"Lambda", a.Lambda, b.Lambda},
                            {"LambdaDeterminant", a.LambdaDeterminant, b.LambdaDeterminant},
                            {"SumSquares", a.SumSquares, b.SumSquares},
                            {"OmegaPenalty", a.OmegaPenalty, b.OmegaPenalty}})
    if (!SameBits(x, y)) return name;
  for (auto [name, x, y] : {std::tuple{"Prediction", &a.Prediction, &b.Prediction},
                            {"Residual", &a.Residual, &b.Residual},
                            {"Filtered", &a.Filtered, &b.Filtered},
                            {"Innovation", &a.Innovation, &b.Innovation}})
    if (std::memcmp(x->data() + 1, y->data() + 1, sizeof(double) * n) != 0) return name;
  return "";
}

std::vector<VectorUnit> UnitsHere() {
  if (FastestVectorUnit() == VectorUnit::kAvx2) return {VectorUnit::kSse2, VectorUnit::kAvx2};
  return {VectorUnit::kSse2};
}

TEST(LikelihoodBits, EqualToThePeriodByPeriodArithmeticForEveryModelSize) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> coefficient(-0.6, 0.6), unit(0, 1);
  const double kInf = std::numeric_limits<double>::infinity();
  for (int species = 1; species <= kMaxSpecies; ++species) {
    for (int periods = 2; periods <= kMaxTimePeriods; ++periods) {
      const ModelData d = RandomData(species, periods, random);
      const ParameterLayout layout{species};
      const double drawn = unit(random);
      // Omega at its edges and beyond them; the repeats reuse the kept rho and G.
      std::vector<double> omegas = {0.0,  -0.0, 1.0, std::nextafter(1.0, 0.0), 5e-324, 1e-300, 0.5,
                                    drawn, drawn, -0.2, 1.5, drawn};
      // Faults on a few sizes: overflow, infinities meeting, NaN, an overflowing penalty.
      const bool faults = periods % 17 == 2;
      if (faults) omegas.insert(omegas.end(), {drawn, drawn, drawn, 1e200, drawn});
      for (VectorUnit vectorUnit : UnitsHere()) {
        const PeriodBlocks blocks = PackPeriodBlocks(d, vectorUnit);
        LikelihoodWork work = LikelihoodWork::Sized(species), reference = LikelihoodWork::Sized(species);
        std::vector<double> v(layout.Count() + 1);
        for (std::size_t k = 0; k < omegas.size(); ++k) {
          for (double& x : v) x = coefficient(random);
          if (k == 12) v[layout.SpeciesME(species)] = 1e308, v[layout.EffortME()] = 1e308;
          if (k == 13) v[layout.SpeciesPE(1)] = kInf, v[layout.Intervention()] = -kInf;
          if (k == 14) v[layout.SpeciesME(1)] = std::numeric_limits<double>::quiet_NaN();
          if (k == 16) v[layout.Intercept()] = 1e200;  // finite prediction, overflowing sum of squares
          v[layout.Omega()] = omegas[k];
          std::vector<double> referenceValues = v;
          const Outcome expected = ReferenceEvaluate(d, referenceValues, reference);
          const Outcome actual = Catching([&] { return EvaluateLikelihood(d, blocks, v, work); });
          SCOPED_TRACE(::testing::Message() << species << " species, " << periods << " periods, omega "
                                            << omegas[k] << ", case " << k << ", AVX2 "
                                            << (vectorUnit == VectorUnit::kAvx2));
          ASSERT_EQ(actual.fault, expected.fault);
          ASSERT_TRUE(SameBits(actual.objective, expected.objective));
          ASSERT_TRUE(SameBits(v[layout.Omega()], referenceValues[layout.Omega()]));
          if (expected.fault.empty()) {
            ASSERT_EQ(FirstDifference(work, reference, periods), "");
          }
        }
      }
    }
  }
}

// Gradient and Hessian in one vector, for comparing bits.
std::vector<double> Derivatives(const ModelData& d, const ResidualJacobian& jacobian, const std::vector<double>& v,
                                VectorUnit unit, double& objective) {
  const int count = ParameterLayout{d.NumSpecies}.Count();
  std::vector<double> gradient(count + 1, 0.0);
  Matrix hessian(count, count);
  objective = LikelihoodDerivatives(d, PackPeriodBlocks(d, unit), jacobian, v, gradient, &hessian);
  for (int k = 1; k <= count; ++k)
    for (int l = 1; l <= count; ++l) gradient.push_back(hessian(k, l));
  return gradient;
}

TEST(LikelihoodBits, DerivativesDifferentiateTheEvaluationOnEveryVectorUnit) {
  std::mt19937_64 random(20240612);
  std::uniform_real_distribution<double> coefficient(-0.6, 0.6), unit(0, 1);
  for (int species : {1, 2, 4, 9, 25}) {
    for (int periods : {2, 3, 40, 100}) {
      const ModelData d = RandomData(species, periods, random);
      const ParameterLayout layout{species};
      const PeriodBlocks blocks = PackPeriodBlocks(d, VectorUnit::kSse2);
      const ResidualJacobian jacobian = ResidualJacobian::Of(d);
      LikelihoodWork work = LikelihoodWork::Sized(species);
      for (double omega : {0.0, 1.0, 0.5, unit(random), -0.2, 1.5}) {
        SCOPED_TRACE(::testing::Message() << species << " species, " << periods << " periods, omega " << omega);
        std::vector<double> v(layout.Count() + 1);
        for (double& x : v) x = coefficient(random);
        v[layout.Omega()] = omega;
        double withSse2 = 0, withUnit = 0;
        const std::vector<double> expected = Derivatives(d, jacobian, v, VectorUnit::kSse2, withSse2);
        for (VectorUnit vectorUnit : UnitsHere()) {
          ASSERT_EQ(std::memcmp(Derivatives(d, jacobian, v, vectorUnit, withUnit).data(), expected.data(),
                                sizeof(double) * expected.size()),
                    0);
        }
        ASSERT_TRUE(SameBits(withSse2, EvaluateLikelihood(d, blocks, v, work)));
      }
    }
  }
}

TEST(LikelihoodBits, DerivativesFromTwoThreadsAtOnceAreThoseOfOne) {
  OskaneModel model;
  model.Initialize({3, std::string(KALVEX_EXAMPLES) + "/three_species.dat"});
  std::vector<double> values(model.NumParameters() + 1, 0.1);
  values[model.Layout().Omega()] = 0.4;
  auto derivatives = [&](std::vector<double>& out) {
    for (int repeat = 0; repeat < 200; ++repeat) {
      std::vector<double> gradient(values.size(), 0.0);
      Matrix second(model.NumParameters(), model.NumParameters());
      model.Derivatives(values, gradient, second);
      out = gradient;
      for (int k = 1; k <= second.Rows(); ++k)
        for (int l = 1; l <= second.Columns(); ++l) out.push_back(second(k, l));
    }
  };
  std::vector<double> one, first, second;
  derivatives(one);
  std::thread a([&] { derivatives(first); }), b([&] { derivatives(second); });
  a.join();
  b.join();
  ASSERT_EQ(std::memcmp(first.data(), one.data(), sizeof(double) * one.size()), 0);
  ASSERT_EQ(std::memcmp(second.data(), one.data(), sizeof(double) * one.size()), 0);
}

}  // namespace
}  // namespace kalvex
