#pragma once
// The evaluation sequence of EvaluateObjectiveWithCode on copies of
// everything it reads besides the model: link expansion, the model and the
// prior term. An evaluator shares nothing with the workspace or with other
// evaluators except the model it is given: the workspace's own (so that its
// best-fit record is kept, as every analysis in the workbench needs) or a
// clone of its own (a worker thread's, a jittered start's). For the same
// trial vector it returns the value of the workspace's sequence, bit for
// bit, and makes the same corrections in the vector; it counts no call and
// leaves the workspace's prior terms alone.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {

// What the objective reads besides the model and the trial vector.
struct ObjectiveTerms {
  int numParameters = 0;
  std::vector<std::string> links;  // 1-based link codes, "~~" unlinked
  std::vector<double> steps;       // 1-based; the link expansion sets a follower's step to 0
  int drivingParameter = 0;        // the evaluated parameter of a profile or posterior; 0: none
  bool priorsActive = false;
  PriorTable priors;
  double objectiveScale = 0;       // 1 / c: the prior terms in objective units
};

// The workspace's link data, priors, -ln[L] scale and evaluation flags as
// they stand.
ObjectiveTerms ObjectiveTermsOf(const Workspace& ws);

class ObjectiveEvaluator {
 public:
  // Evaluates on model, which the caller keeps alive.
  ObjectiveEvaluator(Model& model, ObjectiveTerms terms);
  // Evaluates on a model of its own.
  ObjectiveEvaluator(std::unique_ptr<Model> model, ObjectiveTerms terms);
  // The workspace's terms as they stand with model (a clone of ws.model).
  // Make evaluators after the run's first evaluation through the workspace:
  // by then the link expansion has set the followers' steps to 0.
  ObjectiveEvaluator(const Workspace& ws, std::unique_ptr<Model> model);

  // ExpandLinks, MODEL with nf (the model keeps its best-fit record), plus
  // the prior term while priors are on. Throws NumericFault as
  // EvaluateObjectiveWithCode does.
  double Evaluate(std::vector<double>& vector, int32_t nf);
  // The same value without the best-fit record, for workers whose record
  // is never read.
  double Evaluate(std::vector<double>& vector);
  // Gives every follower in vector its group's value.
  void ExpandLinks(std::vector<double>& vector);

  // An evaluator with the same terms on a clone of the model; nullopt when
  // the model cannot be cloned.
  std::optional<ObjectiveEvaluator> Clone() const;

  const ObjectiveTerms& Terms() const { return terms_; }
  // The -ln[L] scale of the prior terms, when the constant is answered
  // during a run.
  void SetObjectiveScale(double scale) { terms_.objectiveScale = scale; }
  Model& GetModel() const { return *model_; }

 private:
  double AddPriors(double value, const std::vector<double>& vector) const;

  std::unique_ptr<Model> owned_;
  Model* model_ = nullptr;
  ObjectiveTerms terms_;
  LinkScratch scratch_;
};

// count clones of prototype for worker threads; empty when the model cannot
// be cloned.
std::vector<ObjectiveEvaluator> MakeEvaluators(const ObjectiveEvaluator& prototype, int count);
// One evaluator per worker on clones of ws.model with the workspace's terms.
std::vector<ObjectiveEvaluator> MakeEvaluators(const Workspace& ws, int count);

}  // namespace kalvex
