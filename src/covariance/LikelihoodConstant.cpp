#include "covariance/LikelihoodConstant.h"

#include <cmath>
#include <optional>

#include "ui/Frontend.h"
#include "ui/NumberInput.h"
#include "workspace/Format.h"
#include "workspace/Workspace.h"

namespace kalvex {

ConstantPrompt LikelihoodConstantPrompt(const Workspace& ws) {
  ConstantPrompt result;
  result.prompt = "Enter the constant WHICH WILL MAKE the objective function the -ln[likelihood]\r\n";
  float suggested = ws.model ? ws.model->SuggestedConstant() : 0.0f;
  if (suggested > 0) {
    result.prompt += "\r\nYour model suggests you use this constant: ";
    result.defaultAnswer = FormatNumber(suggested, "0.000");
  } else if (ws.DataPointCount >= 1) {
    result.prompt += "\r\nIf your objective function is the sum of squares, then use this constant: ";
    // With no centre or minimum stored yet there is nothing to suggest.
    double s = (ws.DataPointCount - ws.SuggestionFreeCount) / (2 * ws.SuggestionObjective);
    if (std::isfinite(s)) result.defaultAnswer = FormatNumber(s, "0.0000000E+00");
  }
  return result;
}

void ShowInsufficientDegreesOfFreedom(ui::Frontend& ui) {
  ui.Message("Insufficient degrees of freedom",
             "Cannot accept a negative or zero constant; perhaps the degrees of freedom are zero or fewer",
             ui::style::kExclamation);
}

bool AskLikelihoodConstant(Workspace& ws, ui::Frontend& ui) {
  for (;;) {
    ConstantPrompt prompt = LikelihoodConstantPrompt(ws);
    ui.SetStatus(5, 1, "");
    ui.PumpEvents(true);
    ui::NumberAnswer answer = ui::AskNumber(ui, prompt.prompt, kEnterConstantTitle, prompt.defaultAnswer);
    if (answer.Cancelled()) return false;
    if (!answer.IsNumber()) continue;
    const double c = answer.value;
    if (c > 0) {
      ws.ObjectiveScale = 1 / c;
      return true;
    }
    ShowInsufficientDegreesOfFreedom(ui);
  }
}

}  // namespace kalvex
