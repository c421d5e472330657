#pragma once
// Saving a report pane: the file names itself in a first line, then the
// pane's text (as the user may have edited it) follows with CR LF line ends.
#include <optional>
#include <string>
#include <string_view>

#include "ui/Frontend.h"

namespace kalvex::ui {

// "Originally saved with the file name: " + path, an empty line, then the
// pane's lines, each ended by CR LF; the header of an earlier save at the
// top of the pane (and its empty line) is replaced, not repeated.
std::string SavedPaneText(const std::string& path, std::string_view paneText);

// Asks for a file with dialog and writes the pane there (the pane then
// shows what was written). Returns the path, or nullopt when the dialog
// was cancelled or the write failed; a failure is shown in a "Save failed"
// box naming what (for example "The review") and any old file stays whole.
std::optional<std::string> SavePaneToFile(Frontend& ui, std::string_view form, std::string_view pane,
                                          const FileDialog& dialog, std::string_view what);

}  // namespace kalvex::ui
