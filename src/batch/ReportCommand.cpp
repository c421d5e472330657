#include <ostream>

#include "algorithm/AlgorithmCommands.h"
#include "batch/Commands.h"
#include "batch/Help.h"
#include "batch/PlotPicture.h"
#include "report/ReportWriter.h"
#include "workflow/ReportRun.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";
// The constant that makes the Oskane objective, -2 ln L, the -ln[L].
constexpr double kMinusTwoLnLConstant = 0.5;

const char* StateName(report::SectionState state) {
  switch (state) {
    case report::SectionState::Done: return "done";
    case report::SectionState::Failed: return "failed";
    case report::SectionState::NotRun: return "not_run";
  }
  return "done";
}

// The count an option gives within 0..high, or its default.
std::optional<int> CountOption(BatchContext& context, const char* name, int fallback, int high) {
  auto text = context.args.Option(name);
  if (!text) return fallback;
  std::optional<int> count = WholeNumberIn(*text, 0, high);
  if (!count)
    BadInput(context, kTitle, std::string("--") + name + " must be a whole number from 0 to " + std::to_string(high));
  return count;
}

}  // namespace

// Every analysis of the first model, the ranking of all, and the report
// with the files of the analyses beside it, saved as one. An analysis that
// fails is in the report as failed; the command fails only when the report
// cannot be written. Prints one line per section and per file written.
int ReportCommand(BatchContext& context) {
  const Arguments& args = context.args;
  Workspace& ws = context.ws;
  report::ReportOptions options;
  options.algorithmFiles = args.repeated.at("alg");
  options.analytical = args.flags.count("analytical") > 0;
  std::optional<int> starts = CountOption(context, "jitter", options.jitterStarts, 10000);
  std::optional<int> peels = CountOption(context, "peels", options.peels, 1000);
  std::optional<int> points = CountOption(context, "points", options.profilePoints, 1001);
  if (!starts || !peels || !points) return 1;
  options.jitterStarts = *starts;
  options.peels = *peels;
  options.profilePoints = *points;
  std::optional<CovarianceSettings> covariance = CovarianceSettingsOf(context);
  if (!covariance) return 1;
  options.gridFactors = covariance->gridFactors;
  if (std::optional<std::string> problem = options.Validate()) return BadInput(context, kTitle, *problem);
  if (ws.ObjectiveScale == 0) ws.ObjectiveScale = 1 / kMinusTwoLnLConstant;
  // The common set-up loaded the last --alg; the report is about the first.
  if (options.algorithmFiles.size() > 1) {
    AlgorithmReadResult read = LoadAlgorithmFile(ws, context.ui, options.algorithmFiles.front());
    if (read.status == AlgorithmReadStatus::OpenFailed)
      return BadInput(context, "Problem Reading Algorithm File!",
                      "The algorithm file " + options.algorithmFiles.front() + " cannot be read");
    if (read.status != AlgorithmReadStatus::Read) return 1;
  }

  const report::ReportNames names(args.options.at("out"));
  const report::SessionResults results = report::RunReportAnalyses(ws, context.ui, options, names);
  const report::ReportStamp stamp{report::ReportDate(context.ui), std::string("Kalvex ") + Version()};
  const report::MadeReport made = report::MakeReport(
      results, names, stamp,
      [](const plots::Figure& figure, std::string& svg) { return EncodePicture(figure, "figure.svg", svg); });
  std::vector<std::string> inputs = options.algorithmFiles;
  inputs.push_back(ws.DataFileName);
  if (ws.PriorsActive == kOn) inputs.push_back(ws.PriorsFileName);
  if (std::optional<std::string> error = report::SaveReportFiles(made.files, inputs))
    return BadInput(context, "Save failed", *error);

  for (const report::Section& section : made.document.sections)
    context.out << "section " << section.id << ' ' << StateName(section.state) << '\n';
  context.out << "warnings " << made.document.warnings.size() << '\n';
  for (const report::Warning& warning : made.document.warnings)
    context.ui.Message("Report warning", warning.text, ui::style::kExclamation);
  for (const report::ReportFile& file : made.files) context.out << "file " << file.path << '\n';
  return 0;
}

}  // namespace kalvex::batch
