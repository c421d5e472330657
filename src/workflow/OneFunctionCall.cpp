#include "workflow/OneFunctionCall.h"

#include <chrono>
#include <algorithm>
#include <cmath>
#include <vector>

#include "workflow/PriorReviewWindow.h"
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

std::string CallTimingLine(const CallTiming& timing) {
  struct Unit {
    double seconds;
    const char* name;
  };
  static constexpr Unit kUnits[] = {{1, "seconds"}, {1e-3, "milliseconds"}, {1e-6, "microseconds"}};
  Unit unit{1e-9, "nanoseconds"};
  for (const Unit& candidate : kUnits) {
    if (timing.secondsPerCall >= candidate.seconds) {
      unit = candidate;
      break;
    }
  }
  std::string calls =
      timing.calls == 1 ? "one call" : "mean of " + std::to_string(timing.calls) + " calls";
  return "Note: One function call takes " + FormatNumber(timing.secondsPerCall / unit.seconds, "##0.0") + " " +
         unit.name + " (" + calls + ")";
}

std::string OneFunctionCallText(const AlgorithmData& alg, double objective, double elapsedSeconds,
                                const CallTiming& timing) {
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
  if (timing.calls > 0) text.Line(CallTimingLine(timing));
  return text.Text();
}

namespace {

// The first call's time when it is long enough to mean something; else
// the mean over batches of repeated calls (doubling, so that reading the
// clock costs nothing beside them) that together run for timingSeconds.
CallTiming TimeCalls(Workspace& ws, const std::function<double()>& seconds, double firstCall,
                     double timingSeconds) {
  if (firstCall >= timingSeconds) return {firstCall, 1};
  constexpr int64_t kMostCalls = int64_t{1} << 30;
  std::vector<double> values = ws.Alg.Values;  // links already expanded by the first call
  int64_t calls = 0;
  double start = seconds(), elapsed = 0;
  try {
    for (int64_t batch = 1; elapsed < timingSeconds && calls < kMostCalls; batch *= 2) {
      for (int64_t k = 0; k < batch; ++k) EvaluateObjectiveWithCode(ws, values, 1);
      calls += batch;
      elapsed = std::max(0.0, seconds() - start);
    }
  } catch (const NumericFault&) {  // cannot differ from the first call; the first call's time stands
    return {firstCall, 1};
  }
  return {elapsed / static_cast<double>(calls), calls};
}

}  // namespace

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
  double firstCall = std::max(0.0, seconds() - start);
  result.elapsedSeconds = RoundedElapsed(firstCall);
  result.timing = TimeCalls(ws, seconds, firstCall, options.timingSeconds);
  result.text = OneFunctionCallText(ws.Alg, result.objective, result.elapsedSeconds, result.timing);
  ui.SetPaneText(kOneFunctionForm, kOneFunctionPane, result.text);
  if (ws.PriorsActive == kOn) ReviewPriors(ws, ui);
  ui.SetStatus(5, 1, "");
  return result;
}

}  // namespace kalvex
