#pragma once
// The interactive covariance calculator: the method question, the editor,
// the grid factors, the constant and optimistic-SE questions, and the grids
// on a run context with the "Covariance calculations" log window. The
// numbers come from the quiet kernel (HessianGrids.h); a completed run
// replaces ws.Covariance.Results, any other end leaves them as they were.
#include <array>
#include <functional>

#include "covariance/CovarianceResults.h"
#include "ui/Names.h"
#include "ui/RunContext.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

enum class CovarianceRunEnd {
  Completed,  // results for all three grids (some may be -1)
  Cancelled,  // a question was cancelled
  NoResults,  // nothing to calculate: no free parameter, or no analytical derivatives
  Faulted,    // a numeric fault ended the run (its box was shown)
};

inline constexpr const char* kCovarianceCalculatorTitle = "Covariance calculator";
inline constexpr const char* kCovarianceRunTitle = "Covariance calculations";
inline constexpr const char* kOptimisticTitle = "Calculate optimistic SEs only?";
inline constexpr const char* kInterruptCaption = "&Interrupt these calculations";
inline constexpr std::array<double, kGridCount + 1> kDefaultGridFactors{0, 1.0, 0.1, 0.01};

struct CovarianceCalculatorOptions {
  // Opens the values-and-steps editor filled from the workspace; empty: the
  // editor form is shown as it is.
  std::function<void()> openEditor;
  SecondsClock clock;  // for the time estimate; empty: a steady clock
};

// "&Single model covariances" after the main menu's own question: the whole
// dialogue, then the "Covariance data" window when the run completed.
CovarianceRunEnd RunCovarianceCalculator(Workspace& ws, ui::Frontend& ui, const CovarianceCalculatorOptions& options = {});

struct NumericalCovarianceOptions {
  std::array<double, kGridCount + 1> gridFactors = kDefaultGridFactors;  // 1..3, positive
  SecondsClock clock;
};

// The numerical run once its factors are chosen: the centre value, the
// constant and optimistic-SE questions, the three grids with their log.
// kalvex-batch and the analyses that take their steps from a grid call it
// directly.
CovarianceRunEnd RunNumericalCovariance(Workspace& ws, ui::Frontend& ui, const NumericalCovarianceOptions& options = {});

// The grid-factor prompts until the user accepts them; false when a prompt
// was cancelled or left empty. Starts from the defaults.
bool AskGridFactors(ui::Frontend& ui, std::array<double, kGridCount + 1>& factors);

// The optimistic-SE question; sets and returns ws.Covariance.OptimisticSEs.
bool AskOptimisticSEs(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
