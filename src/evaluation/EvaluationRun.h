#pragma once
// What the likelihood profile and the posterior integration share around
// their loops: the options a caller gives, the editor wait, the offer of the
// previous results, the progress texts, and the results step that runs the
// distribution statistics, hands the table to the distribution plot and
// writes the report.
#include <functional>
#include <string>
#include <string_view>

#include "ui/RunContext.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

struct EvaluationOptions {
  // Opens the algorithm data editor filled from the workspace; empty: the
  // editor form is shown as it is.
  std::function<void()> openEditor;
  // Shows the main menu at the finishing step; empty: the menu form is shown.
  std::function<void()> showMenu;
  SecondsClock clock;  // for the time estimates; empty: a steady clock
};

enum class EvaluationEnd {
  Results,    // a table was made and reported
  NoResults,  // the run ended before it had one (refused, quit early, nothing evaluated)
  Faulted,    // a numeric fault ended the run (its box was shown)
};

// Opens the editor for the evaluation and waits until it is closed.
void EditForEvaluation(Workspace& ws, ui::Frontend& ui, const std::function<void()>& openEditor);

// Whether kept results of kind ("ML" or "BP") can be shown again.
bool PreviousResultsKept(const Workspace& ws, std::string_view kind);

// The results step on ws.Evaluation: the statistics with the kept mode and
// spacing, the table handed to the distribution plot (series 2 titled
// series2Title), the report put into the pane of form.
void ReportEvaluation(Workspace& ws, ui::Frontend& ui, std::string_view form, std::string_view pane,
                      std::string_view reportTitle, std::string_view series2Title);

// The point's progress on stbMain4: what is still to do and the time it needs.
void ShowRemaining(RunContext& run, std::string_view label, int64_t done, int64_t count);

// "Your algorithm file may have been automatically edited".
void RemindOfEdits(ui::Frontend& ui);

// The status bars and menus of the main window an evaluation shows and hides.
void ShowMainControl(ui::Frontend& ui, std::string_view control, bool visible);

}  // namespace kalvex
