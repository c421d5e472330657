#pragma once
// What a report is written from: the last result of each analysis, or why
// the analysis failed or was not run. kalvex-batch report fills one by
// running the analyses; the workbench keeps one for its session, recorded
// as the user runs them. Results only: numbers and the texts the analyses
// made, never the state of a window.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "checks/Diagnostics.h"
#include "checks/HindcastReport.h"
#include "checks/JitterReport.h"
#include "minimize/MinimizeResult.h"
#include "workspace/Results.h"
#include "ranking/ModelTable.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::report {

// The analyses of a report, in the order of its sections.
enum class Analysis { Fit, Summary, Covariance, Profiles, Diagnostics, Jitter, Hindcast, Ranking };

// One model fitted: where it started and how the fit ended.
struct FitRecord {
  std::string startFile;      // the algorithm file of the start values
  std::string minimizer;      // "Marquardt" or "Simplex"
  bool analytical = false;    // exact derivatives
  MinimizeResult result;
  std::string algorithmText;  // the values reached, as an algorithm file
};

// The likelihood profile of one parameter, its statistics made.
struct ProfileRecord {
  int parameter = 0;
  EvaluationTable table;
  EvaluationSummary summary;
  std::string note;  // a last line of the report; may be empty
};

struct CovarianceRecord {
  CovarianceResults results;
  std::string text;  // the report of the "Covariance data" window, the .cov file
};

struct RankingRecord {
  ranking::ModelTable table;              // ranked
  std::optional<std::string> averaging;   // the averaging text
  std::string averagingFailure;           // why there is none
};

struct SessionResults {
  // The files the results describe, as the analyses' texts name them.
  checks::ReportSources sources;
  std::vector<std::string> descriptions;  // by parameter number

  std::vector<FitRecord> fits;  // the first is the model the report is about
  std::optional<std::string> summary;  // the results summary (with the forecast when made)
  std::optional<plots::XYPlotData> summaryPlots;
  std::optional<CovarianceRecord> covariance;
  std::string profileSteps;             // where the profiles' steps came from
  std::vector<ProfileRecord> profiles;  // by parameter number
  std::optional<checks::Diagnostics> diagnostics;
  std::optional<checks::JitterRun> jitter;
  std::optional<checks::HindcastRun> hindcast;
  std::optional<RankingRecord> ranking;
  // The covariance reports of the competing models after the first, by
  // model number (2, 3, ...): the averaging reads them.
  std::map<int, std::string> modelCovariances;

  // Analyses that ran and failed, with why; the section says so and the
  // report's warnings list it. A failed analysis may have left a partial
  // result (a fit that faulted, the profiles of the other parameters).
  std::map<Analysis, std::string> failed;
  // Analyses left out, with why ("not run in this session" when absent).
  std::map<Analysis, std::string> notRun;
  // Warnings an analysis raised beyond those its results show.
  std::vector<std::string> notes;

  // Forgets every result that describes the fitted values: the summary,
  // covariances, profiles and checks of the fit (the ranking stays).
  void ForgetFitResults();
};

// The records of the workbench's analyses, made from what the workspace
// holds just after each has run.
FitRecord FitRecordOf(const Workspace& ws, std::string minimizer, const MinimizeResult& result);
// The last evaluation, when it is a likelihood profile with results.
std::optional<ProfileRecord> ProfileRecordOf(const Workspace& ws);
// The covariance record of a run's results; nullopt (and the reason in
// failure) when a fault stops its report.
std::optional<CovarianceRecord> CovarianceRecordOf(const CovarianceResults& results, std::string& failure);
// Keeps the profile, replacing one of the same parameter.
void KeepProfile(SessionResults& results, ProfileRecord profile);
// The summary of the current values with the forecast (without it when the
// forecast faults, said in a note) and its plots; a fault is recorded as
// the summary's failure. The model's best-fit record must describe the
// values (the results summary's first evaluation).
void RecordSummary(SessionResults& results, const Workspace& ws);

}  // namespace kalvex::report
