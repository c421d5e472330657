#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "workflow/MainMenu.h"
#include "workspace/RunFiles.h"

namespace kalvex::batch {

// The Results command without windows: the same first step as the menu's
// (one evaluation when any value is non-zero), then the model's report
// written as the window saves it. A fault anywhere, or a picture this
// build cannot draw, ends the command before any file is written; the
// report and the picture are saved as one, so a failed save keeps both old
// files.
int SummaryCommand(BatchContext& context) {
  if (context.args.Option("plot") && !PlotPicturesBuilt())
    return BadInput(context, "kalvex-batch", "this build draws no pictures: --plot needs the build with the Qt workbench");
  Workspace& ws = context.ws;
  EvaluateForResultsSummary(ws, context.ui);
  const std::string& out = context.args.options.at("out");
  std::optional<std::string> report = ws.model->ResultsSummaryText(ws, context.args.flags.count("forecast") > 0);
  if (!report) return BadInput(context, "kalvex-batch", "the model has no results summary");
  RunFiles files;
  files.Add(out, "Originally saved with the file name: " + out + "\r\n\r\n" + *report, "The summary");
  if (auto plot = context.args.Option("plot")) {
    std::optional<plots::XYPlotData> plotData = ws.model->ResultsSummaryPlotData(ws);
    if (!plotData) return BadInput(context, "kalvex-batch", "the model has no results summary plots");
    std::string picture;
    if (std::optional<std::string> error = EncodeSummaryPicture(*plotData, *plot, picture))
      return BadInput(context, "Save failed", "The picture could not be saved to " + *plot + ": " + *error);
    files.Add(*plot, std::move(picture), "The picture");
  }
  if (std::optional<std::string> error = files.Save()) return BadInput(context, "Save failed", *error);
  return 0;
}

}  // namespace kalvex::batch
