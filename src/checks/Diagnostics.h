#pragma once
// The residual diagnostics of the current fit as a command: one evaluation
// at the current values, the residuals of that evaluation, their statistics,
// report and pictures; the window (frmDiagnostics, pane rtbDiagnostics) and
// its save. One path for the workbench and kalvex-batch.
#include <optional>
#include <string>

#include "checks/DiagnosticsPlots.h"
#include "checks/DiagnosticsReport.h"
#include "checks/ReportSave.h"
#include "ui/Frontend.h"
#include "ui/Names.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::checks {

inline constexpr std::string_view kDiagnosticsForm = ui::names::kDiagnosticsForm;
inline constexpr std::string_view kDiagnosticsPane = ui::names::kDiagnosticsPane;
inline constexpr int kMinimumResiduals = 3;  // Shapiro-Wilk's least sample

struct Diagnostics {
  ResidualSeries series;
  ResidualStatistics stats;
  std::string report;
  plots::Figure Picture() const { return DiagnosticsPicture(series, stats); }
};

struct DiagnosticsOutcome {
  std::optional<Diagnostics> diagnostics;
  std::string refusal;  // why there are none
};

// Evaluates the model once at the current values with NF = 1 (the best-fit
// record then describes them, as for the results summary; the workspace's
// values are not changed) and diagnoses the residuals of that evaluation.
// Refused for a model without innovations to read and for fewer than
// kMinimumResiduals residuals. Throws NumericFault.
DiagnosticsOutcome DiagnoseCurrentFit(Workspace& ws);

// The window's command: the diagnostics in frmDiagnostics, or the refusal
// or the fault in a message box (nullopt then).
std::optional<Diagnostics> RunDiagnostics(Workspace& ws, ui::Frontend& ui);

// "Save diagnostics as...": asks for the report's file, then writes the
// pane's text (with the saved-as line) and the picture beside it, both or
// neither; an existing picture is replaced only when the user agrees. The
// path written, or nullopt (cancelled, or the failure was shown).
std::optional<std::string> SaveDiagnostics(ui::Frontend& ui, const plots::Figure& picture,
                                           const PictureEncoder& encode);

}  // namespace kalvex::checks
