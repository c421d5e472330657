#include "model/SummaryData.h"

#include <cmath>

#include "model/SummaryInverse.h"
#include "workspace/NumericFault.h"

namespace kalvex::model {

FitStatistics ComputeFitStatistics(const SummaryInputs& in) {
  const int n = in.data.NumPeriods;
  const BestFit& b = in.best;
  const double W = b.BestOmega, rho = b.BestLambda;
  FitStatistics s;
  for (int i = 1; i <= in.layout.Count(); ++i) s.k += in.steps.at(i) != 0;
  s.AICc = CheckFinite(b.BestObjective + SafeDivide(2.0 * s.k * n, n - s.k - 1));
  s.Theta2 = SafeDivide(b.BestSumSquares, n - 1 - s.k);
  s.PhiSD = W < 1 ? SafeSqrt(SafeDivide(s.Theta2 * rho, 1 - W * W)) : SafeSqrt(s.Theta2);
  s.PsiSD = W > 0 ? SafeSqrt(SafeDivide(s.Theta2 * rho, W * (W + 1))) : SafeSqrt(s.Theta2);
  s.ThetaSD = SafeSqrt(s.PsiSD * s.PsiSD + s.PhiSD * s.PhiSD);
  s.Nu2 = CheckFinite(s.ThetaSD * s.ThetaSD * (W + W * W * (1 - W) + (1 - W * W) * (1 + W)));
  return s;
}

double DesignValue(const ModelData& d, const ParameterLayout& layout, int i, int c) {
  const int S = layout.species;
  if (c == 1) return d.IndexGap[i];
  if (c == 2) return i >= 2 ? d.LnIndex[i - 1] : kUndefined;
  if (c == 3) return d.LnEffortFromStart[i];
  if (c == 4) return d.LnEffortStep[i];
  if (c <= 4 + S) return d.StdCatchFromStart(i, c - 4);
  if (c <= 4 + 2 * S) return d.StdCatchStep(i, c - 4 - S);
  return d.Intervention[i];
}

double DesignCoefficient(const BestFit& best, const ParameterLayout& layout, int c) {
  const int S = layout.species;
  if (c == 1) return best.b0;
  if (c == 2) return best.BestOmega;
  if (c == 3) return best.bME;
  if (c == 4) return best.bPE;
  if (c <= 4 + S) return best.bMESpecies[c - 4];
  if (c <= 4 + 2 * S) return best.bPESpecies[c - 4 - S];
  return best.bV;
}

std::vector<int> ActiveColumns(const SummaryInputs& in) {
  const int n = in.data.NumPeriods;
  std::vector<bool> active(in.layout.Estimated() + 1, false);
  for (int c = 1; c <= in.layout.Estimated(); ++c) {
    if (DesignCoefficient(in.best, in.layout, c) == 0) continue;
    for (int i = 2; i <= n && !active[c]; ++i) active[c] = DesignValue(in.data, in.layout, i, c) != 0;
  }
  if (active[3] && active[4]) active[1] = false;
  std::vector<int> columns;
  for (int c = 1; c <= in.layout.Estimated(); ++c)
    if (active[c]) columns.push_back(c);
  return columns;
}

RegressionVariance ComputeRegressionVariance(const SummaryInputs& in, double theta2) {
  const ModelData& d = in.data;
  const int n = d.NumPeriods;
  const double periods = n - 1;  // only periods 2..n enter the regression
  RegressionVariance rv;
  rv.activeColumns = ActiveColumns(in);
  const int p = static_cast<int>(rv.activeColumns.size());
  auto x = [&](int i, int a) { return DesignValue(d, in.layout, i, rv.activeColumns[a - 1]); };

  std::vector<double> sum(p + 1, 0.0);
  for (int a = 1; a <= p; ++a)
    for (int i = 2; i <= n; ++i) sum[a] += x(i, a);
  rv.mean.assign(p, 0.0);
  for (int a = 1; a <= p; ++a) rv.mean[a - 1] = SafeDivide(sum[a], periods);
  Matrix cross(p, p);
  for (int a = 1; a <= p; ++a)
    for (int b = 1; b <= p; ++b) {
      double products = 0;
      for (int i = 2; i <= n; ++i) products += x(i, a) * x(i, b);
      cross(a, b) = CheckFinite(products - sum[a] * sum[b] / periods);
    }
  // A column constant over the periods is all zero once centred; rounding in
  // the products above must not hide that, so its row is made exactly zero
  // and the inversion reports the singular matrix.
  for (int a = 1; a <= p; ++a) {
    bool constant = true;
    for (int i = 3; i <= n && constant; ++i) constant = x(i, a) == x(2, a);
    if (!constant) continue;
    for (int b = 1; b <= p; ++b) cross(a, b) = cross(b, a) = 0;
  }
  rv.inverse = p > 0 ? InvertScaledLu(cross) : Matrix(0, 0);

  rv.leverage.assign(n + 1, kUndefined);
  rv.predictedIndex.assign(n + 1, kUndefined);
  rv.residualIndex.assign(n + 1, kUndefined);
  std::vector<double> centred(p + 1, 0.0);
  for (int i = 2; i <= n; ++i) {
    for (int a = 1; a <= p; ++a) centred[a] = x(i, a) - rv.mean[a - 1];
    double h = 1 / periods;
    for (int a = 1; a <= p; ++a)
      for (int b = 1; b <= p; ++b) h += centred[a] * rv.inverse(a, b) * centred[b];
    rv.leverage[i] = CheckFinite(h);
    const double varLn = theta2 * h;
    rv.predictedIndex[i] = SafeExp(varLn / 2 + in.best.PredictedLnIndex[i]);
    rv.residualIndex[i] = d.HarvestIndex[i] - rv.predictedIndex[i];
  }
  return rv;
}

ForecastData ComputeForecast(const SummaryInputs& in, const RegressionVariance& rv, double theta2) {
  const ModelData& d = in.data;
  const BestFit& b = in.best;
  const ParameterLayout& L = in.layout;
  const int n = d.NumPeriods, S = L.species;
  const double W = b.BestOmega;
  ForecastData f;
  f.effort = b.BestValues[L.ForecastEffort()];
  f.intervention = b.BestValues[L.ForecastIntervention()];
  f.catches.assign(S + 1, 0.0);
  const double lnEf = SafeLog(f.effort);
  const double Vf = f.intervention;
  std::vector<double> zf(S + 1, 0.0);
  for (int j = 1; j <= S; ++j) {
    f.catches[j] = b.BestValues[L.ForecastCatch(j)];
    zf[j] = SafeDivide(f.catches[j] - d.CatchMean[j], d.CatchSD[j]);
  }

  double mu = b.b0 + b.bV * Vf + W * d.LnIndex[n] + b.bME * (lnEf - d.LnEffort[1]) + b.bPE * (lnEf - d.LnEffort[n]);
  for (int j = 1; j <= S; ++j)
    mu = mu + b.bMESpecies[j] * (zf[j] - d.StdCatch(1, j)) + b.bPESpecies[j] * (zf[j] - d.StdCatch(n, j));
  mu = mu + (1 - W) * (lnEf - d.LnEffort[1]) + W * (lnEf - d.LnEffort[n]);
  f.Mu = CheckFinite(mu);

  // The forecast period's row of the design; column 1 sits at its mean.
  const int p = static_cast<int>(rv.activeColumns.size());
  std::vector<double> centred(p + 1, 0.0);
  for (int a = 1; a <= p; ++a) {
    const int c = rv.activeColumns[a - 1];
    double xf;
    if (c == 1) xf = rv.mean[a - 1];
    else if (c == 2) xf = d.LnIndex[n];
    else if (c == 3) xf = lnEf - d.LnEffort[1];
    else if (c == 4) xf = lnEf - d.LnEffort[n];
    else if (c <= 4 + S) xf = zf[c - 4] - d.StdCatch(1, c - 4);
    else if (c <= 4 + 2 * S) xf = zf[c - 4 - S] - d.StdCatch(n, c - 4 - S);
    else xf = Vf;
    centred[a] = xf - rv.mean[a - 1];
  }
  double hf = 1 + 1.0 / (n - 1);
  for (int a = 1; a <= p; ++a)
    for (int c = 1; c <= p; ++c) hf += centred[a] * rv.inverse(a, c) * centred[c];
  f.Hf = CheckFinite(hf);
  f.Sigma2 = CheckFinite(theta2 * f.Hf);
  f.mostLikely = SafeExp(f.Mu);
  f.expected = SafeExp(f.Mu + f.Sigma2 / 2);
  f.variance = CheckFinite(SafeExp(2 * f.Mu + 2 * f.Sigma2) - SafeExp(2 * f.Mu + f.Sigma2));
  f.sd = SafeSqrt(f.variance);
  return f;
}

ProbabilityGrid ComputeProbabilityGrid(const ForecastData& f, double pi) {
  ProbabilityGrid g;
  g.high = f.expected + 10 * f.sd;
  g.low = f.expected - 5 * f.sd;
  if (!(g.low > 0)) g.low = 1e-6;
  g.width = (g.high - g.low) / kGridBins;
  const double norm = SafeSqrt(2 * pi * f.Sigma2);
  auto density = [&](double x) {
    double z = SafeLog(x) - f.Mu;
    return SafeDivide(std::exp(-z * z / (2 * f.Sigma2)), x * norm);
  };
  g.binEdge.assign(kGridBins + 1, 0.0);
  g.binMass.assign(kGridBins + 1, 0.0);
  g.cumulative.assign(kGridBins + 1, 0.0);
  g.attenuated.assign(kGridBins + 1, 0.0);
  g.ciBound.assign(kGridBins + 1, 0.0);
  const double D = g.width;
  for (int k = 1; k <= kGridBins; ++k) {
    const double left = g.low + (k - 1) * D;
    const double middle = g.low + (k - 1) * D + D / 2;
    g.binEdge[k] = g.low + k * D;
    // Simpson's rule over the bin.
    g.binMass[k] = CheckFinite((4 * density(middle) + density(left) + density(g.binEdge[k])) * D / 6);
    g.cumulative[k] = g.cumulative[k - 1] + g.binMass[k];
    g.attenuated[k] = 1 - g.cumulative[k];
  }
  for (int k = 1; k <= kGridBins; ++k)
    if (g.binEdge[k - 1] < f.mostLikely && f.mostLikely <= g.binEdge[k]) g.modeCumulative = g.cumulative[k];
  for (int k = 1; k <= kGridBins; ++k) {
    if (f.mostLikely >= g.binEdge[k])
      g.ciBound[k] = SafeDivide((g.modeCumulative - g.cumulative[k]) * 100, g.modeCumulative);
    else
      g.ciBound[k] = SafeDivide((g.cumulative[k] - g.modeCumulative) * 100, 1 - g.modeCumulative);
  }
  return g;
}

}  // namespace kalvex::model
