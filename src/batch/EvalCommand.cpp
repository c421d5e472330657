#include <ostream>
#include <sstream>

#include "batch/Commands.h"
#include "minimize/MarquardtKernel.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"
#include "workspace/ObjectiveDerivatives.h"

namespace kalvex::batch {
namespace {

// "v1,v2,..." with exactly count numbers; nullopt otherwise, with the item
// that is not a finite number named in bad.
std::optional<std::vector<double>> ParseValueList(const std::string& text, int count, std::string& bad) {
  std::vector<double> values{0.0};
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, ',')) {
    std::optional<double> value = ParseNumber(item);
    if (!value) {
      bad = "value " + std::to_string(values.size()) + ", \"" + item + "\", is not a finite number";
      return std::nullopt;
    }
    values.push_back(*value);
  }
  if (static_cast<int>(values.size()) != count + 1) return std::nullopt;
  return values;
}

// The exact gradient and Hessian (NF = -2) at the values the evaluation
// left, over the free parameters by their numbers; false when the model
// supplies none.
bool PrintDerivatives(Workspace& ws, std::ostream& out) {
  const std::vector<int16_t>& index = ws.Free.FreeIndex;
  std::vector<double> vector = ws.Alg.Values;
  std::vector<double> gradient;
  Matrix second;
  const int n = ws.Free.FreeCount;
  if (n == 0) return true;  // nothing to differentiate with respect to
  if (!EvaluateObjectiveDerivatives(ws, vector, index, gradient, second)) return false;
  for (int i = 1; i <= n; ++i) out << "gradient " << index[i] << ' ' << ShortestText(gradient[index[i]]) << '\n';
  for (int i = 1; i <= n; ++i)
    for (int j = i; j <= n; ++j)
      out << "hessian " << index[i] << ' ' << index[j] << ' ' << ShortestText(second(index[i], index[j])) << '\n';
  return true;
}

}  // namespace

// One evaluation exactly as the "1 Function call" action makes it; with
// --derivatives the model's exact derivatives there too.
int EvalCommand(BatchContext& context) {
  Workspace& ws = context.ws;
  if (auto text = context.args.Option("values")) {
    std::string bad;
    auto values = ParseValueList(*text, ws.Alg.NumParameters, bad);
    if (!values)
      return BadInput(context, "kalvex-batch",
                      "--values needs exactly " + std::to_string(ws.Alg.NumParameters) + " numbers" +
                          (bad.empty() ? "" : ": " + bad));
    ws.Alg.Values = *values;
  }
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  double objective = EvaluateObjectiveWithCode(ws, ws.Alg.Values, 1);
  // Every line or none: the derivatives are computed before anything is printed.
  std::ostringstream lines;
  lines << "objective " << ShortestText(objective) << '\n';
  for (int i = 1; i <= ws.Alg.NumParameters; ++i)
    lines << "value " << i << ' ' << ShortestText(ws.Alg.Values[i]) << '\n';
  if (context.args.flags.count("derivatives") && !PrintDerivatives(ws, lines))
    return BadInput(context, "Analytical derivatives missing", kAnalyticalMissingMessage);
  context.out << lines.str();
  return 0;
}

}  // namespace kalvex::batch
