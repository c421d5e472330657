#include "checks/Jitter.h"

#include <mutex>

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

FitMethod MethodOf(const JitterSettings& settings) {
  return {settings.minimizer, settings.analytical ? Derivatives::Analytical : Derivatives::Numerical};
}

std::optional<std::string> OptionsRefusal(const ProblemSettings& problem, const JitterSettings& settings) {
  if (settings.minimizer == FitMinimizer::Simplex) return SimplexOptions::Of(problem).Validate();
  return MarquardtOptionsOf(problem, settings).Validate();
}

// One start's fit on an objective of its own. A numeric fault is the
// start's result, not the run's.
StartOutcome FitStart(ObjectiveEvaluator objective, std::vector<double> start, const Problem& current,
                      const JitterSettings& settings, const StopAsked& stop) {
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
    result = FitQuietly(problem, MethodOf(settings), stop);
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
  if (settings.analytical && !DerivativesSupplied(current.objective, values, current.free.FreeIndex)) {
    outcome.end = JitterEnd::NoDerivatives;
    return outcome;
  }

  const std::vector<ParameterRange> ranges = FreeParameterRanges(current.objective.GetModel(), current.free);
  // Each start fits on a clone of its own, made from a private copy: the
  // current model may be the workspace's, which the interface may read while
  // the fits run. A model that cannot be cloned fits every start in turn on
  // itself.
  const std::optional<ObjectiveEvaluator> source = current.objective.Clone();
  std::mutex cloning;  // a model's copy need not be safe to make on two threads at once
  std::vector<char> finished(static_cast<std::size_t>(settings.starts), 0);
  run.starts.assign(static_cast<std::size_t>(settings.starts), {});
  const FitTask fitStart = [&](int k, const StopAsked& stop) {
    std::optional<ObjectiveEvaluator> objective;
    if (source) {
      std::lock_guard lock(cloning);
      objective = source->Clone();
    } else {
      objective.emplace(current.objective.GetModel(), current.objective.Terms());
    }
    const std::vector<double> free =
        JitteredStart(current.free.FreeValues, current.free.FreeSteps, ranges, settings, k + 1);
    run.starts[k] = FitStart(std::move(*objective), StartVector(values, run.freeIndex, free), current, settings, stop);
    finished[k] = !stop();
  };
  const FitsRun fits = source ? RunFits(settings.starts, current.settings.threads, fitStart, tick)
                              : RunFitsHere(settings.starts, fitStart, tick);
  // After an interrupt the starts kept are those a smaller count would have
  // fitted.
  int prefix = 0;
  while (prefix < settings.starts && finished[prefix]) ++prefix;
  if (fits.stopped && prefix < settings.starts) {
    outcome.end = JitterEnd::Interrupted;
    run.starts.resize(static_cast<std::size_t>(prefix));
  }
  outcome.minima = GroupStarts(run);
  return outcome;
}

}  // namespace kalvex::checks
