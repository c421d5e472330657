#pragma once
// The save of a check's report with its picture beside it: the report's
// file is asked for, the picture goes under the same name with ".png", and
// both are written as one save (RunFiles) or neither.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "plots/Figure.h"
#include "ui/Frontend.h"

namespace kalvex::checks {

// A picture's file content for a path (PNG, or SVG or PDF by its extension) into
// bytes, or the reason it cannot be made: pictures are painted outside the
// core (plots::EncodeFigurePicture).
using PictureEncoder = std::function<std::optional<std::string>(const plots::Figure& picture, const std::string& path,
                                                                std::string& bytes)>;

// Where the picture of a report saved at reportPath goes: the same name
// with ".png".
std::string PicturePathBeside(const std::string& reportPath);

struct ReportSave {
  std::string_view title;       // of the replace question
  ui::FileDialog dialog;        // the report's save dialog
  std::string_view form, pane;  // the report shown
  std::string what;             // names the report in a failure: "The diagnostics"
};

// Asks for the report's file, then writes the pane's text (with the
// saved-as line) and the picture beside it, both or neither; an existing
// picture is replaced only when the user agrees. The path written, or
// nullopt (cancelled, or the failure was shown).
std::optional<std::string> SaveReportAndPicture(ui::Frontend& ui, const ReportSave& save, const plots::Figure& picture,
                                                const PictureEncoder& encode);

}  // namespace kalvex::checks
