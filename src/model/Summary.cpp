#include "model/Summary.h"

#include "model/OskaneModel.h"
#include "model/SummaryPlots.h"
#include "model/SummaryReport.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex::model {
namespace {

// One step of the summary, checked on its own: a fault (its name stays the
// message's first line) says which step it arose in.
template <typename Step>
auto Computing(const char* what, Step step) {
  try {
    FloatingPointGuard guard;
    auto result = step();
    guard.Check();
    return result;
  } catch (const NumericFault& fault) {
    throw NumericFault(std::string(fault.what()) + "\r\nThe fault arose while computing " + what + ".");
  }
}

}  // namespace

SummaryNumbers ComputeSummary(const SummaryInputs& in, bool withForecast) {
  SummaryNumbers numbers;
  numbers.stats = Computing("the fit statistics of the results summary", [&] { return ComputeFitStatistics(in); });
  numbers.variance = Computing("the regression variance and predicted index of the results summary",
                               [&] { return ComputeRegressionVariance(in, numbers.stats.Theta2); });
  if (withForecast) AddForecast(in, numbers);
  return numbers;
}

void AddForecast(const SummaryInputs& in, SummaryNumbers& numbers) {
  numbers.forecast = Computing("the forecast for time period f",
                               [&] { return ComputeForecast(in, numbers.variance, numbers.stats.Theta2); });
  numbers.grid = Computing("the forecast's probability grid",
                           [&] { return ComputeProbabilityGrid(*numbers.forecast, in.data.Pi); });
}

SummaryInputs SummaryInputsOf(const OskaneModel& model, const Workspace& ws) {
  return SummaryInputs{model.Data(),        model.Best(),       model.LastEvaluation(), model.Layout(),
                       model.Descriptions(), ws.Alg.Steps,      ws.AlgorithmFileName,   ws.PriorsFileName};
}

std::optional<SummaryInputs> SummaryInputsOf(const Workspace& ws) {
  const auto* model = dynamic_cast<const OskaneModel*>(ws.model.get());
  if (!model) return std::nullopt;
  return SummaryInputsOf(*model, ws);
}

std::optional<std::string> SummarySettings::Validate(const SummaryInputs& in) const {
  const std::size_t parameters = static_cast<std::size_t>(in.layout.Count()) + 1;
  if (in.steps.size() < parameters || in.descriptions.size() < parameters)
    return "The step sizes or descriptions do not cover the model's " + std::to_string(in.layout.Count()) +
           " parameters.";
  return std::nullopt;
}

SummaryResult ComputeResultsSummary(const SummaryInputs& in, const SummarySettings& settings) {
  if (std::optional<std::string> invalid = settings.Validate(in)) throw std::invalid_argument(*invalid);
  SummaryResult result;
  result.numbers = ComputeSummary(in, false);  // the text below only formats what was checked
  result.report = SummaryReportText(in, result.numbers.stats, result.numbers.variance);
  if (settings.plotData)
    result.plotData = SummaryPlotData(in.data, in.best, result.numbers.variance.predictedIndex,
                                      result.numbers.variance.residualIndex);
  if (settings.forecast) AddForecast(in, result);
  return result;
}

void AddForecast(const SummaryInputs& in, SummaryResult& result) {
  AddForecast(in, result.numbers);
  result.forecast = ForecastReportText(in, *result.numbers.forecast, *result.numbers.grid) + ReportEndText();
}

}  // namespace kalvex::model
