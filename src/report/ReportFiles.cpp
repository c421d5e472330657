#include "report/ReportFiles.h"

#include "evaluation/EvaluationReport.h"
#include "ranking/RankingText.h"
#include "ui/PaneFile.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::report {
namespace {

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string EndedText(const MinimizeResult& result) { return result.faulted ? "fault" : RunEndName(result.end); }

}  // namespace

ReportNames::ReportNames(std::string reportPath) : report_(std::move(reportPath)) {
  base_ = report_;
  for (std::string_view extension : {".html", ".htm", ".HTML", ".HTM"})
    if (EndsWith(base_, extension) && base_.size() > extension.size()) {
      base_.resize(base_.size() - extension.size());
      break;
    }
}

std::string ReportNames::Model(int m) const { return m == 1 ? base_ + ".alg" : base_ + "_m" + std::to_string(m) + ".alg"; }

std::string ReportNames::ModelCovariance(int m) const {
  return m == 1 ? base_ + ".cov" : base_ + "_m" + std::to_string(m) + ".cov";
}

std::string FitsText(const SessionResults& results, const ReportNames& names) {
  TextBuilder t;
  t.Line("Fits of the report's models");
  t.Line();
  t.Line("This name of the data file is:           " + results.sources.dataFile);
  t.Line();
  t.Line("  Model,   Minimizer,  Derivatives,           Ended,         Objective,  Iterations,  Function calls");
  for (std::size_t m = 0; m < results.fits.size(); ++m) {
    const FitRecord& fit = results.fits[m];
    t.Line(RightJustify(std::to_string(m + 1), 7) + "," + RightJustify(fit.minimizer, 12) + "," +
           RightJustify(fit.analytical ? "analytical" : "numerical", 13) + "," +
           RightJustify(EndedText(fit.result), 16) + "," +
           RightJustify(FormatNumber(fit.result.objective, "0.000000000E+00"), 18) + "," +
           RightJustify(std::to_string(fit.result.iterations), 12) + "," +
           RightJustify(std::to_string(fit.result.functionCalls), 16));
  }
  t.Line();
  for (std::size_t m = 0; m < results.fits.size(); ++m) {
    const std::string model = "Model " + std::to_string(m + 1);
    const FitRecord& fit = results.fits[m];
    t.Line(model + " started from: " + fit.startFile);
    t.Line(model + " fitted values in: " + names.Model(static_cast<int>(m) + 1));
    if (!fit.result.message.empty()) t.Line(model + " message: " + fit.result.message);
  }
  t.Line();
  t.Line("Done!");
  return t.Text();
}

std::string JitterText(const SessionResults& results) {
  const checks::JitterRun& run = *results.jitter;
  return checks::JitterReportText(results.sources, run, checks::GroupStarts(run));
}

std::string HindcastText(const SessionResults& results) {
  const checks::HindcastRun& run = *results.hindcast;
  return checks::HindcastReportText(results.sources, run, checks::ScoreRun(run));
}

std::vector<ReportFile> AnalysisFiles(const SessionResults& results, const ReportNames& names) {
  std::vector<ReportFile> files;
  auto pane = [&](std::string path, std::string_view text, std::string what) {
    std::string content = ui::SavedPaneText(path, text);
    files.push_back({std::move(path), std::move(content), std::move(what)});
  };
  if (!results.fits.empty()) {
    files.push_back({names.Fits(), FitsText(results, names), "The fits"});
    for (std::size_t m = 0; m < results.fits.size(); ++m)
      files.push_back({names.Model(static_cast<int>(m) + 1), results.fits[m].algorithmText,
                       "The fitted algorithm data"});
  }
  if (results.summary) pane(names.Summary(), *results.summary, "The results summary");
  if (results.covariance) pane(names.ModelCovariance(1), results.covariance->text, "The covariances");
  for (const ProfileRecord& profile : results.profiles)
    pane(names.Profile(profile.parameter),
         EvaluationReportText(kMaxLikeReportTitle, profile.table, profile.summary, profile.note),
         "The likelihood profile");
  if (results.diagnostics) pane(names.Diagnostics(), results.diagnostics->report, "The diagnostics");
  if (results.jitter) pane(names.Jitter(), JitterText(results), "The jittered starts");
  if (results.hindcast) pane(names.Hindcast(), HindcastText(results), "The hindcast");
  for (const auto& [model, text] : results.modelCovariances)
    pane(names.ModelCovariance(model), text, "The covariances of a competing model");
  if (results.ranking)
    files.push_back({names.Ranking(),
                     ranking::RankingFileText(results.ranking->table, results.ranking->averaging),
                     "The ranking results"});
  return files;
}

}  // namespace kalvex::report
