#pragma once
// The built-in Oskane multi-species harvest-rate-index model behind MODEL:
// NF = 0 reads the data file, NF > 0 evaluates -2 ln L and keeps the best fit.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/BestFit.h"
#include "model/Likelihood.h"
#include "model/LikelihoodDerivatives.h"
#include "model/ModelData.h"
#include "model/Parameters.h"
#include "model/PeriodBlocks.h"
#include "workspace/Model.h"

namespace kalvex {

class OskaneModel : public Model {
 public:
  OskaneModel();

  // Throws InitializationError and keeps the previous data on any failure.
  ModelShape Initialize(const ModelInitOptions& options) override;
  // Asks whether to go on when the data lines are wider than the chosen
  // species count's columns.
  std::optional<std::string> InitializeQuestion(const ModelInitOptions& options) const override;
  // values is the 1-based trial vector of NumParameters() + 1 elements.
  double Evaluate(std::span<double> values, int32_t nf) override;
  std::unique_ptr<Model> Clone() const override;
  // Periods 1..periods (2 up to the periods read) with their series derived
  // as from a data file of those lines only; a fresh best-fit record.
  std::unique_ptr<Model> CloneFirstPeriods(int periods) const override;
  double EvaluateUnrecorded(std::span<double> values) override;
  // NF = -2: the exact gradient and second derivatives of the objective at
  // the (link-expanded) values, by automatic differentiation. Reads only the
  // model's data: several threads may ask one model at once.
  void Derivatives(std::span<const double> values, std::span<double> gradient, Matrix& secondDerivatives) override;

  // The number of periods n, the n of the AICc the summary and the ranking print.
  int32_t SampleSize() const override { return data_.NumPeriods; }

  double BestObjective() const override { return best_.BestObjective; }
  const std::vector<double>& BestValues() const override { return best_.BestValues; }

  // What the results summary and the plots read.
  const model::ModelData& Data() const { return data_; }
  const model::LikelihoodWork& LastEvaluation() const { return work_; }
  const model::BestFit& Best() const { return best_; }
  const model::ParameterLayout& Layout() const { return layout_; }
  int NumSpecies() const { return data_.NumSpecies; }
  int NumPeriods() const { return data_.NumPeriods; }
  int NumParameters() const { return layout_.Count(); }
  int NumEstimated() const { return layout_.Estimated(); }
  const std::string& DataFileName() const { return data_.DataFileName; }
  const std::vector<std::string>& Descriptions() const { return descriptions_; }

 private:
  void CheckReady(std::span<const double> values) const;

  model::ParameterLayout layout_;
  std::vector<std::string> descriptions_;
  model::ModelData data_;
  model::PeriodBlocks blocks_;  // packed from data_ for the vector unit found at initialization
  model::ResidualJacobian jacobian_;  // of data_, for the derivatives
  model::LikelihoodWork work_;
  model::BestFit best_;
};

std::unique_ptr<Model> MakeOskaneModel();

}  // namespace kalvex
