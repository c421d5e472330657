#include "workspace/ObjectiveEvaluator.h"

#include <span>

#include "workspace/ComputePriorValue.h"
#include "workspace/NumericFault.h"

namespace kalvex {

ObjectiveTerms ObjectiveTermsOf(const Workspace& ws) {
  ObjectiveTerms terms;
  terms.numParameters = ws.Alg.NumParameters;
  terms.links = ws.Alg.Links;
  terms.steps = ws.Alg.Steps;
  const bool evaluating = ws.PosteriorEvaluationActive == kOn || ws.ProfileEvaluationActive == kOn;
  terms.drivingParameter = evaluating ? ws.EvaluatedParameter : 0;
  terms.priorsActive = ws.PriorsActive == kOn;
  terms.priors = ws.Priors;
  terms.objectiveScale = ws.ObjectiveScale;
  return terms;
}

ObjectiveEvaluator::ObjectiveEvaluator(Model& model, ObjectiveTerms terms)
    : model_(&model), terms_(std::move(terms)) {}

ObjectiveEvaluator::ObjectiveEvaluator(std::unique_ptr<Model> model, ObjectiveTerms terms)
    : owned_(std::move(model)), model_(owned_.get()), terms_(std::move(terms)) {}

ObjectiveEvaluator::ObjectiveEvaluator(const Workspace& ws, std::unique_ptr<Model> model)
    : ObjectiveEvaluator(std::move(model), ObjectiveTermsOf(ws)) {}

void ObjectiveEvaluator::ExpandLinks(std::vector<double>& vector) {
  kalvex::ExpandLinks(terms_.numParameters, terms_.links, terms_.steps, terms_.drivingParameter, vector, scratch_);
}

double ObjectiveEvaluator::AddPriors(double value, const std::vector<double>& vector) const {
  // The workspace adds PriorValue, which is this product.
  if (terms_.priorsActive) value += terms_.objectiveScale * PriorTermSum(terms_.priors, terms_.numParameters, vector);
  return CheckFinite(value);
}

double ObjectiveEvaluator::Evaluate(std::vector<double>& vector, int32_t nf) {
  ExpandLinks(vector);
  return AddPriors(model_->Evaluate(std::span<double>(vector), nf), vector);
}

double ObjectiveEvaluator::Evaluate(std::vector<double>& vector) {
  ExpandLinks(vector);
  return AddPriors(model_->EvaluateUnrecorded(std::span<double>(vector)), vector);
}

std::optional<ObjectiveEvaluator> ObjectiveEvaluator::Clone() const {
  std::unique_ptr<Model> clone = model_->Clone();
  if (!clone) return std::nullopt;
  return ObjectiveEvaluator(std::move(clone), terms_);
}

std::vector<ObjectiveEvaluator> MakeEvaluators(const ObjectiveEvaluator& prototype, int count) {
  std::vector<ObjectiveEvaluator> evaluators;
  for (int i = 0; i < count; ++i) {
    std::optional<ObjectiveEvaluator> clone = prototype.Clone();
    if (!clone) return {};
    evaluators.push_back(std::move(*clone));
  }
  return evaluators;
}

std::vector<ObjectiveEvaluator> MakeEvaluators(const Workspace& ws, int count) {
  return MakeEvaluators(ObjectiveEvaluator(*ws.model, ObjectiveTermsOf(ws)), count);
}

}  // namespace kalvex
