#pragma once
// The jittered starts' window, frmJitter: the computation (checks/Jitter.h)
// on a run context in the window (progress, time remaining, its Stop while
// the starts are fitted), the report in its pane with its save enabled once
// there is one, and the save of the report with its picture.
#include <optional>
#include <string>
#include <string_view>

#include "checks/JitterCheck.h"
#include "ui/Frontend.h"
#include "ui/Names.h"

namespace kalvex::workflow {

inline constexpr std::string_view kJitterForm = ui::names::kJitterForm;
inline constexpr std::string_view kJitterPane = ui::names::kJitterPane;

// The run on the workspace's current fit (links normalized, free parameters
// collected) in frmJitter, its report in the pane. nullopt, after a box
// saying why, when there is no table: refused, nothing to do, no analytical
// derivatives, a numeric fault at the current values, or an interrupt
// before the first start was fitted.
std::optional<checks::JitterCheck> RunJitterCheck(Workspace& ws, ui::Frontend& ui,
                                                  const checks::JitterSettings& settings);

// "Save report as...": the pane's report (".jit") and the picture beside it.
std::optional<std::string> SaveJitter(ui::Frontend& ui, const plots::Figure& picture,
                                      const checks::PictureEncoder& encode);

}  // namespace kalvex::workflow
