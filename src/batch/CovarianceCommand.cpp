#include <cmath>
#include <ostream>

#include "batch/Commands.h"
#include "covariance/CovarianceCalculator.h"
#include "covariance/CovarianceReport.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::batch {
namespace {

std::optional<double> Positive(std::string_view text) {
  std::optional<double> value = ParseNumber(text);
  if (!value || !(*value > 0)) return std::nullopt;
  return value;
}

// "A,B,C": three positive factors.
std::optional<std::array<double, kGridCount + 1>> GridFactors(const std::string& text) {
  std::array<double, kGridCount + 1> factors{};
  std::size_t start = 0;
  for (int g = 1; g <= kGridCount; ++g) {
    std::size_t comma = text.find(',', start);
    if ((g < kGridCount) == (comma == std::string::npos)) return std::nullopt;
    std::optional<double> value = Positive(std::string_view(text).substr(start, comma - start));
    if (!value) return std::nullopt;
    factors[g] = *value;
    start = comma + 1;
  }
  return factors;
}

}  // namespace

// The numerical covariance calculator at the loaded values and steps, with
// the answers the command line gives in place of the questions (the common
// set-up has checked --constant and made it the "Enter constant" answer;
// there is no editor to wait for), then the report saved as the window
// saves it.
int CovarianceBatchCommand(BatchContext& context) {
  const Arguments& args = context.args;
  NumericalCovarianceOptions options;
  if (auto text = args.Option("grid-factors")) {
    auto factors = GridFactors(*text);
    if (!factors) return BadInput(context, "kalvex-batch", "--grid-factors must be three positive numbers A,B,C");
    options.gridFactors = *factors;
  }
  if (args.flags.count("optimistic")) context.ui.Answer(kOptimisticTitle, ui::Answer::Yes);

  Workspace& ws = context.ws;
  if (RunNumericalCovariance(ws, context.ui, options) != CovarianceRunEnd::Completed) return 1;
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
