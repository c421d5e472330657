#include "workflow/OneFunctionCall.h"

#include <chrono>
#include <cmath>

#include "priors/PriorReview.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The link code right-aligned in a column of exactly three characters, as
// in the minimizers' and the covariance reports.
std::string LinkColumn(const std::string& code) { return RightJustify(code, 3); }

}  // namespace

double RoundedElapsed(double seconds) { return std::floor(seconds * 100 + 0.5) / 100; }

std::string OneFunctionCallText(const AlgorithmData& alg, double objective, double elapsedSeconds) {
  TextBuilder text;
  text.Line();
  text.Line("Current minimum of " + FormatNumber(objective, "####0.#####") +
            " found at the following parameter values: ");
  text.Line();
  for (int i = 1; i <= alg.NumParameters; ++i) {
    std::string link = i < static_cast<int>(alg.Links.size()) ? alg.Links[i] : kUnlinked;
    std::string description = i < static_cast<int>(alg.Descriptions.size()) ? alg.Descriptions[i] : "";
    text.Line(FormatNumber(i, "    000) ") + RightJustify(FormatNumber(alg.Values[i], "0.0000000E+00"), 14) +
              " " + LinkColumn(link) + "  " + description);
  }
  text.Line();
  text.Line("Note: One function call requires about " + GeneralNumber(elapsedSeconds) + " seconds");
  return text.Text();
}

OneFunctionCallResult OneFunctionCallReport(Workspace& ws, ui::Frontend& ui,
                                            const OneFunctionCallOptions& options) {
  auto seconds = options.seconds ? options.seconds : SteadySeconds;
  OneFunctionCallResult result;
  ui.ShowWindow(kOneFunctionForm);
  ui.SetStatus(5, 1, "One moment please...");
  ui.PumpEvents(true);
  double start = seconds();
  try {
    result.objective = EvaluateObjectiveWithCode(ws, ws.Alg.Values, 1);
    result.evaluated = true;
  } catch (const NumericFault& fault) {
    ui.SetStatus(5, 1, "");
    ui.Message("Kalvex", fault.what(), ui::style::kCritical);
    return result;
  }
  // A clock that steps back (never on a steady clock) must not show a negative time.
  result.elapsedSeconds = RoundedElapsed(std::max(0.0, seconds() - start));
  result.text = OneFunctionCallText(ws.Alg, result.objective, result.elapsedSeconds);
  ui.SetPaneText(kOneFunctionForm, kOneFunctionPane, result.text);
  if (ws.PriorsActive == kOn) ReviewPriors(ws, ui);
  ui.SetStatus(5, 1, "");
  return result;
}

}  // namespace kalvex
