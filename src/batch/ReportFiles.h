#pragma once
// A check's report and its picture as kalvex-batch writes them: the report
// as the window saves it (--out), the picture with --plot (PNG or SVG by
// its extension), both in one save.
#include <functional>
#include <string>

#include "batch/Commands.h"
#include "plots/Figure.h"

namespace kalvex::batch {

// --plot in a build that draws no pictures: the message, and 1; else 0.
int RefusePlotWithoutPictures(BatchContext& context);

// Writes report (with the saved-as line) to --out and, with --plot, the
// picture; both or neither. what names the report in a failure ("The
// diagnostics"). 0, or the exit code after the message.
int SaveReportAndPicture(BatchContext& context, const std::string& report,
                         const std::function<plots::Figure()>& picture, const std::string& what);

}  // namespace kalvex::batch
