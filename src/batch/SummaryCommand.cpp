#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "workflow/MainMenu.h"
#include "workspace/TextFile.h"

namespace kalvex::batch {

// The Results command without windows: the same first step as the menu's
// (one evaluation when any value is non-zero), then the model's report
// written as the window saves it. A fault anywhere, or a picture this
// build cannot draw, ends the command before any file is written.
int SummaryCommand(BatchContext& context) {
  if (context.args.Option("plot") && !PlotPicturesBuilt())
    return BadInput(context, "kalvex-batch", "this build draws no pictures: --plot needs the build with the Qt workbench");
  Workspace& ws = context.ws;
  EvaluateForResultsSummary(ws, context.ui);
  const std::string& out = context.args.options.at("out");
  std::optional<std::string> report = ws.model->ResultsSummaryText(ws, context.args.flags.count("forecast") > 0);
  if (!report) return BadInput(context, "kalvex-batch", "the model has no results summary");
  std::optional<plots::XYPlotData> plotData;
  if (context.args.Option("plot")) plotData = ws.model->ResultsSummaryPlotData(ws);

  std::string text = "Originally saved with the file name: " + out + "\r\n\r\n" + *report;
  if (std::optional<std::string> error = SaveTextFile(out, text))
    return BadInput(context, "Save summary in...", "The summary could not be saved to " + out + ": " + *error);
  if (auto plot = context.args.Option("plot")) {
    if (!plotData) return BadInput(context, "kalvex-batch", "the model has no results summary plots");
    if (std::optional<std::string> error = SaveSummaryPicture(*plotData, *plot))
      return BadInput(context, "Data and prediction plots", "The picture could not be saved to " + *plot + ": " + *error);
  }
  return 0;
}

}  // namespace kalvex::batch
