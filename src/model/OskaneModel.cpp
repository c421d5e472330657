#include "model/OskaneModel.h"

#include <stdexcept>

#include "model/DataFile.h"

namespace kalvex {

OskaneModel::OskaneModel() { best_.Resize(layout_.species, layout_.Count()); }

ModelShape OskaneModel::Initialize(const ModelInitOptions& options) {
  if (options.numSpecies < 1 || options.numSpecies > model::kMaxSpecies)
    throw InitializationError("Initialize Oskane model", "The number of species must be between 1 and " +
                                                             std::to_string(model::kMaxSpecies));
  // An empty path box keeps the file of the previous initialization.
  const std::string path = options.dataFileName.empty() ? data_.DataFileName : options.dataFileName;
  if (path.empty()) throw InitializationError("Missing input", "Please choose a data file");

  // Everything is built aside and only swapped in once it all succeeded.
  const model::ParameterLayout layout{options.numSpecies};
  model::ModelData data = model::ReadModelData(path, options.numSpecies);
  std::vector<std::string> descriptions = model::ParameterDescriptions(layout);
  model::PeriodBlocks blocks = model::PackPeriodBlocks(data, model::FastestVectorUnit());
  model::ResidualJacobian jacobian = model::ResidualJacobian::Of(data);
  model::LikelihoodWork work = model::LikelihoodWork::Sized(options.numSpecies);
  model::BestFit best = best_;
  best.Resize(options.numSpecies, layout.Count());

  layout_ = layout;
  data_ = std::move(data);
  blocks_ = std::move(blocks);
  jacobian_ = std::move(jacobian);
  descriptions_ = std::move(descriptions);
  work_ = std::move(work);
  best_ = std::move(best);

  ModelShape shape;
  shape.numParameters = static_cast<int16_t>(layout_.Count());
  shape.numEstimated = static_cast<int16_t>(layout_.Estimated());
  shape.descriptions = descriptions_;
  shape.dataPointCount = 0;
  return shape;
}

std::optional<std::string> OskaneModel::InitializeQuestion(const ModelInitOptions& options) const {
  const std::string path = options.dataFileName.empty() ? data_.DataFileName : options.dataFileName;
  if (path.empty()) return std::nullopt;
  try {
    return model::WideLinesQuestion(model::ReadDataLines(path), options.numSpecies, path);
  } catch (const InitializationError&) {
    return std::nullopt;  // Initialize reports it
  }
}

void OskaneModel::CheckReady(std::span<const double> values) const {
  if (data_.NumPeriods == 0) throw std::logic_error("The Oskane model has not been initialized");
  if (values.size() < static_cast<std::size_t>(layout_.Count()) + 1)
    throw std::out_of_range("Subscript out of range");
}

double OskaneModel::Evaluate(std::span<double> values, int32_t nf) {
  CheckReady(values);
  const double objective = model::EvaluateLikelihood(data_, blocks_, values, work_);
  if (model::ReplacesBestFit(nf, objective, best_)) model::StoreBestFit(best_, data_, work_, values);
  return objective;
}

void OskaneModel::Derivatives(std::span<const double> values, std::span<double> gradient, Matrix& secondDerivatives) {
  CheckReady(values);
  const int count = layout_.Count();
  if (gradient.size() < static_cast<std::size_t>(count) + 1 || secondDerivatives.Rows() < count ||
      secondDerivatives.Columns() < count)
    throw std::out_of_range("Subscript out of range");
  model::LikelihoodDerivatives(data_, blocks_, jacobian_, values, gradient, &secondDerivatives);
}

std::unique_ptr<Model> OskaneModel::Clone() const { return std::make_unique<OskaneModel>(*this); }

std::unique_ptr<Model> OskaneModel::CloneFirstPeriods(int periods) const {
  if (periods < 2 || periods > data_.NumPeriods) throw std::out_of_range("Subscript out of range");
  auto cut = std::make_unique<OskaneModel>();
  cut->layout_ = layout_;
  cut->descriptions_ = descriptions_;
  cut->data_ = model::FirstPeriods(data_, periods);
  cut->blocks_ = model::PackPeriodBlocks(cut->data_, model::FastestVectorUnit());
  cut->work_ = model::LikelihoodWork::Sized(layout_.species);
  cut->best_.Resize(layout_.species, layout_.Count());
  return cut;
}

double OskaneModel::EvaluateUnrecorded(std::span<double> values) {
  CheckReady(values);
  return model::EvaluateLikelihood(data_, blocks_, values, work_);
}

std::unique_ptr<Model> MakeOskaneModel() { return std::make_unique<OskaneModel>(); }

}  // namespace kalvex
