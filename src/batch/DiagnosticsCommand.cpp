#include <ostream>

#include "batch/Commands.h"
#include "batch/ReportFiles.h"
#include "checks/Diagnostics.h"
#include "workspace/Format.h"

namespace kalvex::batch {
namespace {

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
  if (int refused = RefusePlotWithoutPictures(context)) return refused;
  checks::DiagnosticsOutcome outcome = checks::DiagnoseCurrentFit(context.ws);
  if (!outcome.diagnostics) return BadInput(context, "Residual diagnostics", outcome.refusal);
  const checks::Diagnostics& d = *outcome.diagnostics;
  if (int failed = SaveReportAndPicture(
          context, d.report, [&] { return d.Picture(); }, "The diagnostics"))
    return failed;
  PrintStatistics(context.out, d.stats);
  return 0;
}

}  // namespace kalvex::batch
