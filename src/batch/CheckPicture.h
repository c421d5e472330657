#pragma once
// The picture of a check (the residual diagnostics', the jittered starts')
// for --plot: painted with Qt, so a build without the Qt workbench draws none.
#include <optional>
#include <string>

#include "plots/Figure.h"

namespace kalvex::batch {

// The picture's file content (PNG, or another format by the path's
// extension) into bytes; the reason when it cannot be made.
std::optional<std::string> EncodeCheckPicture(const plots::Figure& figure, const std::string& path, std::string& bytes);

}  // namespace kalvex::batch
