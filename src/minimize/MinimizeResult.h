#pragma once
// What a minimization run hands back to its caller (the main menu, the
// profile evaluation, the batch front end), and the profile point a run
// works on while ProfileEvaluationActive is "on".
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;
class MinimizerWindow;

enum class RunEnd {
  Converged,            // convergence verified by the axial search
  Limit,                // the function-call or iteration limit
  Interrupted,          // the user confirmed an interrupt
  GaveUp,               // Marquardt quits in frustration
  DecompositionFailed,  // a row of zeros in the damped matrix
  Error,                // a numeric fault, the "Simplex error", missing derivatives
  NothingToDo,          // no free parameter (main-menu commands)
  Cancelled,            // the derivative choice was cancelled (Marquardt command)
};

// "converged", "limit", "interrupted", "gave_up", "decomposition_failed",
// "error", "nothing_to_do", "cancelled".
const char* RunEndName(RunEnd end);

struct MinimizeResult {
  RunEnd end = RunEnd::Error;
  double objective = 0;          // best vertex value / final or last accepted Marquardt value
  int32_t iterations = 0;        // Simplex moves or accepted Marquardt iterations
  int32_t functionCalls = 0;     // FunctionCallCount at the end (restarts at 0 after "continue")
  int64_t totalFunctionCalls = 0;  // every counted evaluation of the run
  int16_t restarts = 0;          // failed convergence verifications
  std::string message;           // the fault or error text for Error
  bool faulted = false;          // a numeric fault ended the run (its box was shown)
  std::vector<double> point;     // the full parameter vector the run left (1-based)
};

// The point of a likelihood profile being minimized. The minimizer reads the
// indices for its status texts, moves PointIndex past PointCount when the
// user quits the whole procedure, and stores the result at convergence.
struct ProfilePoint {
  int32_t PointIndex = 0;
  int32_t PointCount = 0;
  int32_t PointReached = 0;
  bool HasResult = false;
  double ResultObjective = 0;  // the minimum found at this point
  double ResultValue = 0;      // Values(EvaluatedParameter) with it
};

// One line for the batch front end: "converged objective=-115.687... iterations=12
// function_calls=345 total_function_calls=345 restarts=0", with " message=..."
// when there is one. Numbers in their shortest exact form.
std::string DescribeResult(const MinimizeResult& result);

// Seams a caller may fill in.
struct MinimizeOptions {
  ProfilePoint* profile = nullptr;
  // Observes every Marquardt solve: the damping used and the trial count.
  std::function<void(double damping, int trialCount)> onSolve;
  // The window that shows the run; nullptr: none.
  MinimizerWindow* window = nullptr;
};

}  // namespace kalvex
