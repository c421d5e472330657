#include "covariance/HessianGrids.h"

#include <cmath>

#include "covariance/GridOnPool.h"
#include "covariance/GridPoints.h"
#include "minimize/LuDecomposition.h"
#include "workspace/NumericFault.h"
#include "workspace/ObjectiveDerivatives.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

void MarkNoResult(CovarianceResults& results, int grid) {
  int n = results.FreeCount();
  results.CovarianceGrids[grid].Resize(n, n, kNoResult);
}

// The work copies with the links normalized on them.
void CopyParameterSet(const Problem& problem, const std::vector<std::string>& descriptions,
                      CovarianceResults& results) {
  const int count = problem.NumParameters();
  std::size_t size = static_cast<std::size_t>(count) + 1;
  results.WorkValues = problem.values;
  results.WorkSteps = problem.steps;
  results.Links = problem.objective.Terms().links;
  results.Descriptions = descriptions;
  results.WorkValues.resize(size, 0.0);
  results.WorkSteps.resize(size, 0.0);
  results.Links.resize(size, kUnlinked);
  results.Descriptions.resize(size);
  for (int i = 1; i <= count; ++i) {
    if (results.Links[i] == kUnlinked) continue;
    for (int leader = 1; leader < i; ++leader) {
      if (results.Links[leader] != results.Links[i]) continue;
      results.WorkValues[i] = results.WorkValues[leader];
      results.WorkSteps[i] = 0;
      break;
    }
  }
}

}  // namespace

void StartCovarianceRun(Problem& problem, const std::vector<std::string>& descriptions, CovarianceResults& results) {
  CopyParameterSet(problem, descriptions, results);
  results.FreeIndex.assign(1, 0);
  for (int i = 1; i <= results.NumParameters(); ++i)
    if (results.WorkSteps[i] != 0) results.FreeIndex.push_back(static_cast<int16_t>(i));
  std::vector<double> centre = results.WorkValues;
  results.CentreObjective = problem.EvaluateWithCode(centre, 1);
}

bool ComputeGrid(Problem& problem, CovarianceResults& results, int grid, GridValues& values, GridObserver& observer) {
  const int n = results.FreeCount();
  const double f0 = results.CentreObjective;
  const std::vector<GridPoint> points = GridPointsOf(results);
  const int total = static_cast<int>(points.size());
  values.plus.Resize(n, n);
  values.minus.Resize(n, n);
  GridSummary summary;
  std::vector<double> trial;
  for (int k = 1; k <= total; ++k) {
    const GridPoint& point = points[k - 1];
    observer.Calling(grid, k, total);
    double value = f0;
    if (point.evaluated) {
      MakeTrial(results, grid, point, trial);
      value = problem.EvaluateWithCode(trial, 1);
    }
    if (observer.Evaluated(grid, k, total)) return false;
    summary.Add(value, f0);
    (point.sign > 0 ? values.plus : values.minus)(point.e, point.f) = value;
  }
  summary.Finish(results, grid);
  return true;
}

Matrix BuildHessian(const CovarianceResults& results, int grid, const GridValues& values) {
  const int n = results.FreeCount();
  const double h = results.GridFactors[grid];
  const double f0 = results.CentreObjective;
  const std::vector<double>& steps = results.WorkSteps;
  Matrix hessian(n, n);
  std::vector<double> diagonal(static_cast<std::size_t>(n) + 1);
  for (int e = 1; e <= n; ++e) {
    double move = h * steps[results.FreeIndex[e]];
    diagonal[e] = CheckFinite((values.plus(e, e) - f0) + (values.minus(e, e) - f0));
    hessian(e, e) = SafeDivide(diagonal[e], move * move);
  }
  if (results.OptimisticSEs) return hessian;
  for (int e = 1; e <= n; ++e) {
    for (int f = e + 1; f <= n; ++f) {
      double both = CheckFinite((values.plus(e, f) - f0) + (values.minus(e, f) - f0));
      double denominator = 2 * (h * h) * steps[results.FreeIndex[e]] * steps[results.FreeIndex[f]];
      hessian(e, f) = SafeDivide(CheckFinite(both - diagonal[e] - diagonal[f]), denominator);
      hessian(f, e) = hessian(e, f);
    }
  }
  return hessian;
}

int CholeskyFailure(Matrix a, int n) {
  std::vector<double> diagonal(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    for (int j = i; j <= n; ++j) {
      double sum = a(i, j);
      for (int k = i - 1; k >= 1; --k) sum = sum - a(i, k) * a(j, k);
      if (i == j) {
        if (!(sum > 0)) return i;
        diagonal[i] = std::sqrt(sum);
      } else {
        a(j, i) = sum / diagonal[i];
      }
    }
  }
  return 0;
}

void InvertHessian(CovarianceResults& results, int grid, const Matrix& hessian, GridObserver& observer) {
  const int n = results.FreeCount();
  MarkNoResult(results, grid);
  GridOutcome& outcome = results.Outcome[grid];
  if (int failing = CholeskyFailure(hessian, n)) {
    outcome.notPositiveDefiniteAt = results.FreeIndex[failing];
    return;
  }
  observer.Inverting(grid);
  LuWork lu;
  lu.Resize(n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) lu.DecompMatrix(i, j) = hessian(i, j);
  LuStatus status = LuInvert(lu, n, [&observer] { observer.Pause(); });
  if (!status.Ok()) {  // a matrix that passed the test has no row of zeros
    outcome.notPositiveDefiniteAt = results.FreeIndex[status.ZeroRow];
    return;
  }
  const double scale = results.ObjectiveScale;
  Matrix& table = results.CovarianceGrids[grid];
  double product = 1;
  for (int e = 1; e <= n; ++e) {
    for (int f = 1; f <= n; ++f) table(f, e) = CheckFinite(scale * lu.DecompMatrix(e, f));
    product = CheckFinite(product * table(e, e));
  }
  table(0, 0) = CheckFinite(std::pow(scale, n) * lu.PivotParity);
  table(0, 1) = product;
  for (int e = 1; e <= n; ++e) {
    double variance = table(e, e);
    if (variance != 0) table(e, 0) = std::sqrt(std::fabs(variance)) * (variance / std::fabs(variance));
  }
}

void ComputeNumericalGrids(Problem& problem, CovarianceResults& results, GridObserver& observer) {
  GridValues values;
  // Worker threads when more than one is asked for and the model can be
  // cloned; made after the centre's evaluation has settled the links' steps.
  std::unique_ptr<GridWorkers> workers;
  if (problem.settings.threads > 1) {
    std::vector<ObjectiveEvaluator> evaluators = MakeEvaluators(problem.objective, problem.settings.threads);
    if (!evaluators.empty()) workers = std::make_unique<GridWorkers>(std::move(evaluators));
  }
  for (int grid = 1; grid <= kGridCount; ++grid) {
    results.Outcome[grid] = {};
    observer.GridStarting(grid);
    const bool computed = workers ? ComputeGridOnPool(problem, results, grid, values, observer, *workers)
                                  : ComputeGrid(problem, results, grid, values, observer);
    if (!computed) {
      results.GridMean[grid] = kNoResult;
      results.GridSD[grid] = kNoResult;
      results.Outcome[grid].abandoned = true;
      MarkNoResult(results, grid);
    } else {
      observer.GridSummarized(grid);
      InvertHessian(results, grid, BuildHessian(results, grid, values), observer);
    }
    observer.GridEnded(grid);
  }
}

std::optional<Matrix> AnalyticalHessian(Problem& problem, const CovarianceResults& results) {
  const int n = results.FreeCount();
  std::vector<double> values = results.WorkValues;
  std::vector<double> gradient;
  Matrix second;
  if (!EvaluateObjectiveDerivatives(problem.objective, values, results.FreeIndex, gradient, second))
    return std::nullopt;
  Matrix hessian(n, n);
  for (int e = 1; e <= n; ++e)
    for (int f = 1; f <= n; ++f) hessian(e, f) = second(results.FreeIndex[e], results.FreeIndex[f]);
  return hessian;
}

void InvertAnalyticalGrids(CovarianceResults& results, const Matrix& hessian, GridObserver& observer) {
  for (int grid = 1; grid <= kGridCount; ++grid) {
    results.GridFactors[grid] = 0;
    results.Outcome[grid] = {};
    InvertHessian(results, grid, hessian, observer);
    observer.GridEnded(grid);
  }
}

}  // namespace kalvex
