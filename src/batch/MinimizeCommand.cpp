#include <ostream>

#include "algorithm/AlgorithmFile.h"
#include "algorithm/MinimizationLog.h"
#include "batch/Commands.h"
#include "workflow/MinimizeCommands.h"
#include "workspace/Format.h"

namespace kalvex::batch {
namespace {

// Opens the minimization log as the editor's "&Open" does: the log takes the
// file name and the frequency (10 unless given).
int OpenLog(BatchContext& context) {
  auto path = context.args.Option("log");
  auto frequencyText = context.args.Option("log-frequency");
  if (!path) {
    if (frequencyText) return BadInput(context, "kalvex-batch", "--log-frequency needs --log FILE");
    return 0;
  }
  int16_t frequency = 10;
  if (frequencyText) {
    std::optional<double> number = ParseNumber(*frequencyText);
    std::optional<int16_t> value = number ? ToInt16(*number) : std::nullopt;
    if (!value || *value < 0) return BadInput(context, "kalvex-batch", "--log-frequency must be a whole number >= 0");
    frequency = *value;
  }
  Workspace& ws = context.ws;
  if (std::optional<std::string> error = ws.Log.Open(*path))
    return BadInput(context, "Log file management", "The log file " + *path + " could not be opened: " + *error);
  ws.Alg.OutputFileName = *path;
  ws.LogOpen = -1;
  ws.Alg.FileFrequency = frequency;
  return 0;
}

int Minimize(BatchContext& context, bool simplex) {
  if (int code = OpenLog(context)) return code;
  Workspace& ws = context.ws;
  FitSettings settings;
  if (!simplex) {
    settings.method.minimizer = checks::FitMinimizer::Marquardt;
    // Otherwise the derivative question is answered No: numerical derivatives.
    if (context.args.flags.count("analytical")) settings.method.derivatives = Derivatives::Analytical;
  }
  MinimizeResult result = FitCommand(ws, context.ui, settings);
  const bool logWritten = CloseMinimizationLog(ws, context.ui);
  if (result.end == RunEnd::NothingToDo || result.end == RunEnd::Cancelled) return 1;
  std::ostream& out = context.out;
  out << "ended " << RunEndName(result.end) << '\n';
  out << "objective " << ShortestText(result.objective) << '\n';
  out << "iterations " << result.iterations << '\n';
  out << "function_calls " << result.functionCalls << '\n';
  if (simplex) out << "restarts " << result.restarts << '\n';
  // A run ended by a numeric fault is not a result to build on: the file
  // the user had stays as it was.
  if (result.end == RunEnd::Error) return 1;
  if (auto path = context.args.Option("out")) {
    if (std::optional<std::string> error = SaveAlgorithmFile(ws, *path, AlgorithmFileVariant::MainMenu))
      return BadInput(context, kAlgorithmSaveFailedTitle,
                      "The algorithm data could not be saved in " + *path + "\r\n\r\n" + *error);
  }
  // The fit stands, but the log the user asked for is incomplete.
  return logWritten ? 0 : 1;
}

}  // namespace

int SimplexBatchCommand(BatchContext& context) { return Minimize(context, true); }
int MarquardtBatchCommand(BatchContext& context) { return Minimize(context, false); }

}  // namespace kalvex::batch
