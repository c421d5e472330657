#include "checks/Hindcast.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "minimize/SimplexKernel.h"
#include "model/OskaneModel.h"
#include "model/Summary.h"
#include "plots/Panel.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

constexpr int kFewestPeels = 2;
// The standard normal's 97.5 % quantile.
constexpr double kNormalQuantile975 = 1.959963984540054;

const OskaneModel& OskaneOf(const Problem& problem) {
  return static_cast<const OskaneModel&>(problem.objective.GetModel());
}

model::SummaryInputs SummaryInputsOfClone(const OskaneModel& model, const std::vector<double>& steps) {
  return model::SummaryInputs{
      model.Data(), model.Best(), model.LastEvaluation(), model.Layout(), model.Descriptions(), steps, "", ""};
}

int FreeCount(const std::vector<double>& steps, int numParameters) {
  int count = 0;
  for (int i = 1; i <= numParameters && i < static_cast<int>(steps.size()); ++i)
    if (steps[i] != 0) ++count;
  return count;
}

// The forecast inputs are set to each forecast year's data, so they must
// be neither estimated nor tied to another parameter.
std::optional<std::string> ForecastInputsRefusal(const HindcastInputs& in) {
  const model::ParameterLayout& layout = in.model->Layout();
  for (int i = layout.Estimated() + 1; i <= layout.Count(); ++i)
    if (in.steps[i] != 0 || (i < static_cast<int>(in.terms.links.size()) && in.terms.links[i] != "~~"))
      return "Parameter " + std::to_string(i) +
             " is a forecast input: its step must be 0 and it must not be linked, because a hindcast sets the "
             "forecast inputs to the effort, catches and intervention of each year it forecasts.";
  return std::nullopt;
}

std::optional<std::string> MinimizerRefusal(const HindcastInputs& in, const FitMethod& method) {
  if (method.minimizer == FitMinimizer::Simplex) return SimplexOptions::Of(in.settings).Validate();
  return MarquardtOptions::Of(in.settings, method.derivatives).Validate();
}

// Period `period`'s effort, catches and intervention as the forecast inputs.
void SetForecastInputs(std::vector<double>& values, const model::ModelData& data, const model::ParameterLayout& layout,
                       int period) {
  values[layout.ForecastEffort()] = data.Effort[period];
  for (int j = 1; j <= layout.species; ++j) values[layout.ForecastCatch(j)] = data.Catch(period, j);
  values[layout.ForecastIntervention()] = data.Intervention[period];
}

std::string PeelText(int peel, double lastYear) {
  return "peel " + std::to_string(peel) + " of the hindcast (the fit to the periods up to " +
         FormatNumber(lastYear, "###0") + ")";
}

// The peel's fitted point evaluated once with NF = 1, as the main menu's
// Results does, then the summary's forecast of the next period from it.
PeelOutcome ForecastPeel(Problem& problem, const std::vector<double>& steps, const std::vector<int>& freeIndex,
                         const model::ModelData& full, int peel) {
  const OskaneModel& model = OskaneOf(problem);
  const int last = model.NumPeriods();
  std::vector<double> point = problem.values;
  PeelOutcome outcome;
  outcome.objective = problem.EvaluateWithCode(point, 1);
  const model::SummaryNumbers numbers = model::ComputeSummary(SummaryInputsOfClone(model, steps), true);
  PeelForecast& f = outcome.forecast;
  f.peel = peel;
  f.lastYearFitted = full.Year[last];
  f.forecastLnIndex = numbers.forecast->Mu;
  const ForecastBounds bounds = CentralBounds(numbers.forecast->Mu, numbers.forecast->Sigma2);
  f.lower = bounds.lower;
  f.upper = bounds.upper;
  f.observed = full.HarvestIndex[last + 1];
  f.naive = full.HarvestIndex[last];
  f.estimates.assign(freeIndex.size(), 0.0);
  for (std::size_t i = 1; i < freeIndex.size(); ++i) f.estimates[i] = point[freeIndex[i]];
  return outcome;
}

// The full fit at the current values on a clone: its objective, and the
// data and predicted index the picture shows.
void DescribeFullFit(const HindcastInputs& in, HindcastRun& run) {
  ObjectiveEvaluator evaluator(in.model->Clone(), in.terms);
  std::vector<double> values = in.values;
  run.fullObjective = evaluator.Evaluate(values, 1);
  const auto& model = static_cast<const OskaneModel&>(evaluator.GetModel());
  const model::SummaryNumbers numbers = model::ComputeSummary(SummaryInputsOfClone(model, in.steps), false);
  const model::ModelData& d = model.Data();
  for (int i = 1; i <= d.NumPeriods; ++i) {
    run.years.push_back(d.Year[i]);
    run.observed.push_back(d.HarvestIndex[i]);
    const double predicted = numbers.variance.predictedIndex[i];
    run.fullPrediction.push_back(i == 1 ? std::nullopt : std::optional<double>(predicted));
  }
}

}  // namespace

int HindcastSettings::MostPeels(int periods, int freeParameters) { return periods - freeParameters - 2; }

std::optional<std::string> HindcastSettings::Validate(int periods, int freeParameters) const {
  if (freeParameters == 0) return "All step sizes are zero: a hindcast refits the free parameters, and there are none.";
  const int most = MostPeels(periods, freeParameters);
  const std::string need = "a fit of " + std::to_string(freeParameters) + " free parameters needs at least " +
                           std::to_string(freeParameters + 2) + " periods";
  if (most < kFewestPeels)
    return "The data hold " + std::to_string(periods) + " periods, too few for a hindcast: " + need + ", and " +
           std::to_string(kFewestPeels) + " years at least are forecast.";
  if (peels < kFewestPeels || peels > most)
    return "The number of peels must be from " + std::to_string(kFewestPeels) + " to " + std::to_string(most) +
           ": each peel refits the periods before the year it forecasts, and " + need + " of the " +
           std::to_string(periods) + ".";
  return std::nullopt;
}

std::optional<HindcastInputs> HindcastInputsOf(const Workspace& ws) {
  const auto* model = dynamic_cast<const OskaneModel*>(ws.model.get());
  if (!model || model->NumPeriods() == 0) return std::nullopt;
  std::shared_ptr<const OskaneModel> clone(static_cast<OskaneModel*>(model->Clone().release()));
  return HindcastInputs{std::move(clone),
                        ObjectiveTermsOf(ws),
                        ws.Alg.Values,
                        ws.Alg.Steps,
                        ProblemSettings::Of(ws.Alg, ws.WorkerThreads),
                        ReportSources{model->DataFileName(), ws.AlgorithmFileName, ws.PriorsFileName}};
}

ForecastBounds CentralBounds(double mu, double sigma2) {
  const double reach = kNormalQuantile975 * SafeSqrt(sigma2);
  return {std::exp(mu - reach), std::exp(mu + reach)};
}

HindcastOutcome ComputeHindcast(const HindcastInputs& in, const HindcastSettings& settings, const FitsTick& tick) {
  HindcastOutcome out;
  const OskaneModel& full = *in.model;
  const model::ParameterLayout& layout = full.Layout();
  const model::ModelData& data = full.Data();
  const int n = full.NumPeriods(), peels = settings.peels;
  std::optional<std::string> refusal = settings.Validate(n, FreeCount(in.steps, layout.Count()));
  if (!refusal) refusal = ForecastInputsRefusal(in);
  if (!refusal) refusal = MinimizerRefusal(in, settings.method);
  if (refusal) {
    out.refusal = *refusal;
    return out;
  }

  HindcastRun run;
  run.minimizer = settings.method.Name();
  run.analytical =
      settings.method.minimizer == FitMinimizer::Marquardt && settings.method.derivatives == Derivatives::Analytical;
  run.descriptions = full.Descriptions();
  run.freeIndex = {0};
  run.fullEstimates = {0};
  for (int i = 1; i <= layout.Count(); ++i)
    if (in.steps[i] != 0) {
      run.freeIndex.push_back(i);
      run.fullEstimates.push_back(in.values[i]);
    }
  DescribeFullFit(in, run);

  // Every peel's problem on its own cut of the data, made here so that a cut
  // that cannot be initialized is told before any fit starts.
  std::vector<Problem> problems;
  problems.reserve(static_cast<std::size_t>(peels));
  for (int h = 1; h <= peels; ++h) {
    std::vector<double> start = in.values;
    SetForecastInputs(start, data, layout, n - h + 1);
    try {
      problems.emplace_back(ObjectiveEvaluator(full.CloneFirstPeriods(n - h), in.terms), std::move(start), in.steps,
                            in.settings);
    } catch (const InitializationError& e) {
      out.refusal = std::string(e.what()) + "\r\nThe data of " + PeelText(h, data.Year[n - h]) + " cannot be fitted.";
      return out;
    }
  }

  std::vector<MinimizeResult> fits(static_cast<std::size_t>(peels));
  std::vector<PeelOutcome> outcomes(static_cast<std::size_t>(peels));
  const FitsRun fitsRun = RunFits(
      peels, in.settings.threads,
      [&](int k, const StopAsked& stop) {
        Problem& problem = problems[static_cast<std::size_t>(k)];
        fits[k] = FitQuietly(problem, settings.method, stop);
        if (fits[k].end == RunEnd::Error || fits[k].end == RunEnd::Interrupted) return;
        outcomes[k] = ForecastPeel(problem, in.steps, run.freeIndex, data, k + 1);
        outcomes[k].ended = FitEndText(fits[k], settings.method);
      },
      tick);
  for (int k = 0; k < peels; ++k) {
    const double lastYear = data.Year[n - k - 1];
    if (fitsRun.faultTask == k)
      throw NumericFault(fitsRun.fault + "\r\nThe fault arose in " + PeelText(k + 1, lastYear) + ".");
    if (fitsRun.stopped) continue;
    if (fits[k].end == RunEnd::Error) {
      out.refusal = "The fit of " + PeelText(k + 1, lastYear) + " ended in an error: " + fits[k].message;
      return out;
    }
  }
  if (fitsRun.stopped) {
    out.stopped = true;
    return out;
  }
  run.peels = std::move(outcomes);
  out.skill = ScoreRun(run);
  out.report = HindcastReportText(in.sources, run, out.skill);
  out.run = std::move(run);
  return out;
}

plots::Figure HindcastPicture(const HindcastRun& run, const HindcastSkill& skill) {
  const plots::Figure panels[] = {HindcastFigure(run, skill), EstimatesByPeelFigure(run, skill)};
  return plots::Arrange(panels, 1);
}

}  // namespace kalvex::checks
