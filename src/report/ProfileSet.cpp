#include "report/ProfileSet.h"

#include <atomic>

#include "evaluation/DistributionStatistics.h"
#include "evaluation/PointSweep.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/ThreadPool.h"
#include "workspace/Workspace.h"

namespace kalvex::report {
namespace {

// Fails the profile with its reason.
struct ProfileFailure {
  std::string reason;
};

class OneProfile {
 public:
  OneProfile(const Workspace& ws, int parameter, const ProfileSetSettings& settings, std::atomic<int64_t>& done)
      : ws_(ws), p_(parameter), settings_(settings), done_(done), values_(ws.Alg.Values), steps_(ws.Alg.Steps),
        centre_(values_[p_]), step_(steps_[p_]) {
    steps_[p_] = 0;
    terms_ = ObjectiveTermsOf(ws);
    terms_.steps = steps_;
    terms_.drivingParameter = p_;  // the held parameter drives its link group
  }

  ProfileOutcome Run() {
    ProfileOutcome outcome{p_, std::nullopt, {}};
    model_ = ws_.model->Clone();
    if (!model_) {
      outcome.failure = "the model cannot be copied for a profile";
      return outcome;
    }
    try {
      PointSweep sweep = Sweep();
      outcome.profile = HandOver(std::move(sweep));
    } catch (const ProfileFailure& failure) {
      outcome.failure = failure.reason;
    }
    return outcome;
  }

 private:
  PointSweep Sweep() {
    const int count = settings_.pointCount;
    const double mid = (count - 1) / 2 + 1;
    bool minimizing = false;
    for (int i = 1; i <= ws_.Alg.NumParameters; ++i) minimizing = minimizing || steps_[i] != 0;
    ObjectiveEvaluator objective(*model_, terms_);
    int point = 0;
    try {
      return SweepPoints(
          count, [&](int k) { return centre_ - (mid - k) * step_; },
          [&](int k, double x) -> std::optional<double> {
            point = k;
            values_[p_] = x;
            if (minimizing) Minimize(k);
            const double negLnL = objective.Evaluate(values_, 1) / ws_.ObjectiveScale;
            done_.fetch_add(1, std::memory_order_relaxed);
            return negLnL;
          });
    } catch (const NumericFault& fault) {
      throw ProfileFailure{"at point " + std::to_string(point) + " of " + std::to_string(count) + " (parameter # " +
                           std::to_string(p_) + " = " + FormatNumber(values_[p_], "0.0000E+00") + "): " + fault.what()};
    }
  }

  // The other free parameters minimized from where the previous point left them.
  void Minimize(int k) {
    Problem problem(ObjectiveEvaluator(*model_, terms_), values_, steps_, ProblemSettings::Of(ws_.Alg));
    MarquardtObserver quiet;
    MarquardtKernel kernel(problem, MarquardtOptions::Of(problem.settings, settings_.derivatives), quiet);
    const MinimizeResult result = kernel.Run();
    values_ = problem.values;
    if (result.end == RunEnd::Error)
      throw ProfileFailure{"the re-minimization at point " + std::to_string(k) + " failed: " + result.message};
  }

  ProfileRecord HandOver(PointSweep sweep) {
    if (sweep.count < 3) throw ProfileFailure{"fewer than 3 points were evaluated"};
    if (sweep.summary.ModeIndex < 1)
      throw ProfileFailure{"no profile point could be evaluated: every -ln[L] was 1E+100 or more"};
    double spacing = step_;
    if (spacing < 0) {
      ReverseTable(sweep.table, sweep.summary);
      spacing = -spacing;
    }
    DistributionStatistics(sweep.table, sweep.summary, sweep.summary.ModeIndex, spacing);
    return ProfileRecord{p_, std::move(sweep.table), sweep.summary, {}};
  }

  const Workspace& ws_;
  int p_;
  const ProfileSetSettings& settings_;
  std::atomic<int64_t>& done_;
  std::vector<double> values_, steps_;
  double centre_, step_;
  ObjectiveTerms terms_;
  std::unique_ptr<Model> model_;
};

}  // namespace

std::vector<ProfileOutcome> ComputeProfiles(const Workspace& ws, const std::vector<int>& parameters,
                                            const ProfileSetSettings& settings,
                                            const std::function<void(int64_t pointsDone)>& pointsDone) {
  std::vector<ProfileOutcome> outcomes(parameters.size());
  std::atomic<int64_t> done{0};
  ThreadPool pool(std::max(1, std::min<int>(settings.threads, static_cast<int>(parameters.size()))));
  pool.Run(
      static_cast<int64_t>(parameters.size()),
      [&](int, int64_t begin, int64_t end) {
        for (int64_t i = begin; i < end; ++i)
          outcomes[static_cast<std::size_t>(i)] = OneProfile(ws, parameters[i], settings, done).Run();
      },
      [&] {
        if (pointsDone) pointsDone(done.load(std::memory_order_relaxed));
      });
  if (pointsDone) pointsDone(done.load());
  return outcomes;
}

}  // namespace kalvex::report
