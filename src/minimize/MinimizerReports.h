#pragma once
// Text pieces the minimizers' reports share: parameter lines, log groups,
// the tolerance figure and the numeric-fault message.
#include <optional>
#include <string>
#include <vector>

#include "minimize/MinimizeResult.h"
#include "ui/RunContext.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;
class LogWriter;

inline constexpr const char* kCrLf = "\r\n";

// "    003)  1.2345678E+00  ~~  description" + CR LF.
std::string ParameterLine(const Workspace& ws, int parameter, double value);

// The parameter lines of the free parameters with the given free
// coordinates (1-based).
std::string ParameterLines(const Workspace& ws, const std::vector<double>& freeValues);

// Entries of four per log line; a remainder of one to three entries is left
// open for the next line end.
void WriteLogGroups(LogWriter& log, const Workspace& ws, const std::vector<double>& freeValues);

// Whether a minimizer writes to the log: a non-zero FileFrequency and a log
// that is open.
bool LogWanted(const Workspace& ws);

// The tolerance figure of a progress line: " Abs TC> " + |spread| for an
// absolute tolerance, " Rel TC> " + |spread / reference| for a relative
// one, "0.0000E+00". A reference of 0 shows the absolute spread, so the
// report itself never divides by zero.
std::string ToleranceFigure(double tolerance, double spread, double reference);

// The message of a numeric fault: the fault and the free values of the
// vector that could not be evaluated.
std::string NumericFaultText(const Workspace& ws, const std::string& fault,
                             const std::vector<double>& fullVector);

// The box of a failed decomposition: the free parameter of the zero row
// (ws.Free.FreeIndex) and the text for the derivative kind in use.
void ReportDecompositionFailure(const Workspace& ws, int zeroRow, ui::Frontend& ui);

// Settings that cannot drive a run (problem is Validate's message): their
// box under the run's fault title and the result that says so; nullopt
// when there is no problem.
std::optional<MinimizeResult> RefuseSettings(RunContext& run, const std::optional<std::string>& problem);

// Font size of the minimizers' report panes: smaller for long parameter lists.
inline int ReportPaneFontSize(int freeCount) { return freeCount < 26 ? 10 : 8; }

// Status texts of the activity bar (kActivityBar) outside a run context.
void SetPanel(ui::Frontend& ui, int panel, const std::string& text);
// Empties panels first..last of the activity bar.
void ClearPanels(ui::Frontend& ui, int first, int last);

}  // namespace kalvex
