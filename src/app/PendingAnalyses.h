#pragma once
// Stand-ins for the parts of the workbench that are not in this build yet.
// Each analysis that has no window of its own here answers with an
// information box; replace a stand-in by setting the real hook in
// InstallPendingAnalyses (or after it) and removing the stand-in.
#include <memory>
#include <string_view>

#include "workspace/Model.h"

namespace kalvex::app {

class Workbench;

// Fills the main-menu hooks that have no implementation yet.
void InstallPendingAnalyses(Workbench& workbench);

// The built-in model (the Oskane model).
std::unique_ptr<Model> MakeWorkbenchModel();

// The information box of a command that is not in this build.
void ReportNotAvailable(Workbench& workbench, std::string_view caption);

}  // namespace kalvex::app
