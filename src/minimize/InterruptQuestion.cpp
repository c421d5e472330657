#include "minimize/InterruptQuestion.h"

#include "minimize/MinimizerWindow.h"
#include "ui/Frontend.h"
#include "ui/RunContext.h"

namespace kalvex {

InterruptChoice AskAfterInterrupt(RunContext& run, MinimizerWindow& window, int panelToClear, bool profiling,
                                  ProfilePoint* point) {
  if (!run.Interrupt().Pending()) return InterruptChoice::None;
  run.Interrupt().Clear();
  window.InterruptOffered(true);
  run.Activity(panelToClear, "");
  ui::Frontend& ui = run.Ui();
  std::string_view title = run.Description().interruptTitle;
  const int yesNo = ui::style::kYesNo + ui::style::kQuestion;
  if (!profiling) {
    return ui.Message(title, "Interrupt received. Do you want to quit minimizing?", yesNo) == ui::Answer::Yes
               ? InterruptChoice::Quit
               : InterruptChoice::GoOn;
  }
  if (ui.Message(title, "Interrupt received. Do you want to quit the ML procedure?", yesNo) == ui::Answer::Yes) {
    if (point) {
      point->PointReached = point->PointIndex;
      point->PointIndex = point->PointCount + 2;
    }
    return InterruptChoice::QuitProcedure;
  }
  if (ui.Message(title, "Do you want to continue starting with the NEXT point?", yesNo + ui::style::kSecondDefault) ==
      ui::Answer::Yes)
    return InterruptChoice::NextPoint;
  return InterruptChoice::GoOn;
}

}  // namespace kalvex
