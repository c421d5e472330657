#include "ui/PaneFile.h"

#include "workspace/TextFile.h"

namespace kalvex::ui {

std::string SavedPaneText(const std::string& path, std::string_view paneText) {
  TextBuilder text;
  text.Line("Originally saved with the file name: " + path);
  text.Line();
  for (const std::string& line : SplitLines(paneText)) text.Line(line);
  return text.Text();
}

std::optional<std::string> SavePaneToFile(Frontend& ui, std::string_view form, std::string_view pane,
                                          const FileDialog& dialog, std::string_view what) {
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return std::nullopt;
  const std::string text = SavedPaneText(*path, ui.PaneText(form, pane));
  if (std::optional<std::string> error = SaveTextFile(*path, text)) {
    ui.Message("Save failed", std::string(what) + " could not be saved to " + *path + ": " + *error, style::kCritical);
    return std::nullopt;
  }
  ui.SetPaneText(form, pane, text);
  return path;
}

}  // namespace kalvex::ui
