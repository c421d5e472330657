#pragma once
// The files of a report: the HTML page and, beside it under its name, the
// file each analysis writes on its own (the fitted algorithm data, the
// results summary, the covariances, a profile per parameter, the checks,
// the ranking), so that every number of the page can be found in a file.
//
//   REPORT.html           the report
//   REPORT_fit.txt        how each model's fit ended
//   REPORT.alg            the first model's fitted algorithm data
//   REPORT_summary.kvo    its results summary with the forecast
//   REPORT.cov            its covariances
//   REPORT_pP.mlc         the likelihood profile of parameter P
//   REPORT.rsd            the residual diagnostics
//   REPORT.jit            the jittered starts
//   REPORT.hnd            the hindcast
//   REPORT_mM.alg/.cov    competing model M (2, 3, ...) fitted, its covariances
//   REPORT.mms            the ranking and averaging of the models
#include <string>
#include <vector>

#include "report/SessionResults.h"

namespace kalvex::report {

class ReportNames {
 public:
  // The report's path; its name less ".html" (or ".htm") names the others.
  explicit ReportNames(std::string reportPath);

  const std::string& Report() const { return report_; }
  std::string Fits() const { return base_ + "_fit.txt"; }
  // Model m's fitted algorithm data and covariances (m = 1: the report's model).
  std::string Model(int m) const;
  std::string ModelCovariance(int m) const;
  std::string Summary() const { return base_ + "_summary.kvo"; }
  std::string Profile(int parameter) const { return base_ + "_p" + std::to_string(parameter) + ".mlc"; }
  std::string Diagnostics() const { return base_ + ".rsd"; }
  std::string Jitter() const { return base_ + ".jit"; }
  std::string Hindcast() const { return base_ + ".hnd"; }
  std::string Ranking() const { return base_ + ".mms"; }

 private:
  std::string report_, base_;
};

struct ReportFile {
  std::string path;
  std::string content;
  std::string what;  // names it in a failed save: "The covariances"
};

// The analyses' files for the results present, each as its own save writes
// it (a report pane with the "Originally saved with the file name" line).
std::vector<ReportFile> AnalysisFiles(const SessionResults& results, const ReportNames& names);

// The text of REPORT_fit.txt: one row per model fitted.
std::string FitsText(const SessionResults& results, const ReportNames& names);

// The texts of the jitter and hindcast files (the report pane's text).
std::string JitterText(const SessionResults& results);
std::string HindcastText(const SessionResults& results);

}  // namespace kalvex::report
