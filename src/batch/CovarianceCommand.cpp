#include <cmath>
#include <ostream>

#include "batch/Commands.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::batch {

// The covariance calculator at the loaded values and steps with the
// settings the command line gives in place of the questions (the common
// set-up has checked --constant; there is no editor to wait for), then the
// report saved as the window saves it. --analytical is the "Yes" to the
// method question: one exact Hessian, no grid factors.
int CovarianceBatchCommand(BatchContext& context) {
  const Arguments& args = context.args;
  Workspace& ws = context.ws;
  const bool analytical = args.flags.count("analytical") > 0;
  if (analytical && args.Option("grid-factors"))
    return BadInput(context, "kalvex-batch", "--grid-factors are for numerical grids: --analytical takes none");
  std::optional<CovarianceSettings> settings = CovarianceSettingsOf(context);
  if (!settings) return 1;
  if (analytical) {
    settings->method = CovarianceMethod::Analytical;
    settings->gridFactors = {0, 0, 0, 0};
  }
  settings->optimisticSEs = args.flags.count("optimistic") > 0;
  if (RunCovariance(ws, context.ui, *settings) != CovarianceRunEnd::Completed) return 1;
  const CovarianceResults& results = ws.Covariance.Results;
  for (int g = 1; g <= kGridCount; ++g)
    if (int parameter = results.Outcome[g].notPositiveDefiniteAt) {
      std::string reason = NotPositiveDefiniteText(parameter);
      reason.erase(reason.find_last_not_of("\r\n") + 1);
      context.ui.Message(kCovarianceRunTitle, "Grid #" + std::to_string(g) + ": " + reason, ui::style::kExclamation);
    }

  const std::string& out = args.options.at("out");
  std::string text = "Originally saved with the file name: " + out + "\r\n\r\n" + CovarianceReportText(results);
  if (std::optional<std::string> error = SaveTextFile(out, text))
    return BadInput(context, "Save failed", "The covariance results could not be saved to " + out + ": " + *error);
  for (int g = 1; g <= kGridCount; ++g) {
    const bool abandoned = results.Outcome[g].abandoned;
    double mean = abandoned ? kNoResult : results.GridMean[g] / results.ObjectiveScale;
    double sd = abandoned ? kNoResult : results.GridSD[g] / results.ObjectiveScale;
    context.out << "grid " << g << " mean " << ShortestText(mean) << " sd " << ShortestText(sd) << " det "
                << ShortestText(results.CovarianceGrids[g](0, 0)) << '\n';
  }
  return 0;
}

}  // namespace kalvex::batch
