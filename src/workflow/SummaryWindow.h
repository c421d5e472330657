#pragma once
// The results summary's window, frmSummary (pane rtbOut): the report of
// the computation (model/Summary.h) shown in the pane, "View plots?", the
// forecast question and the forecast, and the window's save command.
#include <optional>
#include <string>
#include <string_view>

#include "ui/Frontend.h"
#include "ui/Names.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::workflow {

inline constexpr std::string_view kSummaryForm = ui::names::kSummaryForm;
inline constexpr std::string_view kSummaryPane = ui::names::kSummaryPane;

enum class SummaryOutcome {
  Completed,        // with the forecast, ended by "Output Summary"
  WithoutForecast,  // the forecast was declined
  Fault,            // a fault ended the forecast; its message was shown
  NotOffered,       // the workspace's model has no results summary, or its inputs
                    // were refused (shown)
};

// The interactive summary of the workspace's model: report, "View plots?",
// forecast question, forecast. The pane never shows a half-built text: a
// floating-point fault in the report leaves the window unshown and is
// thrown on (NumericFault) for the caller to report; one in the forecast is
// reported here and the report stays.
SummaryOutcome RunResultsSummary(Workspace& ws, ui::Frontend& ui);

// cmdSaveSummary: the "Save summary in..." dialog, the header line in front
// of the pane text, then an atomic write. Returns the path written, or
// nullopt when cancelled or failed (a failure is reported and the pane and
// any old file stay as they were).
std::optional<std::string> SaveSummary(ui::Frontend& ui);

}  // namespace kalvex::workflow
