#pragma once
// The interactive covariance calculator: the method question, the editor,
// the grid factors, the constant and optimistic-SE questions, and the
// computation (CovarianceComputation.h) on a run context, its log told to
// whoever shows it (CovarianceLog). A completed run replaces
// ws.Covariance.Results, any other end leaves them as they were.
#include <array>
#include <functional>
#include <string>

#include "covariance/CovarianceComputation.h"
#include "ui/RunContext.h"
#include "workspace/Results.h"

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

// What a run tells the window that shows its log ("Covariance calculations").
class CovarianceLog {
 public:
  virtual ~CovarianceLog() = default;
  // The grids start: the log is empty and an interrupt can be asked for.
  virtual void Started() = 0;
  // The log as it stands.
  virtual void Changed(const std::string& log) = 0;
  // The interrupt was taken up (its question is being asked): it can be
  // asked for again.
  virtual void InterruptTaken() = 0;
};

struct CovarianceCalculatorOptions {
  // Opens the values-and-steps editor filled from the workspace and returns
  // when the edit ended; empty: no editor (the values stay as they are).
  std::function<void()> openEditor;
  SecondsClock clock;  // for the time estimate; empty: a steady clock
  CovarianceLog* log = nullptr;  // none: the log is shown nowhere
};

// "&Single model covariances" after the main menu's own question: the whole
// dialogue and the run.
CovarianceRunEnd RunCovarianceCalculator(Workspace& ws, ui::Frontend& ui, const CovarianceCalculatorOptions& options = {});

struct NumericalCovarianceOptions {
  std::array<double, kGridCount + 1> gridFactors = kDefaultGridFactors;  // 1..3, positive
  SecondsClock clock;
  CovarianceLog* log = nullptr;
};

// The numerical run once its factors are chosen: the centre value, the
// constant and optimistic-SE questions, the three grids with their log.
CovarianceRunEnd RunNumericalCovariance(Workspace& ws, ui::Frontend& ui, const NumericalCovarianceOptions& options = {});

// The computation on the workspace's problem with its log window, status
// texts and interrupt; ask (the window's questions) completes the settings
// once the centre is known, or cancels (false). kalvex-batch and the analyses that take their
// steps from a grid call it with complete settings and no questions.
CovarianceRunEnd RunCovariance(Workspace& ws, ui::Frontend& ui, const CovarianceSettings& settings,
                               const std::function<bool(CovarianceSettings&)>& ask = {},
                               const SecondsClock& clock = {}, CovarianceLog* log = nullptr);

// The grid-factor prompts until the user accepts them; false when a prompt
// was cancelled or left empty. Starts from the defaults.
bool AskGridFactors(ui::Frontend& ui, std::array<double, kGridCount + 1>& factors);

// The optimistic-SE question; sets and returns ws.Covariance.OptimisticSEs.
bool AskOptimisticSEs(Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
