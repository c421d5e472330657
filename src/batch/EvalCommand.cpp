#include <ostream>
#include <sstream>

#include "batch/Commands.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"

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

}  // namespace

// One evaluation exactly as the "1 Function call" action makes it.
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
  context.out << "objective " << ShortestText(objective) << '\n';
  for (int i = 1; i <= ws.Alg.NumParameters; ++i)
    context.out << "value " << i << ' ' << ShortestText(ws.Alg.Values[i]) << '\n';
  return 0;
}

}  // namespace kalvex::batch
