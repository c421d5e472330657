#pragma once
// "Save report...": the report of what the session has computed, written
// as kalvex-batch report writes its own (the page and the analyses' files
// beside it, saved as one); each analysis not yet run is left out and
// listed as such.
#include <optional>
#include <string>

#include "report/HtmlReport.h"
#include "report/SessionResults.h"

namespace kalvex {
struct Workspace;
namespace ui {
class Frontend;
}

inline constexpr const char* kSaveReportTitle = "Save report";

// Asks where, then writes. The report's path, or nullopt when the dialog
// was cancelled, there was nothing to report, or the save failed (said in
// a box; every old file stays as it was).
std::optional<std::string> SaveSessionReport(const Workspace& ws, ui::Frontend& ui, report::SessionResults session,
                                             const report::SvgEncoder& encode, const std::string& program);

}  // namespace kalvex
