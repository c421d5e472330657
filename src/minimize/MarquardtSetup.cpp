#include "minimize/MarquardtSetup.h"

#include <initializer_list>
#include <string>

#include "minimize/MinimizerReports.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using ui::Answer;
namespace style = ui::style;

const char* const kSetupTitle = "Marquardt minimization";

std::string JoinLines(std::initializer_list<const char*> lines) {
  std::string text;
  bool first = true;
  for (const char* line : lines) {
    if (!first) text += kCrLf;
    text += line;
    first = false;
  }
  return text;
}

}  // namespace

bool MarquardtSetup(Workspace& ws, ui::Frontend& ui, bool* showDerivatives) {
  ws.DerivativeMode.clear();
  std::string choice = JoinLines({
      "Note: You must provide derivatives for calculating gradients and building the Hessian matrix.",
      "",
      "Numerical derivatives are provided automatically, whereas you must have provided analytical",
      "derivatives in your model code (i.e., in that section of Sub MODEL() accessed when NF=-2).",
      "",
      "WARNING: Analytical derivatives will fail if Bayesian prior probabilities contribute to the likelihood "
      "function.",
      "",
      "DO NOT USE ANALYTICAL DERIVATIVES IN CONJUNCTION WITH BAYESIAN PRIOR DISTRIBUTIONS!",
      "            THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE UNIFORM-UNBOUNDED!",
      "",
      "Choose 'Yes' if you have provided ANALYTICAL derivatives; else 'No' to calculate NUMERICAL derivatives",
  });
  Answer answer = ui.Message(kSetupTitle, choice, style::kYesNoCancel + style::kQuestion);
  if (answer == Answer::Yes)
    ws.DerivativeMode = "A";
  else if (answer == Answer::No)
    ws.DerivativeMode = "N";
  if (ws.DerivativeMode == "N")
    ui.Message(kSetupTitle, "You have chosen NUMERICAL derivatives - it's like choosing Pepsi", style::kOk);
  else if (ws.DerivativeMode == "A")
    ui.Message(kSetupTitle, "You have chosen ANALYTICAL derivatives - it's like choosing Coke", style::kOk);
  if (ws.DerivativeMode.empty()) return false;

  std::string show = JoinLines({
      "Do you want to see the partial derivatives of the likelihood function wrt the parameters at each "
      "iteration?",
      "",
      "If 'Yes', they will be displayed; then later choose 'Next iteration' to see the derivatives after the "
      "next iteration,",
      "           or 'Continue' to skip over the derivatives output.",
      "If 'No', then partial derivatives will not be displayed.",
      "",
      "Note: This is recommended and practical only for models with fewer than about a dozen parameters!",
      "           It is intended for use mainly during model building to verify the analytical derivative "
      "formulations.",
  });
  const bool shown = ui.Message(kSetupTitle, show, style::kYesNo + style::kQuestion) == Answer::Yes;
  if (showDerivatives) *showDerivatives = shown;
  return true;
}

}  // namespace kalvex
