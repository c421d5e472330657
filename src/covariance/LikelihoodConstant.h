#pragma once
// The "Enter constant" prompt that turns the objective into the -ln[L]:
// shared by the covariance calculator, the likelihood profiles, the
// posterior integration, the prior editor and the model ranking.
#include <string>

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

inline constexpr const char* kEnterConstantTitle = "Enter constant";

// The prompt text and its proposed answer for the current workspace.
struct ConstantPrompt {
  std::string prompt;
  std::string defaultAnswer;
};
ConstantPrompt LikelihoodConstantPrompt(const Workspace& ws);

// Asks until a positive constant c is given and sets ObjectiveScale = 1 / c.
// An empty answer asks again; zero or a negative number shows
// ShowInsufficientDegreesOfFreedom first. False when the user cancelled:
// ObjectiveScale is left as it was and the command ends.
[[nodiscard]] bool AskLikelihoodConstant(Workspace& ws, ui::Frontend& ui);

// "Insufficient degrees of freedom": a constant that is not positive.
void ShowInsufficientDegreesOfFreedom(ui::Frontend& ui);

}  // namespace kalvex
