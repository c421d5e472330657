#include "workspace/ObjectiveEvaluator.h"

#include <span>

#include "priors/ComputePriorValue.h"
#include "workspace/NumericFault.h"

namespace kalvex {

ObjectiveEvaluator::ObjectiveEvaluator(const Workspace& ws, std::unique_ptr<Model> model)
    : model_(std::move(model)),
      numParameters_(ws.Alg.NumParameters),
      links_(ws.Alg.Links),
      steps_(ws.Alg.Steps),
      drivingParameter_(ws.PosteriorEvaluationActive == kOn || ws.ProfileEvaluationActive == kOn
                            ? ws.EvaluatedParameter
                            : 0),
      priorsActive_(ws.PriorsActive == kOn),
      priors_(ws.Priors),
      objectiveScale_(ws.ObjectiveScale) {}

double ObjectiveEvaluator::Evaluate(std::vector<double>& vector) {
  ExpandLinks(numParameters_, links_, steps_, drivingParameter_, vector, scratch_);
  double value = model_->EvaluateUnrecorded(std::span<double>(vector));
  // The workspace adds PriorValue, which is this product.
  if (priorsActive_) value += objectiveScale_ * PriorTermSum(priors_, numParameters_, vector);
  return CheckFinite(value);
}

std::vector<ObjectiveEvaluator> MakeEvaluators(const Workspace& ws, int count) {
  std::vector<ObjectiveEvaluator> evaluators;
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<Model> clone = ws.model->Clone();
    if (!clone) return {};
    evaluators.emplace_back(ws, std::move(clone));
  }
  return evaluators;
}

}  // namespace kalvex
