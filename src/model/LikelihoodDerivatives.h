#pragma once
// Exact first and second derivatives of the Oskane objective by forward
// automatic differentiation of the evaluation's own steps
// (LikelihoodSteps.h): no derivative is written by hand.
#include <span>
#include <vector>

#include "model/ModelData.h"
#include "model/PeriodBlocks.h"
#include "workspace/Matrix.h"

namespace kalvex::model {

// The derivatives of the residuals IndexFromStart(i) - Prediction(i) with
// respect to the estimated parameters. The prediction is affine in its
// coefficients, so these do not change with the parameters: they are worked
// out once, by automatic differentiation of the prediction, when the model
// is initialized, and every derivative evaluation starts its residuals from
// them instead of carrying every coefficient through every period again.
// Two sets: with Omega in 0..1, and with Omega out of range, where the
// evaluation replaces it by a constant.
class ResidualJacobian {
 public:
  static ResidualJacobian Of(const ModelData& data);

  // The derivatives of residual i (2..n) with respect to parameters
  // 1..Estimated(), one after another.
  const double* Row(int i, bool omegaInRange) const {
    return (omegaInRange ? inRange_ : outOfRange_).data() + static_cast<std::size_t>(i) * directions_;
  }

 private:
  int directions_ = 0;
  std::vector<double> inRange_, outOfRange_;
};

// The objective at values (the 1-based trial vector of the evaluation, link
// expanded; not changed), its gradient into gradient (1..Count()) and, when
// hessian is given, its second derivatives into (*hessian)(1..Count(),
// 1..Count()); the forecast inputs, which the objective does not read, get
// zeros. blocks are packed from data; their vector unit runs the derivatives
// too. The returned objective equals EvaluateLikelihood's bit for bit, and
// the derivatives are the same bits on every vector unit. Throws
// NumericFault as the evaluation does, and for a derivative that is not
// finite.
double LikelihoodDerivatives(const ModelData& data, const PeriodBlocks& blocks, const ResidualJacobian& jacobian,
                             std::span<const double> values, std::span<double> gradient, Matrix* hessian);

}  // namespace kalvex::model
