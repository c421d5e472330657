#pragma once
// The residual diagnostics' window, frmDiagnostics: the computation
// (checks/Diagnostics.h) run from the results summary, its report shown in
// the window's pane, and the window's save of the report with its picture.
#include <optional>
#include <string>
#include <string_view>

#include "checks/Diagnostics.h"
#include "ui/Frontend.h"
#include "ui/Names.h"

namespace kalvex::workflow {

inline constexpr std::string_view kDiagnosticsForm = ui::names::kDiagnosticsForm;
inline constexpr std::string_view kDiagnosticsPane = ui::names::kDiagnosticsPane;

// The window's command: the diagnostics in frmDiagnostics, or the refusal
// or the fault in a message box (nullopt then).
std::optional<checks::Diagnostics> RunDiagnostics(Workspace& ws, ui::Frontend& ui);

// "Save diagnostics as...": asks for the report's file, then writes the
// pane's text (with the saved-as line) and the picture beside it, both or
// neither; an existing picture is replaced only when the user agrees. The
// path written, or nullopt (cancelled, or the failure was shown).
std::optional<std::string> SaveDiagnostics(ui::Frontend& ui, const plots::Figure& picture,
                                           const checks::PictureEncoder& encode);

}  // namespace kalvex::workflow
