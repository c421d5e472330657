#include <ostream>

#include "batch/CheckPicture.h"
#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "checks/Diagnostics.h"
#include "ui/PaneFile.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

std::string P(const std::optional<double>& p) { return p ? ShortestText(*p) : "undefined"; }

void PrintStatistics(std::ostream& out, const checks::ResidualStatistics& s) {
  out << "mean " << ShortestText(s.mean) << '\n' << "sd " << ShortestText(s.sd) << '\n';
  if (s.ljungBox) out << "ljung_box " << ShortestText(s.ljungBox->Q) << ' ' << ShortestText(s.ljungBox->P) << '\n';
  if (s.shapiro) out << "shapiro " << ShortestText(s.shapiro->W) << ' ' << ShortestText(s.shapiro->P) << '\n';
  out << "runs " << s.runs.runs << ' ' << ShortestText(s.runs.expected) << ' ' << P(s.runs.P) << '\n';
  out << "three_sigma " << ShortestText(s.threeSigma.sd) << ' ' << ShortestText(s.threeSigma.limit) << ' '
      << s.threeSigma.outside << '\n';
  for (std::size_t k = 0; k < s.acf.size(); ++k) out << "acf " << k + 1 << ' ' << ShortestText(s.acf[k]) << '\n';
}

}  // namespace

// The residual diagnostics at the loaded values: the report written as the
// window saves it and, with --plot, the four pictures as one; both or
// neither. Prints the statistics.
int DiagnosticsCommand(BatchContext& context) {
  if (context.args.Option("plot") && !PlotPicturesBuilt())
    return BadInput(context, kTitle, "this build draws no pictures: --plot needs the build with the Qt workbench");
  checks::DiagnosticsOutcome outcome = checks::DiagnoseCurrentFit(context.ws);
  if (!outcome.diagnostics) return BadInput(context, "Residual diagnostics", outcome.refusal);
  const checks::Diagnostics& d = *outcome.diagnostics;
  const std::string& out = context.args.options.at("out");
  const std::string report = ui::SavedPaneText(out, d.report);
  std::vector<FileContent> files = {{out, report}};
  std::string picture;
  if (auto plot = context.args.Option("plot")) {
    if (std::optional<std::string> error = EncodeCheckPicture(d.Picture(), *plot, picture))
      return BadInput(context, "Save failed", "The picture could not be saved to " + *plot + ": " + *error);
    files.push_back({*plot, picture});
  }
  if (std::optional<SaveFailure> failure = SaveTextFiles(files))
    return BadInput(context, "Save failed",
                    std::string(failure->index == 0 ? "The diagnostics" : "The picture") + " could not be saved to " +
                        files[failure->index].path + ": " + failure->reason);
  PrintStatistics(context.out, d.stats);
  return 0;
}

}  // namespace kalvex::batch
