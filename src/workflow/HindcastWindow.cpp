#include "workflow/HindcastWindow.h"

#include "ui/RunContext.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::workflow {

using checks::HindcastOutcome;
using checks::HindcastSettings;
using checks::kHindcastTitle;

std::optional<HindcastOutcome> RunHindcast(Workspace& ws, ui::Frontend& ui, const HindcastSettings& settings) {
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  std::optional<checks::HindcastInputs> inputs = checks::HindcastInputsOf(ws);
  if (!inputs) {
    ui.Message(kHindcastTitle, "This model has no forecast to hindcast.", ui::style::kExclamation);
    return std::nullopt;
  }
  auto showRunControls = [&ui](bool running) {
    ui.SetVisible(ui::names::kMainForm, ui::names::kInterruptMLMenuBar, running);
    ui.SetEnabled(ui::names::kMainForm, ui::names::kApplicationMenu, !running);
  };
  HindcastOutcome outcome;
  RunOutcome ran;
  {
    // The run's status panels are emptied before its outcome is shown.
    RunContext run(ws, ui, {kHindcastForm, kHindcastTitle, kHindcastTitle, InterruptFlag::ML});
    run.Interrupt().Clear();
    showRunControls(true);
    ran = run.Run([&] {
      outcome = checks::ComputeHindcast(*inputs, settings, checks::RunContextTick(run, settings.peels, kHindcastTitle));
    });
    showRunControls(false);
    run.Interrupt().Clear();
  }
  if (ran.faulted || outcome.stopped) return std::nullopt;
  if (!outcome.run) {
    ui.Message(kHindcastTitle, outcome.refusal, ui::style::kExclamation);
    return std::nullopt;
  }
  ui.ShowWindow(kHindcastForm);
  ui.SetPaneText(kHindcastForm, kHindcastPane, outcome.report);
  return outcome;
}

std::optional<std::string> SaveHindcast(ui::Frontend& ui, const plots::Figure& picture,
                                        const checks::PictureEncoder& encode) {
  const checks::ReportSave save{
      kHindcastTitle,
      {"Save hindcast in...", "All Files (*.*)|*.*|Hindcasts (*.hnd)|*.hnd", 2, "hindcast.hnd", true},
      kHindcastForm,
      kHindcastPane,
      "The hindcast"};
  return checks::SaveReportAndPicture(ui, save, picture, encode);
}

}  // namespace kalvex::workflow
