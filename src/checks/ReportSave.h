#pragma once
// Saving a check's report pane with its picture beside it: the report's
// file is asked for, the picture takes the same name with ".png", and both
// are written as one save (both or neither). Pictures are painted outside
// the core, so the caller hands in the encoder (plots::EncodeFigurePicture).
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "plots/Figure.h"
#include "ui/Frontend.h"

namespace kalvex::checks {

// A picture's file content for a path (PNG, or SVG by its extension) into
// bytes, or the reason it cannot be made.
using PictureEncoder = std::function<std::optional<std::string>(const plots::Figure& picture, const std::string& path,
                                                                std::string& bytes)>;

// Where the picture of a report saved at reportPath goes: the same name
// with ".png".
std::string PicturePathBeside(const std::string& reportPath);

struct PaneWithPicture {
  std::string_view form, pane;
  ui::FileDialog dialog;
  std::string title;  // of the question before an existing picture is replaced
  std::string what;   // "The diagnostics": names the report in a failure
};

// Asks for the report's file, then writes the pane's text (with the
// saved-as line) and the picture beside it, both or neither; an existing
// picture is replaced only when the user agrees. The path written, or
// nullopt (cancelled, or the failure was shown).
std::optional<std::string> SavePaneWithPicture(ui::Frontend& ui, const PaneWithPicture& save,
                                               const plots::Figure& picture, const PictureEncoder& encode);

}  // namespace kalvex::checks
