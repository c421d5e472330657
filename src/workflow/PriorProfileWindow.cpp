#include "workflow/PriorProfileWindow.h"

#include "ui/Names.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "ui/RunContext.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Results.h"

namespace kalvex {
namespace {

namespace names = ui::names;

constexpr RunDescription kProfileRun{names::kPriorProfileForm, kPriorProfileTitle, "", InterruptFlag::None};

}  // namespace

std::optional<PriorProfile> ProfilePrior(Workspace& ws, ui::Frontend& ui, int selected) {
  std::optional<PriorProfileSettings> settings = AskPriorProfileSettings(ws, ui, selected);
  if (!settings) return std::nullopt;
  const int count = settings->PointCount();
  const int p = settings->parameter;

  RunContext run(ws, ui, kProfileRun);
  std::optional<PriorProfile> profile;
  auto status = [&](int k, double x) {
    run.Activity(1, "Calculating profile point " + FormatNumber(k, "###0") + " of " + FormatNumber(count, "###0") +
                        "," + " Value of parameter # " + std::to_string(p) + " which is being profiled is: " +
                        FormatNumber(x, "0.0000E+00"));
    run.Pump();
  };
  RunOutcome outcome = run.Run([&] { profile = ComputePriorProfile(ws.Priors, *settings, status); },
                               {.describe = [](const NumericFault& fault) {
                                 return "Numeric fault: " + std::string(fault.what());
                               },
                                .restore = {}});
  if (outcome.faulted) return std::nullopt;
  ui.Beep();
  if (ui.distributionViewer)
    ui.distributionViewer({profile->table, profile->summary, p, plots::kPriorTitle});
  run.OpenWindow();
  run.Report(names::kPriorProfilePane, PriorProfileReport(*profile));
  return profile;
}

std::optional<std::string> SavePriorProfile(const Workspace& ws, ui::Frontend& ui) {
  const ui::FileDialog dialog =
      ui::SaveDialogBeside(ws.AlgorithmFileName, "Save Bayesian prior values in...",
                           "All files (*.*)|*.*|Bayesian prior distribution files (*.pdp)|*.pdp", ".pdp");
  return ui::SavePaneToFile(ui, names::kPriorProfileForm, names::kPriorProfilePane, dialog,
                            "The prior distribution data");
}

}  // namespace kalvex
