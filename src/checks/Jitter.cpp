#include "checks/Jitter.h"

#include "minimize/MarquardtKernel.h"
#include "minimize/SimplexKernel.h"
#include "workspace/NumericFault.h"
#include "workspace/ObjectiveDerivatives.h"
#include "workspace/Problem.h"

namespace kalvex::checks {
namespace {

MarquardtOptions MarquardtOptionsOf(const ProblemSettings& problem, const JitterSettings& settings) {
  return MarquardtOptions::Of(problem, settings.analytical ? Derivatives::Analytical : Derivatives::Numerical);
}

// Quiet kernels that end when the run is stopped.
class StoppableSimplex : public SimplexObserver {
 public:
  explicit StoppableSimplex(const StopRequested& stop) : stop_(stop) {}
  Verdict IterationDone() override { return stop_() ? Verdict::Stop : Verdict::GoOn; }

 private:
  const StopRequested& stop_;
};

class StoppableMarquardt : public MarquardtObserver {
 public:
  explicit StoppableMarquardt(const StopRequested& stop) : stop_(stop) {}
  Answer Trial(int, double) override { return stop_() ? Answer::Stop : Answer::GoOn; }

 private:
  const StopRequested& stop_;
};

MinimizeResult Minimize(Problem& problem, const JitterSettings& settings, const StopRequested& stop) {
  if (settings.minimizer == FitMinimizer::Simplex) {
    SimplexState state;
    StoppableSimplex observer(stop);
    return SimplexKernel(problem, state, SimplexOptions::Of(problem.settings), observer).Run();
  }
  StoppableMarquardt observer(stop);
  return MarquardtKernel(problem, MarquardtOptionsOf(problem.settings, settings), observer).Run();
}

std::optional<std::string> OptionsRefusal(const ProblemSettings& problem, const JitterSettings& settings) {
  if (settings.minimizer == FitMinimizer::Simplex) return SimplexOptions::Of(problem).Validate();
  return MarquardtOptionsOf(problem, settings).Validate();
}

// Whether the model gives second derivatives of the free parameters at
// values, as the Marquardt kernel asks them.
bool DerivativesSupplied(Problem& problem, std::vector<double> values) {
  std::vector<double> gradient;
  Matrix second;
  return EvaluateObjectiveDerivatives(problem.objective, values, problem.free.FreeIndex, gradient, second);
}

// One start's fit on an objective of its own. A numeric fault is the
// start's result, not the run's.
StartOutcome FitStart(ObjectiveEvaluator objective, std::vector<double> start, const Problem& current,
                      const JitterSettings& settings, const StopRequested& stop) {
  StartOutcome outcome;
  try {
    std::vector<double> trial = start;
    outcome.startObjective = objective.Evaluate(trial);
  } catch (const NumericFault&) {
    outcome.faulted = true;
    return outcome;
  }
  Problem problem(std::move(objective), std::move(start), current.steps, current.settings);
  MinimizeResult result;
  try {
    result = Minimize(problem, settings, stop);
  } catch (const NumericFault&) {
    outcome.faulted = true;
    outcome.calls = problem.calls;
    return outcome;
  }
  outcome.end = result.end;
  outcome.calls = result.totalFunctionCalls;
  if (result.end == RunEnd::Error) return outcome;  // no point to speak of
  std::vector<double> reached{0.0};
  for (int i = 1; i <= problem.free.FreeCount; ++i) reached.push_back(result.point[problem.free.FreeIndex[i]]);
  outcome.reached = {result.objective, std::move(reached)};
  return outcome;
}

}  // namespace

std::vector<double> StartVector(const std::vector<double>& currentValues, const std::vector<int>& freeIndex,
                                const std::vector<double>& freeValues) {
  std::vector<double> vector = currentValues;
  for (std::size_t i = 1; i < freeIndex.size() && i < freeValues.size(); ++i) vector[freeIndex[i]] = freeValues[i];
  return vector;
}

JitterOutcome ComputeJitter(Problem& current, const JitterSettings& settings,
                            const std::vector<std::string>& descriptions, const FitsTick& tick) {
  JitterOutcome outcome;
  JitterRun& run = outcome.run;
  run.settings = settings;
  run.tolerance = current.settings.tolerance;
  run.descriptions = descriptions;
  run.freeIndex.assign(current.free.FreeIndex.begin(), current.free.FreeIndex.end());
  run.freeSteps = current.free.FreeSteps;
  std::optional<std::string> refusal = settings.Validate();
  if (!refusal) refusal = OptionsRefusal(current.settings, settings);
  if (refusal) {
    outcome.end = JitterEnd::Refused;
    outcome.refusal = *refusal;
    return outcome;
  }
  if (current.free.FreeCount == 0) {
    outcome.end = JitterEnd::NothingToDo;
    return outcome;
  }
  std::vector<double> values = current.values;
  run.currentObjective = current.EvaluateWithCode(values, 1);
  if (settings.analytical && !DerivativesSupplied(current, values)) {
    outcome.end = JitterEnd::NoDerivatives;
    return outcome;
  }

  const std::vector<ParameterRange> ranges = FreeParameterRanges(current.objective.GetModel(), current.free);
  run.starts.assign(static_cast<std::size_t>(settings.starts), {});
  FitsRun fits = RunFits(
      current.objective, current.settings.threads, settings.starts,
      [&](int k, ObjectiveEvaluator objective, const StopRequested& stop) {
        const std::vector<double> free =
            JitteredStart(current.free.FreeValues, current.free.FreeSteps, ranges, settings, k + 1);
        run.starts[k] =
            FitStart(std::move(objective), StartVector(values, run.freeIndex, free), current, settings, stop);
      },
      [&](int done) { return tick && tick(done); });
  if (fits.stopped && fits.FinishedPrefix() < settings.starts) {
    outcome.end = JitterEnd::Interrupted;
    run.starts.resize(static_cast<std::size_t>(fits.FinishedPrefix()));
  }
  outcome.minima = GroupStarts(run);
  return outcome;
}

}  // namespace kalvex::checks
