#include "algorithm/AlgorithmFile.h"
#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "model/OskaneModel.h"
#include "model/Summary.h"
#include "workspace/Objective.h"
#include "workspace/TextFile.h"

namespace kalvex::batch {

// The Results command without windows: one evaluation at the current values
// when any is non-zero, then the report written as the window saves it. A
// fault anywhere, or a picture this build cannot draw, ends the command
// before any file is written.
int SummaryCommand(BatchContext& context) {
  if (context.args.Option("plot") && !PlotPicturesBuilt())
    return BadInput(context, "kalvex-batch", "this build draws no pictures: --plot needs the build with the Qt workbench");
  Workspace& ws = context.ws;
  const auto* model = dynamic_cast<const OskaneModel*>(ws.model.get());
  if (!model) return BadInput(context, "kalvex-batch", "the results summary needs the Oskane model");
  bool anyValue = false;
  for (int i = 1; i <= ws.Alg.NumParameters; ++i) anyValue = anyValue || ws.Alg.Values[i] != 0;
  if (anyValue) EvaluateObjectiveWithCode(ws, ws.Alg.Values, 1);

  const std::string& out = context.args.options.at("out");
  std::string report = model::ResultsSummaryText(*model, ws, context.args.flags.count("forecast") > 0);
  std::optional<plots::XYPlotData> plotData;
  if (context.args.Option("plot")) plotData = model::ResultsSummaryPlotData(*model, ws);

  std::string text = "Originally saved with the file name: " + out + "\r\n\r\n" + report;
  if (std::optional<std::string> error = SaveTextFile(out, text))
    return BadInput(context, "Save summary in...", "The summary could not be saved to " + out + ": " + *error);
  if (auto plot = context.args.Option("plot")) {
    if (std::optional<std::string> error = SaveSummaryPicture(*plotData, *plot))
      return BadInput(context, "Data and prediction plots", "The picture could not be saved to " + *plot + ": " + *error);
  }
  return 0;
}

}  // namespace kalvex::batch
