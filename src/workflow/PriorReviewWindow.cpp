#include "workflow/PriorReviewWindow.h"

#include "ui/Names.h"
#include "ui/PaneFile.h"
#include "ui/ProposedName.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

namespace names = ui::names;

constexpr RunDescription kReviewRun{"", "Review priors ", "", InterruptFlag::None};

}  // namespace

std::optional<std::string> ReviewPriors(Workspace& ws, ui::Frontend& ui) {
  std::string text;
  RunContext run(ws, ui, kReviewRun);
  RunOutcome outcome = run.Run([&] { text = PriorReviewText(ReviewOfWorkspace(ws)); },
                               {.describe = [](const NumericFault& fault) {
                                  return "Numeric fault: " + std::string(fault.what());
                                },
                                .restore = {}});
  if (outcome.faulted) return "Numeric fault: " + outcome.fault;
  ui.ShowWindow(names::kReviewPriorsForm);
  ui.SetPaneText(names::kReviewPriorsForm, names::kReviewPriorsPane, text);
  return std::nullopt;
}

std::optional<std::string> SavePriorReview(const Workspace& ws, ui::Frontend& ui) {
  const ui::FileDialog dialog = ui::SaveDialogBeside(ws.AlgorithmFileName, "Save review in...",
                                                     "All files (*.*)|*.*|Review priors files (*.rvp)|*.rvp", ".rvp");
  return ui::SavePaneToFile(ui, names::kReviewPriorsForm, names::kReviewPriorsPane, dialog, "The review");
}

}  // namespace kalvex
