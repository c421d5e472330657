#include "workspace/Objective.h"

namespace kalvex {

// Prior distributions are not part of this build: every parameter is
// uniform-unbounded, whose prior -ln L is 0.
double PriorValue(const Workspace& ws, const std::vector<double>& vector) {
  (void)ws;
  (void)vector;
  return 0.0;
}

}  // namespace kalvex
