#pragma once
// The analyses of a report run one after the other on one workspace, each
// a computation on the problem of the fit, filling the results the report
// is written from: the fit of every model (Marquardt from its file's
// values), the results summary with the forecast, the covariances, a
// likelihood profile of every free parameter, the residual diagnostics, the
// jittered starts, the hindcast and, with several models, their ranking
// and averaging. One analysis failing does not stop the others: its failure
// is recorded and the report says so. The long steps use every thread they
// are given; the run tells the front end its progress as one count.
#include <array>
#include <string>
#include <vector>

#include "covariance/CovarianceComputation.h"
#include "report/ReportFiles.h"
#include "report/SessionResults.h"

namespace kalvex {
struct Workspace;
namespace ui {
class Frontend;
}
}  // namespace kalvex

namespace kalvex::report {

struct ReportOptions {
  // The models: the first is loaded in the workspace already, the others
  // are read in turn for the ranking.
  std::vector<std::string> algorithmFiles;
  bool analytical = false;  // exact derivatives for the fits, the profiles and the covariances
  std::array<double, kGridCount + 1> gridFactors = kDefaultGridFactors;
  int profilePoints = 25;
  int jitterStarts = 50;  // 0: no jittered starts
  int peels = 5;          // 0: no hindcast
  // A message when the options cannot drive a report.
  std::optional<std::string> Validate() const;
};

// Runs every analysis on ws: the model initialized, the first algorithm
// file loaded, the constant (ObjectiveScale) and any priors set, the
// threads in ws.WorkerThreads. ws ends at the last model's fitted values.
SessionResults RunReportAnalyses(Workspace& ws, ui::Frontend& ui, const ReportOptions& options,
                                 const ReportNames& names);

}  // namespace kalvex::report
