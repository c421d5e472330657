#pragma once
// The minimizers a check's quiet fits can run.
namespace kalvex::checks {

enum class FitMinimizer { Simplex, Marquardt };

}  // namespace kalvex::checks
