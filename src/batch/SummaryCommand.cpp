#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "model/Summary.h"
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
  const std::optional<model::SummaryInputs> in = model::SummaryInputsOf(ws);
  if (!in) return BadInput(context, "kalvex-batch", "the model has no results summary");
  const std::optional<std::string> plot = context.args.Option("plot");
  const model::SummarySettings settings{.forecast = context.args.flags.count("forecast") > 0,
                                        .plotData = plot.has_value()};
  if (std::optional<std::string> invalid = settings.Validate(*in)) return BadInput(context, "kalvex-batch", *invalid);
  const model::SummaryResult summary = model::ComputeResultsSummary(*in, settings);
  const std::string& out = context.args.options.at("out");
  RunFiles files;
  files.Add(out, "Originally saved with the file name: " + out + "\r\n\r\n" + summary.Text(), "The summary");
  if (plot) {
    std::string picture;
    if (std::optional<std::string> error = EncodeSummaryPicture(*summary.plotData, *plot, picture))
      return BadInput(context, "Save failed", "The picture could not be saved to " + *plot + ": " + *error);
    files.Add(*plot, std::move(picture), "The picture");
  }
  if (std::optional<std::string> error = files.Save()) return BadInput(context, "Save failed", *error);
  return 0;
}

}  // namespace kalvex::batch
