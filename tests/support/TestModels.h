#pragma once
// Small models for testing the protocol and the analyses without data files.
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "workspace/Model.h"

namespace kalvex::testing {

// A model whose objective is a given function of the 1-based parameter
// vector; it keeps the best-fit record by the protocol's rule.
class FunctionModel : public Model {
 public:
  using Objective = std::function<double(std::span<double>)>;
  FunctionModel(int numParameters, Objective objective);

  ModelShape Initialize(const ModelInitOptions& options) override;
  double Evaluate(std::span<double> values, int32_t nf) override;
  // A copy for a worker thread: its objective must then be safe to call from several threads.
  std::unique_ptr<Model> Clone() const override { return std::make_unique<FunctionModel>(*this); }
  double BestObjective() const override { return best_; }
  const std::vector<double>& BestValues() const override { return bestValues_; }

  std::vector<int32_t> callCodes;  // every NF seen by Evaluate

 private:
  int numParameters_;
  Objective objective_;
  double best_ = 0;
  std::vector<double> bestValues_;
};

// Path of a file under tests/data.
std::string TestData(const std::string& name);
// A fresh temporary folder for one test, removed at exit of the process.
std::string TempDir();

}  // namespace kalvex::testing
