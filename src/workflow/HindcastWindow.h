#pragma once
// The hindcast's window, frmHindcast: the computation (checks/Hindcast.h)
// run on the run context with the main window's interrupt menu shown and
// its "&Application" menu disabled while the peels run, the report shown in
// the window's pane, and the window's save of the report with its picture.
#include <optional>
#include <string>
#include <string_view>

#include "checks/Hindcast.h"
#include "ui/Frontend.h"
#include "ui/Names.h"

namespace kalvex::workflow {

inline constexpr std::string_view kHindcastForm = ui::names::kHindcastForm;
inline constexpr std::string_view kHindcastPane = ui::names::kHindcastPane;

// The window's run: validates, runs the computation through the run
// context (progress and time remaining in the status bars, the "&Interrupt
// calculations" menu and the window's Stop raise InterruptML), then shows
// the report in frmHindcast. A refusal or a fault is shown in a box; an
// interrupt the user confirms ends quietly. nullopt then.
std::optional<checks::HindcastOutcome> RunHindcast(Workspace& ws, ui::Frontend& ui,
                                                   const checks::HindcastSettings& settings);

// "Save hindcast as...": the pane's text (with the saved-as line) and
// beside it the picture (PicturePathBeside), both or neither. The path
// written, or nullopt.
std::optional<std::string> SaveHindcast(ui::Frontend& ui, const plots::Figure& picture,
                                        const checks::PictureEncoder& encode);

}  // namespace kalvex::workflow
