#include "minimize/MinimizeResult.h"

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

}  // namespace kalvex
