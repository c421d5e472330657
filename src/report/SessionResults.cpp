#include "report/SessionResults.h"

#include <algorithm>

#include "algorithm/AlgorithmFile.h"
#include "covariance/CovarianceReport.h"
#include "model/Summary.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex::report {

void SessionResults::ForgetFitResults() {
  summary.reset();
  summaryPlots.reset();
  covariance.reset();
  profiles.clear();
  diagnostics.reset();
  jitter.reset();
  hindcast.reset();
  for (Analysis analysis : {Analysis::Summary, Analysis::Covariance, Analysis::Profiles, Analysis::Diagnostics,
                            Analysis::Jitter, Analysis::Hindcast}) {
    failed.erase(analysis);
    notRun.erase(analysis);
  }
  notes.clear();
}

FitRecord FitRecordOf(const Workspace& ws, std::string minimizer, const MinimizeResult& result) {
  const bool analytical = minimizer == "Marquardt" && ws.DerivativeMode == "A";
  return {ws.AlgorithmFileName, std::move(minimizer), analytical, result,
          AlgorithmFileText(ws.Alg, AlgorithmFileVariant::MainMenu)};
}

std::optional<ProfileRecord> ProfileRecordOf(const Workspace& ws) {
  const EvaluationState& kept = ws.Evaluation;
  if (kept.LastEvaluationKind != kMaximumLikelihoodKind || kept.Table.PointCount < 3) return std::nullopt;
  return ProfileRecord{ws.EvaluatedParameter, kept.Table, kept.Summary, kept.Note};
}

std::optional<CovarianceRecord> CovarianceRecordOf(const CovarianceResults& results, std::string& failure) {
  try {
    return CovarianceRecord{results, CovarianceReportText(results)};
  } catch (const NumericFault& fault) {
    failure = std::string("the covariance report could not be made: ") + fault.what();
    return std::nullopt;
  }
}

void KeepProfile(SessionResults& results, ProfileRecord profile) {
  std::vector<ProfileRecord>& kept = results.profiles;
  auto at = std::find_if(kept.begin(), kept.end(),
                         [&](const ProfileRecord& p) { return p.parameter >= profile.parameter; });
  if (at != kept.end() && at->parameter == profile.parameter)
    *at = std::move(profile);
  else
    kept.insert(at, std::move(profile));
}

void RecordSummary(SessionResults& results, const Workspace& ws) {
  results.failed.erase(Analysis::Summary);
  results.summary.reset();
  results.summaryPlots.reset();
  const std::optional<model::SummaryInputs> in = model::SummaryInputsOf(ws);
  if (!in) return;
  if (std::optional<std::string> invalid = model::SummarySettings{}.Validate(*in)) {
    results.failed[Analysis::Summary] = *invalid;
    return;
  }
  try {
    model::SummaryResult summary = model::ComputeResultsSummary(*in, {.forecast = false, .plotData = true});
    try {
      model::AddForecast(*in, summary);
    } catch (const NumericFault& fault) {
      results.notes.push_back("The forecast could not be made: " + std::string(fault.what()));
    }
    results.summary = summary.Text();
    results.summaryPlots = std::move(summary.plotData);
  } catch (const NumericFault& fault) {
    results.failed[Analysis::Summary] = fault.what();
  }
}

}  // namespace kalvex::report
