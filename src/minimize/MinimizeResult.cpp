#include "minimize/MinimizeResult.h"

#include "workspace/Format.h"

namespace kalvex {

const char* RunEndName(RunEnd end) {
  switch (end) {
    case RunEnd::Converged: return "converged";
    case RunEnd::Limit: return "limit";
    case RunEnd::Interrupted: return "interrupted";
    case RunEnd::GaveUp: return "gave_up";
    case RunEnd::DecompositionFailed: return "decomposition_failed";
    case RunEnd::Error: return "error";
    case RunEnd::NothingToDo: return "nothing_to_do";
    case RunEnd::Cancelled: return "cancelled";
  }
  return "error";
}

std::string DescribeResult(const MinimizeResult& result) {
  std::string text = std::string(RunEndName(result.end)) + " objective=" + ShortestText(result.objective) +
                     " iterations=" + std::to_string(result.iterations) +
                     " function_calls=" + std::to_string(result.functionCalls) +
                     " total_function_calls=" + std::to_string(result.totalFunctionCalls) +
                     " restarts=" + std::to_string(result.restarts);
  if (!result.message.empty()) text += " message=" + result.message;
  return text;
}

}  // namespace kalvex
