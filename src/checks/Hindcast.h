#pragma once
// The hindcast of the current fit: for h = 1..H the model is cut to its
// first n - h periods, refitted from the current values, and period
// n - h + 1 forecast exactly as the results summary forecasts, with that
// period's own effort, catches and intervention as the forecast inputs.
// The peels are independent fits on every core; the result is the same for
// any number of threads. Settings in (HindcastSettings), a computation
// (ComputeHindcast) and the result (HindcastRun with its skill and report);
// its window's run and save are in workflow/HindcastWindow.h.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/HindcastReport.h"
#include "checks/ParallelFits.h"
#include "checks/ReportSave.h"
#include "workspace/ObjectiveEvaluator.h"
#include "workspace/Problem.h"

namespace kalvex {
class OskaneModel;
struct Workspace;
}  // namespace kalvex

namespace kalvex::checks {

inline constexpr const char* kHindcastTitle = "Hindcast";

struct HindcastSettings {
  int peels = 5;     // H
  FitMethod method;  // Simplex; Marquardt with numerical or analytical derivatives

  // The most peels n periods allow a model with k free parameters: each
  // peel's fit keeps at least k + 2 periods, so that its error variance
  // (n - 1 - k degrees of freedom) and AICc are defined.
  static int MostPeels(int periods, int freeParameters);
  // nullopt, or why these settings cannot run: no free parameter, fewer
  // than 2 peels, or more than MostPeels.
  std::optional<std::string> Validate(int periods, int freeParameters) const;
};

// What a hindcast reads of the workspace, copied as it stands (after
// NormalizeLinks and CollectFreeParameters): whatever the workspace does
// while the peels run (the window pumps events), the run reads its own.
struct HindcastInputs {
  std::shared_ptr<const OskaneModel> model;  // a clone with the full data
  ObjectiveTerms terms;
  std::vector<double> values, steps;  // 1-based, every parameter
  ProblemSettings settings;           // the algorithm data's; settings.threads workers
  ReportSources sources;
};

// nullopt for a model that cannot be hindcast (not the Oskane model).
std::optional<HindcastInputs> HindcastInputsOf(const Workspace& ws);

struct HindcastOutcome {
  std::optional<HindcastRun> run;
  HindcastSkill skill;
  std::string report;    // the .hnd text
  std::string refusal;   // why there is no run (settings, a fit that ended in an error)
  bool stopped = false;  // the tick stopped it
};

// The hindcast computation. tick (may be empty) hears of the peels done and
// may stop the run. Throws NumericFault (naming the peel) for a fault in a
// fit or a forecast, the lowest peel's when several fault, and
// InitializationError when the data cut for a peel cannot be initialized.
HindcastOutcome ComputeHindcast(const HindcastInputs& inputs, const HindcastSettings& settings,
                                const FitsTick& tick = {});

// The central 95 % interval of a forecast index whose logarithm is normal
// with mean mu and variance sigma2: exp(mu -+ 1.959964 sqrt(sigma2)). The
// summary's CI table gives the same interval to within one of its bins (its
// "most likely" index exp(mu) is the median).
struct ForecastBounds {
  double lower = 0, upper = 0;
};
ForecastBounds CentralBounds(double mu, double sigma2);

// Both pictures as one: the forecasts above the estimates by peel.
plots::Figure HindcastPicture(const HindcastRun& run, const HindcastSkill& skill);

}  // namespace kalvex::checks
