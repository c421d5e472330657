#pragma once
// The residual diagnostics of the current fit as a computation: one
// evaluation at the current values, the residuals of that evaluation, their
// statistics, report and pictures. One path for the workbench's window
// (workflow/DiagnosticsWindow.h) and kalvex-batch.
#include <optional>
#include <string>

#include "checks/DiagnosticsPlots.h"
#include "checks/DiagnosticsReport.h"
#include "checks/ReportSave.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::checks {

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

}  // namespace kalvex::checks
