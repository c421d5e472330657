#pragma once
// The report as a document, before any markup: a header, the warnings of
// the run, and one section per analysis made of paragraphs, tables and
// figures, each table and figure with a caption that says what it shows
// and how to read it. The tables' cells are cut from the analysis files
// (TextCells), so the page shows the files' own numbers.
#include <string>
#include <variant>
#include <vector>

#include "plots/Figure.h"
#include "report/ReportFiles.h"
#include "report/SessionResults.h"
#include "report/TextCells.h"

namespace kalvex::report {

struct Table {
  std::string caption;
  Row head;  // may be empty
  std::vector<Row> rows;
};

struct FigureBlock {
  plots::Figure figure;
  std::string caption;
};

struct Paragraph {
  std::string text;
};

using Block = std::variant<Paragraph, Table, FigureBlock>;

enum class SectionState { Done, Failed, NotRun };

struct Section {
  std::string id;  // the anchor of the table of contents
  std::string title;
  SectionState state = SectionState::Done;
  std::string status;              // why it failed or was not run
  std::vector<std::string> files;  // where its numbers come from
  std::vector<Block> blocks;
};

struct Warning {
  std::string sectionId;
  std::string text;
};

struct ReportDocument {
  std::string title;
  std::vector<Row> header;  // {label, value}
  std::vector<Warning> warnings;
  std::vector<Section> sections;
};

// When and by what the report was made.
struct ReportStamp {
  std::string date;     // "2024-05-01 14:03"
  std::string program;  // "Kalvex 0.1"
};

// The document of the results, whose files (AnalysisFiles) have the given
// contents.
ReportDocument BuildReportDocument(const SessionResults& results, const ReportNames& names,
                                   const std::vector<ReportFile>& files, const ReportStamp& stamp);

// The section builders, one per analysis (ReportSections*.cpp). Each reads
// its file's text and the results; a section whose analysis failed or did
// not run is left with its state and status by the caller.
struct SectionInput {
  const SessionResults& results;
  const ReportNames& names;
  const std::vector<ReportFile>& files;
  std::vector<Warning>& warnings;
  // The content of the file at path ("" when there is none).
  const std::string& File(const std::string& path) const;
};
void FitSection(const SectionInput& in, Section& section);
void SummarySection(const SectionInput& in, Section& section);
void CovarianceSection(const SectionInput& in, Section& section);
void ProfilesSection(const SectionInput& in, Section& section);
void DiagnosticsSection(const SectionInput& in, Section& section);
void JitterSection(const SectionInput& in, Section& section);
void HindcastSection(const SectionInput& in, Section& section);
void RankingSection(const SectionInput& in, Section& section);

// A table of labelled lines: {label, value} rows under the caption.
Table LabelledTable(std::string caption, const std::vector<std::string>& lines);

}  // namespace kalvex::report
