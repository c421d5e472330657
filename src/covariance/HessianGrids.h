#pragma once
// The covariance kernel, quiet: the Hessian of the objective by central
// differences on grids of scaled steps, the positive-definite test, and the
// inversion into covariances, standard errors and determinants. Evaluations
// go through the problem's objective on copies of its parameter set; an
// observer hears of each point and may abandon the grid.
//
//   CovarianceResults r;
//   r.GridFactors = {0, 1.0, 0.1, 0.01};
//   StartCovarianceRun(problem, descriptions, r);  // copies, free numbering, F0
//   r.ObjectiveScale = 1 / c;
//   ComputeNumericalGrids(problem, r, observer);
#include <optional>
#include <string>
#include <vector>

#include "workspace/Matrix.h"
#include "workspace/Results.h"

namespace kalvex {
class Problem;

class GridObserver {
 public:
  virtual ~GridObserver() = default;
  // The centre F0 is evaluated; the grids (or the inversion) come next.
  virtual void CentreEvaluated() {}
  virtual void GridStarting(int grid) { (void)grid; }
  // Before point `point` of `total` (1-based) of a grid is evaluated.
  virtual void Calling(int grid, int point, int total) { (void)grid, (void)point, (void)total; }
  // After it: true abandons the grid.
  virtual bool Evaluated(int grid, int point, int total) {
    (void)grid, (void)point, (void)total;
    return false;
  }
  // The grid's mean and SD are in the results; its Hessian comes next.
  virtual void GridSummarized(int grid) { (void)grid; }
  // The Hessian passed the positive-definite test and is being inverted.
  virtual void Inverting(int grid) { (void)grid; }
  // The grid's results are final (valid, not positive-definite or abandoned).
  virtual void GridEnded(int grid) { (void)grid; }
  // Between rows and columns of an inversion.
  virtual void Pause() {}
};

// The objective values of one grid: point (+) and point (-) of each free
// pair e <= f, indexed by free numbers.
struct GridValues {
  Matrix plus, minus;
};

// Copies the problem's values, steps and links and the descriptions into
// the results (a follower of a link group takes its leader's value and step
// 0, so only the leader moves), numbers the free parameters and evaluates
// the centre F0 with NF = 1. The problem's values are not changed. Throws
// NumericFault.
void StartCovarianceRun(Problem& problem, const std::vector<std::string>& descriptions, CovarianceResults& results);

// Evaluates grid g (n(n+1) points) and sets its mean and signed SD. False
// when the observer abandoned it. Throws NumericFault.
bool ComputeGrid(Problem& problem, CovarianceResults& results, int grid, GridValues& values, GridObserver& observer);

// The Hessian of grid g from its values (objective units, free numbers).
// With optimistic SEs only the diagonal. Throws NumericFault.
Matrix BuildHessian(const CovarianceResults& results, int grid, const GridValues& values);

// The free number of the row where the Cholesky test of a positive-definite
// matrix fails; 0 when it passes.
int CholeskyFailure(Matrix a, int n);

// Fills CovarianceGrids(g) from the Hessian: -1 everywhere, then, when the
// Hessian is positive-definite, the scaled inverse, its determinant, the
// product of its variances and the signed standard errors. Throws
// NumericFault.
void InvertHessian(CovarianceResults& results, int grid, const Matrix& hessian, GridObserver& observer);

// The three grids of a numerical run with the results' grid factors, their
// points spread over the problem's threads when the model can be cloned.
// The results, the log and the problem's model end as on one thread.
void ComputeNumericalGrids(Problem& problem, CovarianceResults& results, GridObserver& observer);

// The model's analytical second derivatives (NF = -2) at the work values,
// through the problem's objective, on the free parameters; nullopt when the
// model supplies none (all zero).
std::optional<Matrix> AnalyticalHessian(Problem& problem, const CovarianceResults& results);

// An analytical run's three grids: factors 0, the one Hessian inverted three
// times, the grid summaries unused.
void InvertAnalyticalGrids(CovarianceResults& results, const Matrix& hessian, GridObserver& observer);

}  // namespace kalvex
