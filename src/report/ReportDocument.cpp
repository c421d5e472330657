#include "report/ReportDocument.h"

#include <algorithm>

namespace kalvex::report {
namespace {

struct SectionKind {
  Analysis analysis;
  const char* id;
  const char* title;
  void (*build)(const SectionInput&, Section&);
  bool (*present)(const SessionResults&);
};

constexpr SectionKind kSections[] = {
    {Analysis::Fit, "fit", "The fit", FitSection, [](const SessionResults& r) { return !r.fits.empty(); }},
    {Analysis::Summary, "summary", "Results summary and forecast", SummarySection,
     [](const SessionResults& r) { return r.summary.has_value(); }},
    {Analysis::Covariance, "covariance", "Covariances and standard errors", CovarianceSection,
     [](const SessionResults& r) { return r.covariance.has_value(); }},
    {Analysis::Profiles, "profiles", "Likelihood profiles", ProfilesSection,
     [](const SessionResults& r) { return !r.profiles.empty(); }},
    {Analysis::Diagnostics, "diagnostics", "Residual diagnostics", DiagnosticsSection,
     [](const SessionResults& r) { return r.diagnostics.has_value(); }},
    {Analysis::Jitter, "jitter", "Jittered starts", JitterSection,
     [](const SessionResults& r) { return r.jitter.has_value(); }},
    {Analysis::Hindcast, "hindcast", "Hindcast", HindcastSection,
     [](const SessionResults& r) { return r.hindcast.has_value(); }},
    {Analysis::Ranking, "ranking", "Ranking and averaging of the models", RankingSection,
     [](const SessionResults& r) { return r.ranking.has_value(); }},
};

// The files the section's analysis wrote, by the order they were written.
std::vector<std::string> FilesOf(Analysis analysis, const SessionResults& results, const ReportNames& names,
                                 const std::vector<ReportFile>& files) {
  std::vector<std::string> wanted;
  switch (analysis) {
    case Analysis::Fit:
      wanted.push_back(names.Fits());
      for (std::size_t m = 1; m <= results.fits.size(); ++m) wanted.push_back(names.Model(static_cast<int>(m)));
      break;
    case Analysis::Summary: wanted = {names.Summary()}; break;
    case Analysis::Covariance: wanted = {names.ModelCovariance(1)}; break;
    case Analysis::Profiles:
      for (const ProfileRecord& p : results.profiles) wanted.push_back(names.Profile(p.parameter));
      break;
    case Analysis::Diagnostics: wanted = {names.Diagnostics()}; break;
    case Analysis::Jitter: wanted = {names.Jitter()}; break;
    case Analysis::Hindcast: wanted = {names.Hindcast()}; break;
    case Analysis::Ranking:
      wanted.push_back(names.Ranking());
      for (const auto& [model, text] : results.modelCovariances) wanted.push_back(names.ModelCovariance(model));
      break;
  }
  std::vector<std::string> written;
  for (const std::string& path : wanted)
    for (const ReportFile& file : files)
      if (file.path == path) written.push_back(path);
  return written;
}

}  // namespace

const std::string& SectionInput::File(const std::string& path) const {
  static const std::string none;
  for (const ReportFile& file : files)
    if (file.path == path) return file.content;
  return none;
}

Table LabelledTable(std::string caption, const std::vector<std::string>& lines) {
  Table table{std::move(caption), {}, {}};
  std::size_t width = 2;
  for (const std::string& line : lines) {
    Row labelled = Labelled(line);
    if (labelled.empty()) {
      table.rows.push_back({Trim(line), ""});
      continue;
    }
    // "SD, then variance: 5.0125E-02, 2.5125E-03" and "Q: 18.12866,  p = 0.0528": a cell for each part.
    Row row = {labelled[0]};
    for (std::size_t start = 0;;) {
      const std::size_t comma = labelled[1].find(',', start);
      row.push_back(Trim(std::string_view(labelled[1]).substr(start, comma - start)));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    width = std::max(width, row.size());
    table.rows.push_back(std::move(row));
  }
  for (Row& row : table.rows) row.resize(width);
  return table;
}

ReportDocument BuildReportDocument(const SessionResults& results, const ReportNames& names,
                                   const std::vector<ReportFile>& files, const ReportStamp& stamp) {
  ReportDocument document;
  const checks::ReportSources& sources = results.sources;
  const std::size_t slash = sources.dataFile.find_last_of("/\\");
  document.title = "Kalvex report: " + (slash == std::string::npos ? sources.dataFile : sources.dataFile.substr(slash + 1));
  document.header.push_back({"Data file", sources.dataFile});
  document.header.push_back({"Algorithm file", sources.algorithmFile});
  if (!results.fits.empty()) document.header.push_back({"Fitted from", results.fits.front().startFile});
  if (!sources.priorsFile.empty()) document.header.push_back({"Priors file", sources.priorsFile});
  document.header.push_back({"Made", stamp.date});
  document.header.push_back({"Program", stamp.program});
  document.header.push_back({"Report", names.Report()});

  const SectionInput input{results, names, files, document.warnings};
  for (const SectionKind& kind : kSections) {
    Section section;
    section.id = kind.id;
    section.title = kind.title;
    section.files = FilesOf(kind.analysis, results, names, files);
    const bool present = kind.present(results);
    if (auto failure = results.failed.find(kind.analysis); failure != results.failed.end()) {
      section.state = SectionState::Failed;
      section.status = failure->second;
      document.warnings.push_back({section.id, section.title + " failed: " + failure->second});
    } else if (!present) {
      section.state = SectionState::NotRun;
      auto reason = results.notRun.find(kind.analysis);
      section.status = reason != results.notRun.end() ? reason->second : "Not run in this session.";
    }
    if (present) kind.build(input, section);
    document.sections.push_back(std::move(section));
  }
  for (const std::string& note : results.notes) document.warnings.push_back({"", note});
  return document;
}

}  // namespace kalvex::report
