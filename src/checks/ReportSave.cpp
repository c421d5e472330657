#include "checks/ReportSave.h"

#include <filesystem>
#include <vector>

#include "ui/PaneFile.h"
#include "workspace/RunFiles.h"

namespace kalvex::checks {

std::string PicturePathBeside(const std::string& reportPath) {
  std::filesystem::path picture(reportPath);
  picture.replace_extension(".png");
  return picture.string() == reportPath ? reportPath + ".png" : picture.string();
}

std::optional<std::string> SavePaneWithPicture(ui::Frontend& ui, const PaneWithPicture& save,
                                               const plots::Figure& picture, const PictureEncoder& encode) {
  std::optional<std::string> path = ui.SaveFile(save.dialog);
  if (!path) return std::nullopt;
  const std::string picturePath = PicturePathBeside(*path);
  std::error_code error;
  if (std::filesystem::exists(picturePath, error) &&
      ui.Message(save.title, "The picture " + picturePath + " exists already. Do you want to replace it?",
                 ui::style::kYesNo + ui::style::kQuestion + ui::style::kSecondDefault) != ui::Answer::Yes)
    return std::nullopt;
  std::string bytes;
  if (std::optional<std::string> reason = encode(picture, picturePath, bytes)) {
    ui.Message("Save failed", "The picture could not be saved to " + picturePath + ": " + *reason,
               ui::style::kCritical);
    return std::nullopt;
  }
  const std::string text = ui::SavedPaneText(*path, ui.PaneText(save.form, save.pane));
  RunFiles files;
  files.Add(*path, text, save.what);
  files.Add(picturePath, std::move(bytes), "The picture");
  if (std::optional<std::string> failure = files.Save()) {
    ui.Message("Save failed", *failure, ui::style::kCritical);
    return std::nullopt;
  }
  ui.SetPaneText(save.form, save.pane, text);
  return path;
}

}  // namespace kalvex::checks
