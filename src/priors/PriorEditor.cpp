#include "priors/PriorEditor.h"

#include <cmath>

#include "covariance/LikelihoodConstant.h"
#include "priors/PriorProfile.h"
#include "priors/PriorsFile.h"
#include "ui/Names.h"
#include "ui/NumberInput.h"
#include "workspace/Format.h"
#include "workspace/PriorTable.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

namespace style = ui::style;
namespace names = ui::names;

constexpr int kTypeColumn = 1;
constexpr int kLastTermColumn = 5;
constexpr int kDescriptionColumn = 6;

// The Beta check's letter: the character with ANSI code 223.
constexpr const char* kBetaSymbol = "\u00DF";

std::string Numbered(const char* prompt, int parameter) { return prompt + std::to_string(parameter); }

}  // namespace

const std::array<std::array<const char*, kPriorGridColumns>, kPriorHeaderRows> kPriorGridHeaders = {{
    {"", "Distribution", "First term", "First term", "Second term", "Second term", ""},
    {"Parameter", "Type", "Mean", "SD", "Mean", "SD", "Parameter description [null value]"},
}};

std::string PriorEditorHelpText() {
  static const char* const kLines[] = {
      "For each parameter you have the option to choose the mean and SD of a:",
      "     Gaussian (i.e., Normal) distribution",
      "     Exponential distribution",
      "     Ln-normal distribution",
      "     Gamma distribution",
      "     Beta distribution;",
      "     The location of the foot of a:",
      "          Left-side cliff distribution",
      "          Right-side cliff distribution;",
      "     The location of the feet of a:",
      "          Uniform-bounded distribution;",
      "     The Uniform-unbounded distribution (default)",
      "To set a prior distribution for a parameter the 'Set prior distributions' form must be showing.",
      "Then with your mouse click on the parameter for which you wish to set a prior distribution.",
      "Next select the 'Edit prior distributions' menu and choose the distribution type and its mean and",
      "SD.  All distributions are defined by a mean and a SD except the uniform-bounded distribution.",
      "The uniform-bounded distribution requires a mean and SD for both its left and right feet.",
      "To save your distribution descriptions choose 'Save prior distributions.'",
      "You can preview distributions by selecting 'Profile prior distributions.'",
      "When you are done select 'Finished'.",
      "Note that unrequired values are labelled 'Unused' whereas unset values are assigned an asterisk (*).",
  };
  TextBuilder text;
  for (const char* line : kLines) text.Line(line);
  return text.Text();
}

PriorEditor::PriorEditor(Workspace& ws, ui::Frontend& ui) : ws_(ws), ui_(ui) {}

// ---------------------------------------------------------------- the grid

PriorColour PriorEditor::TypeColour(int parameter) const {
  return LetterOf(ws_.Priors[parameter]) == 'U' ? PriorColour::Black : PriorColour::Blue;
}

void PriorEditor::ColourRow(int parameter, PriorColour colour, int first, int last) {
  for (int column = first; column <= last; ++column) cells_[parameter][column].colour = colour;
}

void PriorEditor::FillRow(int parameter) {
  const PriorEntry& prior = ws_.Priors[parameter];
  auto& row = cells_[parameter];
  row[0].text = std::to_string(parameter);
  row[kTypeColumn].text = DistributionName(prior.TypeLetters);
  row[2].text = GridTermText(prior.FirstTerm);
  row[3].text = GridTermText(prior.SecondTerm);
  row[4].text = GridTermText(prior.ThirdTerm);
  row[kLastTermColumn].text = GridTermText(prior.FourthTerm);
  const auto& descriptions = ws_.Alg.Descriptions;
  row[kDescriptionColumn].text = parameter < static_cast<int>(descriptions.size()) ? descriptions[parameter] : "";
}

void PriorEditor::Fill() {
  const int n = ws_.Alg.NumParameters;
  if (static_cast<int>(ws_.Priors.size()) != n + 1) ResetPriorTable(ws_);
  cells_.assign(static_cast<std::size_t>(n) + 1, {});
  for (int p = 1; p <= n; ++p) {
    FillRow(p);
    ColourRow(p, TypeColour(p));
  }
  if (selected_ < 1 || selected_ > n) selected_ = 1;
  clicked_ = 0;
  Changed();
}

void PriorEditor::Changed() {
  if (onChange) onChange();
}

void PriorEditor::Open(std::function<void()> showCaller) {
  showCaller_ = std::move(showCaller);
  ui_.ShowWindow(names::kPriorEditorForm);
  Fill();
  ui_.SetStatus(5, 1, "Note: Unset parameters in your Bayesian Priors file have the value '*'");
}

void PriorEditor::Select(int parameter) {
  if (parameter < 1 || parameter > Parameters()) return;
  if (clicked_ != 0 && clicked_ != parameter) ColourRow(clicked_, TypeColour(clicked_));
  selected_ = parameter;
  clicked_ = parameter;
  bool bounded = LetterOf(ws_.Priors[parameter]) == 'T';
  ColourRow(parameter, PriorColour::Green, kTypeColumn, bounded ? kLastTermColumn : 3);
  Changed();
}

// ---------------------------------------------------------------- entries

// Every term of every type is a number: text that is not one is refused and
// asked again; the answer comes back with a decimal point.
std::optional<std::string> PriorEditor::Ask(std::string_view title, const std::string& prompt) {
  ui::NumberAnswer answer = ui::AskNumber(ui_, prompt, title, "");
  if (!answer.IsNumber()) return std::nullopt;
  return answer.text;
}

void PriorEditor::Store(int parameter, PriorEntry entry) {
  ws_.Priors[parameter] = std::move(entry);
  FillRow(parameter);
  bool bounded = LetterOf(ws_.Priors[parameter]) == 'T';
  ColourRow(parameter, PriorColour::Red, kTypeColumn, 3);
  ColourRow(parameter, bounded ? PriorColour::Red : PriorColour::Black, 4, kLastTermColumn);
  Changed();
}

bool PriorEditor::EnterUniformBounded(int p) {
  const char* title = "Uniform-bounded";
  auto left = Ask(title, Numbered("Choose left foot of parameter #", p));
  if (!left) return false;
  auto leftSd = Ask(title, Numbered("Choose SD @ the left foot of parameter #", p));
  if (!leftSd) return false;
  double leftFoot = Val(*left);
  for (;;) {
    auto right = Ask(title, Numbered("Choose right foot of parameter #", p) + ", it must exceed left foot.");
    if (!right) return false;
    auto rightSd = Ask(title, Numbered("Choose SD @ the right foot of parameter #", p));
    if (!rightSd) return false;
    // The right foot is kept as typed, so it must read as a number.
    PriorVariant rightFoot = PriorText(*right);
    if (!rightFoot.number || leftFoot >= *rightFoot.number) continue;
    Store(p, {"T", leftFoot, std::fabs(Val(*leftSd)), rightFoot, PriorNumber(std::fabs(Val(*rightSd)))});
    return true;
  }
}

bool PriorEditor::EnterBeta(int p) {
  const char* title = "Beta";
  auto meanText = Ask(title, Numbered("Choose mean (0 < mean < 1) of parameter #", p));
  if (!meanText) return false;
  auto sdText = Ask(title, Numbered("Choose SD (> 0) of parameter #", p));
  if (!sdText) return false;
  double mean = Val(*meanText), sd = Val(*sdText);
  if (mean <= 0 || mean >= 1 || sd == 0) return false;
  double m = std::fabs(mean), s = std::fabs(sd);
  double a = m * (m - m * m - s * s) / (s * s);
  double b = (1 - m) * (m - m * m - s * s) / (s * s);
  std::string beta = std::string(" of ") + kBetaSymbol + " (a,b) ";
  if (a > 0 && b > 0) {
    ui_.Message(title,
                "The corresponding values for 'a' & 'b'" + beta + "are: " + FormatNumber(a, "####0.####") + " & " +
                    FormatNumber(b, "####0.####"),
                style::kInformation);
    Store(p, {"B", m, s, UnusedTerm(), UnusedTerm()});
    return true;
  }
  std::string which = a > 0 ? "'b'" : "'a'";
  ui_.Message(title, "An unacceptable (< 0) value for " + which + beta + "is: " + FormatNumber(a > 0 ? b : a, "####0.####"),
              style::kExclamation);
  return false;
}

void PriorEditor::Enter(char letter) {
  const int p = selected_;
  if (p < 1 || p > Parameters()) return;
  // The two prompts of a type defined by a mean (or foot) and an SD.
  auto askPair = [&](const char* title, const char* first, const char* second) -> std::optional<std::pair<double, double>> {
    auto a = Ask(title, Numbered(first, p));
    if (!a) return std::nullopt;
    auto b = Ask(title, Numbered(second, p));
    if (!b) return std::nullopt;
    return std::pair{Val(*a), Val(*b)};
  };
  auto store = [&](const char* type, double first, double second) {
    Store(p, {type, first, second, UnusedTerm(), UnusedTerm()});
  };
  switch (letter) {
    case 'U': Store(p, DefaultPrior()); break;
    case 'T': EnterUniformBounded(p); break;
    case 'N':
      if (auto v = askPair("Gaussian (i.e., Normal)", "Choose mean of parameter #", "Choose SD of parameter #"))
        store("N", v->first, std::fabs(v->second));
      break;
    case 'E': {
      auto mean = Ask("Exponential",
                      Numbered("For the exponential distribution the instantaneous decay rate is equal to the "
                               "reciprocal of both the mean and the SD\r\n\r\n"
                               "Choose the mean (and thus SD) of parameter #",
                               p));
      if (mean) store("E", std::fabs(Val(*mean)), std::fabs(Val(*mean)));
      break;
    }
    case 'G':
      if (auto v = askPair("Gamma", "Choose mean (> 0) of parameter #", "Choose SD (0 < SD < Mean) of parameter #")) {
        auto [mean, sd] = *v;
        // The stored absolute values must keep the SD below the mean as well.
        if (sd >= mean || mean == 0 || sd == 0 || std::fabs(sd) >= std::fabs(mean)) break;
        store("G", std::fabs(mean), std::fabs(sd));
      }
      break;
    case 'B': EnterBeta(p); break;
    case 'S':
      if (auto v = askPair("Left-side cliff", "Choose left foot of parameter #", "Choose SD @ the left foot of parameter #"))
        store("S", v->first, std::fabs(v->second));
      break;
    case 'D':
      if (auto v = askPair("Right-side cliff", "Choose right foot of parameter #",
                           "Choose SD @ the right foot of parameter #"))
        store("D", v->first, std::fabs(v->second));
      break;
    case 'L':
      if (auto v = askPair("Ln-normal", "Choose mean (> 0) of parameter #", "Choose SD (> 0) of parameter #")) {
        if (v->first == 0 || v->second == 0) break;
        store("L", std::fabs(v->first), std::fabs(v->second));
      }
      break;
    default: break;
  }
}

// ---------------------------------------------------------------- commands

void PriorEditor::Profile() { ProfilePrior(ws_, ui_, selected_); }

void PriorEditor::Save() { WritePriorsFile(ws_, ui_, PriorsFileVariant::Editor); }

void PriorEditor::Help() {
  ui_.ShowWindow(names::kHelpForm);
  ui_.SetPaneText(names::kHelpForm, names::kHelpPane, PriorEditorHelpText());
}

void PriorEditor::ShowCaller() {
  if (showCaller_) showCaller_();
}

void PriorEditor::Finish() {
  Closed();
  ui_.CloseWindow(names::kPriorEditorForm);
}

void PriorEditor::Closed() {
  ui_.SetStatus(5, 1, "");
  ui_.Message("Just so you know", "Bayesian priors data, if changed, have been updated", style::kInformation);
  // The loader waited, hidden, while the editor was open.
  ui_.CloseWindow(names::kPriorsLoaderForm);
  if (!ws_.AnyPriorSet()) {
    ws_.PriorsActive = kOff;
    ShowCaller();
    return;
  }
  ws_.PriorsActive = kOn;
  if (ui_.Message("Save Bayesian priors", "Save Bayesian priors now?", style::kYesNo + style::kQuestion) ==
      ui::Answer::Yes)
    WritePriorsFile(ws_, ui_, PriorsFileVariant::Editor);
  // The priors are in -ln[L] units: the objective needs its constant.
  // Cancel keeps one entered before; without one the priors could not
  // count, so the prompt stays.
  while (!AskLikelihoodConstant(ws_, ui_) && !(ws_.ObjectiveScale > 0)) {
  }
  ui_.SetStatus(5, 1, "");
  ShowCaller();
}

}  // namespace kalvex
