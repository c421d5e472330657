#include "batch/ReportFiles.h"

#include "batch/PlotPicture.h"
#include "ui/PaneFile.h"
#include "workspace/RunFiles.h"

namespace kalvex::batch {

int RefusePlotWithoutPictures(BatchContext& context) {
  if (!context.args.Option("plot") || PlotPicturesBuilt()) return 0;
  return BadInput(context, "kalvex-batch",
                  "this build draws no pictures: --plot needs the build with "
                  "the Qt workbench");
}

int SaveReportAndPicture(BatchContext& context, const std::string& report,
                         const std::function<plots::Figure()>& picture, const std::string& what) {
  const std::string& out = context.args.options.at("out");
  RunFiles files;
  files.Add(out, ui::SavedPaneText(out, report), what);
  if (auto plot = context.args.Option("plot")) {
    std::string bytes;
    if (std::optional<std::string> error = EncodePicture(picture(), *plot, bytes))
      return BadInput(context, "Save failed", "The picture could not be saved to " + *plot + ": " + *error);
    files.Add(*plot, std::move(bytes), "The picture");
  }
  if (std::optional<std::string> error = files.Save()) return BadInput(context, "Save failed", *error);
  return 0;
}

}  // namespace kalvex::batch
