#pragma once
// The evaluation sequence of EvaluateObjectiveWithCode for a worker thread:
// link expansion, the model and the prior term on copies of everything they
// read, so that evaluators on different threads share nothing with each
// other or with the workspace. For the same trial vector it returns the same
// value, bit for bit, and makes the same corrections in the vector; it counts
// no call, keeps no best-fit record and leaves the workspace's prior terms
// alone. The loop that uses evaluators keeps the counts and evaluates its
// last point again through the workspace, so that the workspace ends as a
// run on one thread leaves it.
#include <memory>
#include <string>
#include <vector>

#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex {

class ObjectiveEvaluator {
 public:
  // A copy of the workspace's link data, priors, -ln[L] scale and
  // evaluation flags as they stand, with model (a clone of ws.model).
  // Make evaluators after the run's first evaluation through the workspace:
  // by then the link expansion has set the followers' steps to 0.
  ObjectiveEvaluator(const Workspace& ws, std::unique_ptr<Model> model);

  // Throws NumericFault as EvaluateObjective does.
  double Evaluate(std::vector<double>& vector);

 private:
  std::unique_ptr<Model> model_;
  int numParameters_ = 0;
  std::vector<std::string> links_;
  std::vector<double> steps_;
  int drivingParameter_ = 0;
  LinkScratch scratch_;
  bool priorsActive_ = false;
  PriorTable priors_;
  double objectiveScale_ = 0;
};

// One evaluator per worker; empty when the model cannot be cloned.
std::vector<ObjectiveEvaluator> MakeEvaluators(const Workspace& ws, int count);

}  // namespace kalvex
