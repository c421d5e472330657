#pragma once
// The NIST StRD nonlinear regression problems as test material: a reader of
// their .dat files, the model functions they name, a sum-of-squares model
// for the objective protocol, and the log relative error they are judged by.
#include <functional>
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
  std::vector<double> x, y;          // one predictor, one response
};

// Reads a problem file; throws std::runtime_error when it cannot be read
// or has no data.
NistProblem ReadNistProblem(const std::string& path);

// Path of a problem under the NIST folder ("Misra1a" -> .../Misra1a.dat).
std::string NistPath(const std::string& name);

// y = f(b, x) for the named problem (b 0-based); empty for an unknown name.
using NistFunction = std::function<double(const double* b, double x)>;
NistFunction NistModelFunction(const std::string& name);

// The residual sum of squares of a problem as a model: parameters
// 1..parameterCount, DataPointCount = number of observations. Any
// floating-point fault in an evaluation throws NumericFault.
class NistSumOfSquaresModel : public Model {
 public:
  explicit NistSumOfSquaresModel(NistProblem problem);

  ModelShape Initialize(const ModelInitOptions& options) override;
  double Evaluate(std::span<double> values, int32_t nf) override;
  double BestObjective() const override { return best_; }
  const std::vector<double>& BestValues() const override { return bestValues_; }
  const NistProblem& Problem() const { return problem_; }

 private:
  NistProblem problem_;
  NistFunction function_;
  double best_ = 0;
  std::vector<double> bestValues_;
};

// -log10(|x - c| / |c|), capped at 15 digits (exact agreement) and at 0 below.
double LogRelativeError(double x, double certified);

}  // namespace kalvex::testing
