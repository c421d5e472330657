#include "ui/PaneFile.h"

#include "workspace/TextFile.h"

namespace kalvex::ui {

namespace {

constexpr std::string_view kSavedHeader = "Originally saved with the file name: ";

}  // namespace

std::string SavedPaneText(const std::string& path, std::string_view paneText) {
  TextBuilder text;
  text.Line(std::string(kSavedHeader) + path);
  text.Line();
  std::vector<std::string> lines = SplitLines(paneText);
  // A pane saved before shows the header of that save: this one replaces it.
  std::size_t first = 0;
  if (lines.size() >= 2 && lines[0].starts_with(kSavedHeader) && lines[1].empty()) first = 2;
  for (std::size_t i = first; i < lines.size(); ++i) text.Line(lines[i]);
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
