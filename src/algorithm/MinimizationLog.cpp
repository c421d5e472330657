#include "algorithm/MinimizationLog.h"

namespace kalvex {
namespace {

// The log is closed; a failure also stops the minimizers asking for it.
void MarkClosed(Workspace& ws, ui::Frontend& ui) {
  ws.LogOpen = 0;
  if (!ws.Log.Error()) return;
  ws.Alg.FileFrequency = 0;
  ui.Message(kLogSaveFailedTitle,
             "The minimization log could not be written to " + ws.Log.Path() + ": " + *ws.Log.Error(),
             ui::style::kCritical);
}

}  // namespace

bool EndLogOnWriteError(Workspace& ws, ui::Frontend& ui) {
  if (!ws.Log.IsOpen() || !ws.Log.Error()) return false;
  ws.Log.Close();
  MarkClosed(ws, ui);
  return true;
}

bool CloseMinimizationLog(Workspace& ws, ui::Frontend& ui) {
  if (ws.Log.IsOpen()) {
    ws.Log.Close();
    MarkClosed(ws, ui);
  }
  ws.LogOpen = 0;
  return !ws.Log.Error();
}

}  // namespace kalvex
