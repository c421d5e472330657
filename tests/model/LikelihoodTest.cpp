// The Oskane objective against a plain transcription of the likelihood
// written here from the raw data (row by row, std::pow for every power).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/OskaneModel.h"
#include "model/OskaneTestData.h"
#include "support/TestModels.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

using testing::RawOskaneData;

struct Reference {
  double objective = 0, rho = 0, g = 0, ss = 0, penalty = 0;
  std::vector<double> innovation, residual;  // 1-based
};

Reference ReferenceObjective(const RawOskaneData& r, std::vector<double> v) {
  const int n = r.Periods(), S = r.species;
  auto E = [&](int i) { return r.effort[i - 1]; };
  auto I = [&](int i) { return r.index[i - 1]; };
  auto C = [&](int i, int j) { return r.catches[i - 1][j - 1]; };
  std::vector<double> mean(S + 1), sd(S + 1);
  for (int j = 1; j <= S; ++j) {
    double sum = 0, sq = 0;
    for (int i = 1; i <= n; ++i) sum += C(i, j), sq += C(i, j) * C(i, j);
    mean[j] = sum / n;
    sd[j] = std::sqrt(double(n) / (n - 1)) * std::sqrt(sq / n - mean[j] * mean[j]);
  }
  auto Z = [&](int i, int j) { return (C(i, j) - mean[j]) / sd[j]; };
  auto lnE = [&](int i) { return std::log(E(i)); };
  auto lnI = [&](int i) { return std::log(I(i)); };
  auto lefs = [&](int i) { return lnE(i) - lnE(1); };
  auto ifs = [&](int i) { return lnI(i) - lefs(i); };
  auto les = [&](int i) { return lnE(i) - lnE(i - 1); };
  auto gap = [&](int i) { return ifs(i) - (lnI(i) - les(i)); };

  Reference out;
  double& W = v[2 * S + 5];
  if (!(W >= 0)) out.penalty += 1e20 * (W * W), W = 0;
  if (W > 1) out.penalty += 1e20 * ((W - 1) * (W - 1)), W = 0;
  const double A = (1 - W * W) * W, B = 2 * std::pow(W, 3) - 2 * W - 1;
  out.rho = A != 0 ? (-B - std::sqrt(B * B - 4 * A * A)) / (2 * A) : -A / B;
  const double rho = out.rho;
  out.g = (1 - std::pow(rho, 2 * n)) / (1 - rho * rho);

  std::vector<double> f(n + 1, 0.0);
  out.residual.assign(n + 1, -999);
  for (int i = 2; i <= n; ++i) {
    double p = v[2 * S + 4] * r.intervention[i - 1] + v[1] + W * (lnI(i - 1) + gap(i));
    p = p + v[2] * lefs(i) + v[S + 3] * les(i);
    for (int j = 1; j <= S; ++j) {
      p = p + (Z(i, j) - Z(1, j)) * v[2 + j];
      p = p + (Z(i, j) - Z(i - 1, j)) * v[S + 3 + j];
    }
    out.residual[i] = ifs(i) - p;
    f[i] = rho * f[i - 1] + out.residual[i];
  }
  double t = 0;
  for (int i = 1; i <= n - 1; ++i) t += std::pow(rho, i) * f[i + 1];
  out.innovation.assign(n + 1, 0.0);
  out.innovation[1] = -t / out.g;
  for (int i = 1; i <= n; ++i) {
    out.innovation[i] = std::pow(rho, i - 1) * out.innovation[1] + f[i];
    out.ss += out.innovation[i] * out.innovation[i];
  }
  out.objective = std::log(out.g) + (n - 1) * std::log(out.ss) + out.penalty;
  return out;
}

void ExpectClose(double actual, double expected, double relative = 1e-12) {
  EXPECT_NEAR(actual, expected, relative * std::max(1.0, std::fabs(expected)));
}

class OskaneLikelihood : public ::testing::Test {
 protected:
  void Load(int species, int periods, unsigned seed) {
    raw = testing::MakeOskaneData(species, periods, seed);
    model.Initialize(ModelInitOptions{species, testing::WriteOskaneDataFile(raw, "lik.dat")});
    const int count = 3 * species + 7;
    values.assign(count + 1, 0.0);
    // Coefficients of moderate size with alternating signs, forecast inputs set.
    for (int i = 1; i <= 2 * species + 4; ++i) values[i] = (i % 2 ? 0.13 : -0.07) * (1 + 0.1 * i);
    for (int i = 2 * species + 6; i <= count; ++i) values[i] = 1000 + i;
  }
  int OmegaIndex() const { return 2 * raw.species + 5; }
  double EvaluateAt(double omega, int nf = 1) {
    values[OmegaIndex()] = omega;
    reference = ReferenceObjective(raw, values);
    return model.Evaluate(values, nf);
  }
  RawOskaneData raw;
  OskaneModel model;
  std::vector<double> values;
  Reference reference;
};

TEST_F(OskaneLikelihood, MatchesTheReferenceOverOmegaAndModelSizes) {
  for (auto [species, periods] : {std::pair{1, 12}, {2, 40}, {3, 25}, {25, 100}}) {
    Load(species, periods, 17 + species);
    for (double omega : {0.0, 1.0, 0.5, 0.1, 0.37, 0.93, 0.999}) {
      SCOPED_TRACE(::testing::Message() << species << " species, omega " << omega);
      const double objective = EvaluateAt(omega);
      ExpectClose(objective, reference.objective);
      const model::LikelihoodWork& w = model.LastEvaluation();
      ExpectClose(w.Lambda, reference.rho);
      ExpectClose(w.LambdaDeterminant, reference.g);
      ExpectClose(w.SumSquares, reference.ss);
      for (int i = 1; i <= periods; ++i) ExpectClose(w.Innovation[i], reference.innovation[i], 1e-10);
    }
  }
}

TEST_F(OskaneLikelihood, OmegaZeroOneAndHalf) {
  Load(2, 15, 5);
  EvaluateAt(0);
  const model::LikelihoodWork& w = model.LastEvaluation();
  EXPECT_EQ(w.Lambda, 0);
  EXPECT_EQ(w.LambdaDeterminant, 1);
  EXPECT_EQ(w.Innovation[1], 0);
  double squares = 0;
  for (int i = 2; i <= 15; ++i) {
    EXPECT_EQ(w.Innovation[i], w.Residual[i]);
    squares += w.Residual[i] * w.Residual[i];
  }
  ExpectClose(model.Evaluate(values, 2), 14 * std::log(squares));
  EXPECT_EQ(w.Prediction[1], -999);
  EXPECT_EQ(w.Residual[1], -999);
  EXPECT_EQ(w.Filtered[1], 0);

  EvaluateAt(1);
  EXPECT_EQ(w.Lambda, 0);
  EvaluateAt(0.5);
  EXPECT_NEAR(w.Lambda, 0.22515, 5e-6);
  EXPECT_NEAR(w.Lambda, model::LambdaFromOmega(0.5), 0);
}

TEST_F(OskaneLikelihood, OmegaOutOfRangeIsPenalizedAndResetToZero) {
  Load(2, 20, 9);
  const double atZero = EvaluateAt(0);
  double objective = EvaluateAt(-0.2);
  EXPECT_EQ(values[OmegaIndex()], 0);
  EXPECT_EQ(model.LastEvaluation().OmegaPenalty, 1e20 * (0.2 * 0.2));
  EXPECT_NEAR(model.LastEvaluation().OmegaPenalty, 4e18, 1e4);
  EXPECT_EQ(objective, atZero + 1e20 * (0.2 * 0.2));
  EXPECT_EQ(model.Best().BestValues[OmegaIndex()], 0);

  objective = EvaluateAt(1.5);
  EXPECT_EQ(values[OmegaIndex()], 0);
  EXPECT_NEAR(model.LastEvaluation().OmegaPenalty, 2.5e19, 1e4);
  EXPECT_EQ(objective, atZero + model.LastEvaluation().OmegaPenalty);
  EXPECT_EQ(model.Best().BestOmega, 0);
}

TEST_F(OskaneLikelihood, FaultsThrowInsteadOfReturningNaN) {
  Load(1, 10, 3);
  EvaluateAt(0.3);
  const double best = model.BestObjective();
  try {
    EvaluateAt(std::numeric_limits<double>::quiet_NaN(), 1);
    FAIL() << "a NaN Omega evaluated";
  } catch (const NumericFault& e) {
    EXPECT_STREQ(e.what(), "Invalid procedure call or argument");
  }
  values[1] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(EvaluateAt(0.3, 1), NumericFault);
  values[1] = 1e308;
  values[2] = 1e308;
  try {
    EvaluateAt(0.3, 1);
    FAIL() << "an overflowing prediction evaluated";
  } catch (const NumericFault& e) {
    EXPECT_STREQ(e.what(), "Overflow");
  }
  values[1] = 0.1;
  values[2] = 0.1;
  for (double omega : {1e200, std::numeric_limits<double>::infinity()}) {
    try {
      EvaluateAt(omega, 1);
      FAIL() << "an overflowing penalty evaluated";
    } catch (const NumericFault& e) {
      EXPECT_STREQ(e.what(), "Overflow");
    }
  }
  EXPECT_EQ(model.BestObjective(), best);  // faults never reach the record

  std::vector<double> tooShort(5, 0.0);
  EXPECT_THROW(model.Evaluate(tooShort, 1), std::out_of_range);
  OskaneModel uninitialized;
  EXPECT_THROW(uninitialized.Evaluate(values, 1), std::logic_error);
}

TEST(OskaneLikelihoodFit, PerfectFitMakesTheLogarithmFail) {
  // Constant effort and index: every residual is 0 when b0 = ln 0.5 and the rest is 0.
  OskaneModel model;
  model.Initialize(ModelInitOptions{2, testing::TestData("oskane_perfect_fit.dat")});
  std::vector<double> values(14, 0.0);
  values[1] = std::log(0.5);
  try {
    model.Evaluate(values, 1);
    FAIL() << "SS = 0 evaluated";
  } catch (const NumericFault& e) {
    EXPECT_STREQ(e.what(), "Invalid procedure call or argument");
  }
  values[1] = 0.1;
  EXPECT_TRUE(std::isfinite(model.Evaluate(values, 1)));
}

TEST_F(OskaneLikelihood, BestFitRule) {
  Load(2, 30, 21);
  const int forecast = 2 * 2 + 6;
  const double first = EvaluateAt(0.4, 1);
  EXPECT_EQ(model.BestObjective(), first);

  values[forecast] = 777;  // not read by the likelihood: same objective, other vector
  EXPECT_EQ(EvaluateAt(0.4, 2), first);
  EXPECT_NE(model.Best().BestValues[forecast], 777);  // equal at NF > 1 keeps the record

  const double b0 = values[1];
  values[1] = b0 + 5;  // clearly worse
  const double worse = EvaluateAt(0.4, 3);
  ASSERT_GT(worse, first);
  EXPECT_EQ(model.BestObjective(), first);
  EXPECT_EQ(EvaluateAt(0.4, 1), worse);  // a new run's first call replaces it
  EXPECT_EQ(model.BestObjective(), worse);
  EXPECT_EQ(model.Best().BestValues[forecast], 777);
  EXPECT_EQ(model.Best().BestValues[1], values[1]);
  values[1] = b0;
  EXPECT_EQ(EvaluateAt(0.4, 4), first);
  EXPECT_EQ(model.BestObjective(), first);
}

TEST_F(OskaneLikelihood, BestFitRecordContents) {
  Load(3, 25, 8);
  const double objective = EvaluateAt(0.6, 1);
  const model::BestFit& b = model.Best();
  const model::LikelihoodWork& w = model.LastEvaluation();
  const model::ModelData& d = model.Data();
  EXPECT_EQ(b.BestObjective, objective);
  EXPECT_EQ(b.BestSumSquares, w.SumSquares);
  EXPECT_EQ(b.BestLambdaDeterminant, w.LambdaDeterminant);
  EXPECT_EQ(b.BestLambda, w.Lambda);
  EXPECT_EQ(b.BestOmega, 0.6);
  EXPECT_EQ(b.b0, values[1]);
  EXPECT_EQ(b.bME, values[2]);
  EXPECT_EQ(b.bMESpecies[3], values[5]);
  EXPECT_EQ(b.bPE, values[6]);
  EXPECT_EQ(b.bPESpecies[1], values[7]);
  EXPECT_EQ(b.bV, values[10]);
  EXPECT_EQ(b.BestValues, values);
  EXPECT_EQ(b.PredictedLnIndex[1], -999);
  EXPECT_EQ(b.ResidualLnIndex[1], -999);
  for (int i = 2; i <= 25; ++i) {
    // The prediction of ln index is the measured one less the innovation.
    EXPECT_NEAR(b.PredictedLnIndex[i], d.LnIndex[i] - w.Innovation[i], 1e-12);
    EXPECT_NEAR(b.ResidualLnIndex[i], reference.innovation[i], 1e-10);
  }
}

}  // namespace
}  // namespace kalvex
