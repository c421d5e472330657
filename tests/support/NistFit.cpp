#include "support/NistFit.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "minimize/Marquardt.h"
#include "minimize/Simplex.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::testing {

ui::Answer QuietFrontend::Message(std::string_view title, std::string_view text, int style) {
  messages.push_back({std::string(title), std::string(text), style});
  int buttons = ui::style::Buttons(style);
  if (buttons == ui::style::kYesNo || buttons == ui::style::kYesNoCancel) return ui::Answer::No;
  return ui::Answer::OK;
}

NistFitResult FitNist(const std::string& name, const NistFitOptions& options) {
  NistProblem problem = ReadNistProblem(NistPath(name));
  const std::vector<double>& start = options.start == 2 ? problem.start2 : problem.start1;
  Workspace ws(std::make_unique<NistSumOfSquaresModel>(problem));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  ws.AlgorithmFileName = name + ".alg";
  for (int i = 1; i <= problem.parameterCount; ++i) {
    ws.Alg.Values[i] = start[i - 1];
    ws.Alg.Steps[i] = start[i - 1] != 0 ? options.stepFraction * std::fabs(start[i - 1]) : options.stepFraction;
  }
  ws.Alg.Tolerance = options.tolerance;
  ws.Alg.MaxFunctionCalls = options.maxFunctionCalls;
  ws.Alg.TerminalFrequency = 0;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);

  QuietFrontend ui;
  NistFitResult fit;
  if (options.minimizer == Minimizer::Simplex) {
    fit.run = RunSimplex(ws, ui);
  } else {
    ws.DerivativeMode = "N";
    ws.ShowDerivatives = "no";
    fit.run = RunMarquardt(ws, ui);
  }
  fit.minLre = 15;
  for (int i = 1; i <= problem.parameterCount; ++i) {
    fit.values.push_back(ws.Alg.Values[i]);
    fit.lre.push_back(LogRelativeError(ws.Alg.Values[i], problem.certified[i - 1]));
    fit.minLre = std::min(fit.minLre, fit.lre.back());
  }
  std::vector<double> point = ws.Alg.Values;
  fit.rssLre = LogRelativeError(EvaluateObjectiveWithCode(ws, point, 1), problem.certifiedRss);
  for (const auto& message : ui.messages) fit.titles.push_back(message.title);
  return fit;
}

}  // namespace kalvex::testing
