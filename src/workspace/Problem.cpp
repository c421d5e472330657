#include "workspace/Problem.h"

#include <limits>

#include "workspace/NumericFault.h"

namespace kalvex {

ProblemSettings ProblemSettings::Of(const AlgorithmData& alg, int threads) {
  return {alg.Tolerance, alg.MaxFunctionCalls, alg.ReductionFraction, threads};
}

Problem::Problem(ObjectiveEvaluator objectiveEvaluator, std::vector<double> startValues,
                 std::vector<double> startSteps, ProblemSettings runSettings)
    : objective(std::move(objectiveEvaluator)),
      values(std::move(startValues)),
      steps(std::move(startSteps)),
      settings(runSettings) {
  for (int i = 1; i < static_cast<int>(steps.size()) && i <= NumParameters(); ++i) {
    if (steps[i] == 0) continue;
    free.FreeValues.push_back(values[i]);
    free.FreeSteps.push_back(steps[i]);
    free.FreeIndex.push_back(static_cast<int16_t>(i));
    ++free.FreeCount;
  }
}

double Problem::Evaluate(std::vector<double>& vector) {
  if (calls == std::numeric_limits<int32_t>::max()) throw NumericFault(kOverflow);
  ++calls;
  return objective.Evaluate(vector, calls);
}

Problem ProblemOf(Workspace& ws) {
  return Problem(ObjectiveEvaluator(*ws.model, ObjectiveTermsOf(ws)), ws.Alg.Values, ws.Alg.Steps,
                 ProblemSettings::Of(ws.Alg, ws.WorkerThreads));
}

void TakeProblemValues(Workspace& ws, const Problem& problem) {
  ws.Alg.Values = problem.values;
  ws.Free = problem.free;
  ws.FunctionCallCount = problem.calls;
}

}  // namespace kalvex
