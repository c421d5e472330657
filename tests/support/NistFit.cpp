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

namespace {

// Sums of like terms can be fitted in any order: Lanczos' three
// exponentials, MGH17's two, Gauss' two peaks. The terms (their parameter
// indices, 0-based) are put in the certified order, by ascending rate or
// centre, before they are judged.
struct ExchangeableTerms {
  const char* prefix;
  std::vector<std::vector<int>> terms;
  int key;  // position within a term of the parameter that orders them
};

std::vector<double> InCertifiedOrder(const std::string& name, std::vector<double> values) {
  static const ExchangeableTerms kExchangeable[] = {{"Lanczos", {{0, 1}, {2, 3}, {4, 5}}, 1},
                                                    {"MGH17", {{1, 3}, {2, 4}}, 1},
                                                    {"Gauss", {{2, 3, 4}, {5, 6, 7}}, 1}};
  for (const ExchangeableTerms& e : kExchangeable) {
    if (name.rfind(e.prefix, 0) != 0) continue;
    std::vector<std::vector<double>> terms;
    for (const std::vector<int>& term : e.terms) {
      terms.emplace_back();
      for (int i : term) terms.back().push_back(values[i]);
    }
    std::stable_sort(terms.begin(), terms.end(),
                     [&](const auto& a, const auto& b) { return a[e.key] < b[e.key]; });
    for (std::size_t t = 0; t < terms.size(); ++t)
      for (std::size_t k = 0; k < terms[t].size(); ++k) values[e.terms[t][k]] = terms[t][k];
  }
  return values;
}

}  // namespace

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
    ws.DerivativeMode = options.analytical ? "A" : "N";
    fit.run = RunMarquardt(ws, ui);
  }
  fit.minLre = 15;
  for (int i = 1; i <= problem.parameterCount; ++i) fit.values.push_back(ws.Alg.Values[i]);
  const std::vector<double> ordered = InCertifiedOrder(name, fit.values);
  for (int i = 0; i < problem.parameterCount; ++i) {
    fit.lre.push_back(LogRelativeError(ordered[i], problem.certified[i]));
    fit.minLre = std::min(fit.minLre, fit.lre.back());
  }
  std::vector<double> point = ws.Alg.Values;
  fit.rssLre = LogRelativeError(EvaluateObjectiveWithCode(ws, point, 1), problem.certifiedRss);
  for (const auto& message : ui.messages) fit.titles.push_back(message.title);
  return fit;
}

}  // namespace kalvex::testing
