#pragma once
// What a computation runs on: the objective (an evaluator with its own
// copies of the links, priors and scale), the parameter vector with the
// free parameters' start values and steps, and the settings of the run.
// The minimizer, Hessian-grid and posterior-node kernels take a problem and
// touch no workspace; an interactive driver maps the workspace onto a
// problem (ProblemOf) and the result back. A problem made from a clone of
// the model shares nothing with any other, so that problems can run side by
// side on threads.
//
//   ObjectiveTerms terms;                         // links, priors, scale
//   Problem problem(ObjectiveEvaluator(model.Clone(), terms), values, steps,
//                   {.tolerance = 1e-8, .maxFunctionCalls = 5000});
//   SimplexState state;
//   SimplexObserver quiet;
//   MinimizeResult fit = SimplexKernel(problem, state, SimplexOptions::Of(problem.settings), quiet).Run();
#include <cstdint>
#include <vector>

#include "workspace/ObjectiveEvaluator.h"
#include "workspace/Workspace.h"

namespace kalvex {

// The algorithm data's minimizer settings and the threads a grid may use.
struct ProblemSettings {
  double tolerance = 1e-6;          // > 0 absolute, < 0 relative
  int32_t maxFunctionCalls = 9999;  // Simplex calls, Marquardt iterations
  double reductionFraction = 0.1;
  int threads = 1;                  // workers for grids and posterior nodes; results do not depend on it

  static ProblemSettings Of(const AlgorithmData& alg, int threads = 1);
};

class Problem {
 public:
  // values and steps are 1-based over every parameter; the free parameters
  // are those with a non-zero step.
  Problem(ObjectiveEvaluator objective, std::vector<double> values, std::vector<double> steps,
          ProblemSettings settings = {});

  // One counted evaluation: calls + 1 is passed as NF. Throws NumericFault,
  // also when the count would overflow.
  double Evaluate(std::vector<double>& vector);
  // One evaluation with a literal NF (1 outside a run); not counted.
  double EvaluateWithCode(std::vector<double>& vector, int32_t nf) { return objective.Evaluate(vector, nf); }

  int NumParameters() const { return objective.Terms().numParameters; }

  ObjectiveEvaluator objective;
  std::vector<double> values;  // the start; a minimizer leaves its result here
  std::vector<double> steps;
  FreeParameters free;         // compacted from steps
  ProblemSettings settings;
  int32_t calls = 0;           // counted evaluations (FunctionCallCount)
};

// The workspace as a problem on its own model: Values, Steps, the terms and
// the algorithm data's settings. Normalize the links and collect the free
// parameters first, as every analysis does.
Problem ProblemOf(Workspace& ws);

// What a run on ProblemOf(ws) leaves, back in the workspace: Values, the
// free parameters and the call count.
void TakeProblemValues(Workspace& ws, const Problem& problem);

}  // namespace kalvex
