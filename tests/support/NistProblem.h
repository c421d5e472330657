#pragma once
// The NIST StRD nonlinear regression problems as test material: a reader of
// their .dat files, the model functions they name, a sum-of-squares model
// for the objective protocol with its exact derivatives, and the log
// relative error they are judged by.
#include <span>
#include <string>
#include <vector>

#include "workspace/Model.h"

namespace kalvex::testing {

struct NistProblem {
  std::string name;                  // "Misra1a"
  int parameterCount = 0;
  std::vector<double> start1, start2;  // 0-based, one per parameter
  std::vector<double> certified, certifiedSd;
  double certifiedRss = 0;
  std::vector<double> x, y;          // the (first) predictor, the response
  std::vector<double> x2;            // a second predictor (Nelson), else empty
};

// Reads a problem file; throws std::runtime_error when it cannot be read
// or has no data.
NistProblem ReadNistProblem(const std::string& path);

// Path of a problem under the NIST folder ("Misra1a" -> .../Misra1a.dat).
std::string NistPath(const std::string& name);

// The residual sum of squares of a problem as a model: parameters
// 1..parameterCount, DataPointCount = number of observations. The model
// functions are written once on their scalar type, so NF = -2 gives the
// exact gradient and second derivatives of the same sum by automatic
// differentiation. Any floating-point fault in an evaluation throws
// NumericFault. Throws std::runtime_error for a problem without a model
// function.
class NistSumOfSquaresModel : public Model {
 public:
  explicit NistSumOfSquaresModel(NistProblem problem);

  ModelShape Initialize(const ModelInitOptions& options) override;
  double Evaluate(std::span<double> values, int32_t nf) override;
  void Derivatives(std::span<const double> values, std::span<double> gradient, Matrix& secondDerivatives) override;
  double BestObjective() const override { return best_; }
  const std::vector<double>& BestValues() const override { return bestValues_; }
  const NistProblem& Problem() const { return problem_; }

 private:
  template <class T>
  T SumOfSquares(const T* b) const;

  NistProblem problem_;
  int function_ = -1;             // which model function
  std::vector<double> response_;  // y, or what the function models (log y for Nelson)
  double best_ = 0;
  std::vector<double> bestValues_;
};

// -log10(|x - c| / |c|), capped at 15 digits (exact agreement) and at 0 below.
double LogRelativeError(double x, double certified);

}  // namespace kalvex::testing
