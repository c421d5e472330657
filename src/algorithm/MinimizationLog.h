#pragma once
// The minimization log's write failures. A log that cannot be written ends
// at once with the "Save failed" box and the system's reason, so a run never
// leaves a silently incomplete log behind.
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

inline constexpr const char* kLogSaveFailedTitle = "Save failed";

// When a write to the open log has failed: closes it, marks it closed
// (LogOpen and FileFrequency 0, as the editor's "Close" leaves them) and
// shows the box. Returns whether it did.
bool EndLogOnWriteError(Workspace& ws, ui::Frontend& ui);

// Closes the log (LogOpen 0); a failure of its last writes ends it as
// above. Returns whether everything since the log was opened was written.
bool CloseMinimizationLog(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
