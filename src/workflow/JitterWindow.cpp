#include "workflow/JitterWindow.h"

#include "minimize/MarquardtKernel.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"
#include "workspace/Problem.h"
#include "workspace/Workspace.h"

namespace kalvex::workflow {

using namespace checks;

namespace {

namespace style = ui::style;

constexpr RunDescription kJitterRun{kJitterForm, kJitterTitle, kJitterTitle, InterruptFlag::Fits};
constexpr std::string_view kSaveButton = "cmdSaveJitter";

// Progress on the status bars, the events, and the quit question.
bool Tick(RunContext& run, int done, int count) {
  if (done == count || run.StatusDue()) {
    run.StatusShown();
    run.Activity(1, "Jittered starts fitted: " + std::to_string(done) + " of " + std::to_string(count));
    run.Activity(2, "Estimated time remaining (m:s): " + run.TimeRemaining(done, count));
  }
  run.Pump();
  return run.QuitAsked();
}

std::string FaultText(const NumericFault& fault) {
  return "Numeric fault: " + std::string(fault.what()) +
         "\r\n\r\nThe fault occurred at the current parameter values, before "
         "any start was fitted.";
}

}  // namespace

std::optional<JitterCheck> RunJitterCheck(Workspace& ws, ui::Frontend& ui, const JitterSettings& settings) {
  RunContext run(ws, ui, kJitterRun);
  run.Interrupt().Clear();
  run.OpenWindow();
  run.EnableControl(kSaveButton, false);
  run.EnableControl(ui::names::kStopButton, true);
  const std::string how = settings.minimizer == FitMinimizer::Simplex ? "Simplex"
                          : settings.analytical                       ? "Marquardt (analytical derivatives)"
                                                                      : "Marquardt (numerical derivatives)";
  run.Report(kJitterPane, "Fitting " + std::to_string(settings.starts) + " jittered starts by " + how + "...\r\n");
  Problem problem = ProblemOf(ws);
  JitterOutcome outcome;
  const RunOutcome ran = run.Run(
      [&] {
        run.Activity(1, "One moment please...");
        run.Pump(true);
        outcome = ComputeJitter(problem, settings, ws.Alg.Descriptions,
                                [&](int done) { return Tick(run, done, settings.starts); });
      },
      {.describe = FaultText, .restore = {}});
  run.EnableControl(ui::names::kStopButton, false);
  run.ClearActivity();
  // The evaluation of the current values expands the links, as any through the
  // workspace does.
  ws.Alg.Steps = problem.objective.Terms().steps;
  if (ran.faulted) {
    run.Report(kJitterPane, "No start was fitted: the current values gave a numeric fault.\r\n");
    return std::nullopt;
  }
  switch (outcome.end) {
    case JitterEnd::Refused:
      ui.Message(kJitterTitle, outcome.refusal, style::kCritical);
      return std::nullopt;
    case JitterEnd::NothingToDo:
      ui.Message("There is nothing to do!", "All step sizes are zero", style::kExclamation);
      return std::nullopt;
    case JitterEnd::NoDerivatives:
      ui.Message("Analytical derivatives missing", kAnalyticalMissingMessage, style::kInformation);
      return std::nullopt;
    case JitterEnd::Interrupted:
    case JitterEnd::Completed:
      break;
  }
  if (outcome.run.starts.empty()) {
    run.Report(kJitterPane, "Interrupted before the first start was fitted.\r\n");
    return std::nullopt;
  }
  const ReportSources sources{ws.DataFileName, ws.AlgorithmFileName, ws.PriorsFileName};
  std::string report = JitterReportText(sources, outcome.run, outcome.minima);
  run.Report(kJitterPane, report);
  run.EnableControl(kSaveButton, true);
  return JitterCheck{std::move(outcome.run), std::move(outcome.minima), std::move(report)};
}

std::optional<std::string> SaveJitter(ui::Frontend& ui, const plots::Figure& picture, const PictureEncoder& encode) {
  const ReportSave save{
      kJitterTitle,
      {"Save the jittered starts in...", "All Files (*.*)|*.*|Jittered starts (*.jit)|*.jit", 2, "jitter.jit", true},
      kJitterForm,
      kJitterPane,
      "The report"};
  return SaveReportAndPicture(ui, save, picture, encode);
}

}  // namespace kalvex::workflow
