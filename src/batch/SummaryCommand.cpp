#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "workflow/MainMenu.h"
#include "workspace/TextFile.h"

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
  std::string text = "Originally saved with the file name: " + out + "\r\n\r\n" + *report;
  std::vector<FileContent> files = {{out, text}};

  std::string picture;
  auto plot = context.args.Option("plot");
  if (plot) {
    std::optional<plots::XYPlotData> plotData = ws.model->ResultsSummaryPlotData(ws);
    if (!plotData) return BadInput(context, "kalvex-batch", "the model has no results summary plots");
    if (std::optional<std::string> error = EncodeSummaryPicture(*plotData, *plot, picture))
      return BadInput(context, "Save failed", "The picture could not be saved to " + *plot + ": " + *error);
    files.push_back({*plot, picture});
  }
  if (std::optional<SaveFailure> failure = SaveTextFiles(files)) {
    const bool ofReport = failure->index == 0;
    return BadInput(context, "Save failed",
                    std::string(ofReport ? "The summary" : "The picture") + " could not be saved to " +
                        files[failure->index].path + ": " + failure->reason);
  }
  return 0;
}

}  // namespace kalvex::batch
