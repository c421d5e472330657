#include "priors/PriorEntries.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "ui/NumberInput.h"
#include "workspace/Format.h"
#include "workspace/PriorTable.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

namespace style = ui::style;

// The Beta check's letter: the character with ANSI code 223.
constexpr const char* kBetaSymbol = "\u00DF";

std::string Numbered(const char* prompt, int parameter) { return prompt + std::to_string(parameter); }

// Every term of every type is a number: text that is not one is refused and
// asked again; the answer comes back with a decimal point.
std::optional<std::string> Ask(ui::Frontend& ui, std::string_view title, const std::string& prompt) {
  ui::NumberAnswer answer = ui::AskNumber(ui, prompt, title, "");
  if (!answer.IsNumber()) return std::nullopt;
  return answer.text;
}

// The two prompts of a term (a mean or a foot) and its SD: both answers, or
// nullopt when either was empty.
std::optional<std::pair<std::string, std::string>> AskPair(ui::Frontend& ui, std::string_view title,
                                                           const std::string& first, const char* second, int p) {
  auto a = Ask(ui, title, first);
  if (!a) return std::nullopt;
  auto b = Ask(ui, title, Numbered(second, p));
  if (!b) return std::nullopt;
  return std::pair{*a, *b};
}

std::optional<PriorEntry> AskUniformBounded(ui::Frontend& ui, int p) {
  const char* title = "Uniform-bounded";
  auto left =
      AskPair(ui, title, Numbered("Choose left foot of parameter #", p), "Choose SD @ the left foot of parameter #", p);
  if (!left) return std::nullopt;
  double leftFoot = Val(left->first);
  for (;;) {
    auto right = AskPair(ui, title, Numbered("Choose right foot of parameter #", p) + ", it must exceed left foot.",
                         "Choose SD @ the right foot of parameter #", p);
    if (!right) return std::nullopt;
    // The right foot is kept as typed, so it must read as a number.
    PriorVariant rightFoot = PriorText(right->first);
    if (!rightFoot.number || leftFoot >= *rightFoot.number) continue;
    return PriorEntry{"T", leftFoot, std::fabs(Val(left->second)), rightFoot,
                      PriorNumber(std::fabs(Val(right->second)))};
  }
}

std::optional<PriorEntry> AskBeta(ui::Frontend& ui, int p) {
  const char* title = "Beta";
  auto texts =
      AskPair(ui, title, Numbered("Choose mean (0 < mean < 1) of parameter #", p), "Choose SD (> 0) of parameter #", p);
  if (!texts) return std::nullopt;
  double mean = Val(texts->first), sd = Val(texts->second);
  if (mean <= 0 || mean >= 1 || sd == 0) return std::nullopt;
  double m = std::fabs(mean), s = std::fabs(sd);
  double a = m * (m - m * m - s * s) / (s * s);
  double b = (1 - m) * (m - m * m - s * s) / (s * s);
  std::string beta = std::string(" of ") + kBetaSymbol + " (a,b) ";
  if (a > 0 && b > 0) {
    ui.Message(title,
               "The corresponding values for 'a' & 'b'" + beta + "are: " + FormatNumber(a, "####0.####") + " & " +
                   FormatNumber(b, "####0.####"),
               style::kInformation);
    return PriorEntry{"B", m, s, UnusedTerm(), UnusedTerm()};
  }
  std::string which = a > 0 ? "'b'" : "'a'";
  ui.Message(title,
             "An unacceptable (< 0) value for " + which + beta + "is: " + FormatNumber(a > 0 ? b : a, "####0.####"),
             style::kExclamation);
  return std::nullopt;
}

}  // namespace

std::optional<PriorEntry> AskPriorEntry(ui::Frontend& ui, char letter, int p) {
  // The two prompts of a type defined by a mean (or foot) and an SD, as numbers.
  auto askPair = [&](const char* title, const char* first,
                     const char* second) -> std::optional<std::pair<double, double>> {
    auto texts = AskPair(ui, title, Numbered(first, p), second, p);
    if (!texts) return std::nullopt;
    return std::pair{Val(texts->first), Val(texts->second)};
  };
  auto entry = [](const char* type, double first, double second) {
    return PriorEntry{type, first, second, UnusedTerm(), UnusedTerm()};
  };
  switch (letter) {
    case 'U': return DefaultPrior();
    case 'T': return AskUniformBounded(ui, p);
    case 'N':
      if (auto v = askPair("Gaussian (i.e., Normal)", "Choose mean of parameter #", "Choose SD of parameter #"))
        return entry("N", v->first, std::fabs(v->second));
      return std::nullopt;
    case 'E': {
      auto mean = Ask(ui, "Exponential",
                      Numbered("For the exponential distribution the instantaneous decay rate is equal to the "
                               "reciprocal of both the mean and the SD\r\n\r\n"
                               "Choose the mean (and thus SD) of parameter #",
                               p));
      if (mean) return entry("E", std::fabs(Val(*mean)), std::fabs(Val(*mean)));
      return std::nullopt;
    }
    case 'G':
      if (auto v = askPair("Gamma", "Choose mean (> 0) of parameter #", "Choose SD (0 < SD < Mean) of parameter #")) {
        auto [mean, sd] = *v;
        // The stored absolute values must keep the SD below the mean as well.
        if (sd >= mean || mean == 0 || sd == 0 || std::fabs(sd) >= std::fabs(mean)) return std::nullopt;
        return entry("G", std::fabs(mean), std::fabs(sd));
      }
      return std::nullopt;
    case 'B': return AskBeta(ui, p);
    case 'S':
      if (auto v =
              askPair("Left-side cliff", "Choose left foot of parameter #", "Choose SD @ the left foot of parameter #"))
        return entry("S", v->first, std::fabs(v->second));
      return std::nullopt;
    case 'D':
      if (auto v = askPair("Right-side cliff", "Choose right foot of parameter #",
                           "Choose SD @ the right foot of parameter #"))
        return entry("D", v->first, std::fabs(v->second));
      return std::nullopt;
    case 'L':
      if (auto v = askPair("Ln-normal", "Choose mean (> 0) of parameter #", "Choose SD (> 0) of parameter #")) {
        if (v->first == 0 || v->second == 0) return std::nullopt;
        return entry("L", std::fabs(v->first), std::fabs(v->second));
      }
      return std::nullopt;
    default: return std::nullopt;
  }
}

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

}  // namespace kalvex
