#include "checks/JitterCheck.h"

#include <cctype>
#include <charconv>

#include "ui/RunContext.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
namespace {

namespace style = ui::style;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Asks until the answer reads; nullopt when it is cancelled or empty.
template <typename T, typename Read>
std::optional<T> AskUntilRead(ui::Frontend& ui, const std::string& prompt, const std::string& proposed, Read read) {
  for (;;) {
    std::optional<std::string> answer = ui.Input(prompt, kJitterTitle, proposed);
    if (!answer || answer->empty()) return std::nullopt;
    if (std::optional<T> value = read(*answer)) return value;
  }
}

char MinimizerLetter(const JitterSettings& s) {
  return s.minimizer == FitMinimizer::Simplex ? 'S' : s.analytical ? 'A' : 'N';
}

}  // namespace

std::optional<std::uint64_t> ParseSeed(std::string_view text) {
  text = Trimmed(text);
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return seed;
}

std::optional<JitterSettings> AskJitterSettings(ui::Frontend& ui, const JitterSettings& last) {
  JitterSettings settings = last;
  std::optional<int> starts = AskUntilRead<int>(
      ui,
      "How many jittered starts? Each is fitted from the current values moved at random.\r\n1 <= # starts <= " +
          std::to_string(kMaxJitterStarts),
      std::to_string(last.starts), [](const std::string& answer) -> std::optional<int> {
        std::optional<double> n = ParseNumber(answer);
        if (!n || !(*n >= 1 && *n <= kMaxJitterStarts) || *n != static_cast<int>(*n)) return std::nullopt;
        return static_cast<int>(*n);
      });
  if (!starts) return std::nullopt;
  settings.starts = *starts;
  std::optional<double> spread =
      AskUntilRead<double>(ui,
                           "The spread J > 0 of the starts: each free parameter starts at\r\n"
                           "value + J x u x max(|value|, |step|), u uniform on (-1, 1).",
                           GeneralNumber(last.spread), [](const std::string& answer) -> std::optional<double> {
                             std::optional<double> j = ParseNumber(answer);
                             if (!j || JitterSettings{1, *j}.Validate()) return std::nullopt;
                             return j;
                           });
  if (!spread) return std::nullopt;
  settings.spread = *spread;
  std::optional<std::uint64_t> seed = AskUntilRead<std::uint64_t>(
      ui, "The seed of the random numbers (a whole number >= 0): the same seed gives the same starts.",
      std::to_string(last.seed), ParseSeed);
  if (!seed) return std::nullopt;
  settings.seed = *seed;
  std::optional<char> letter =
      AskUntilRead<char>(ui,
                         "Fit each start with Simplex (S), or with Marquardt and numerical (N) or analytical (A) "
                         "derivatives?\r\nPlease enter S, N or A",
                         std::string(1, MinimizerLetter(last)), [](const std::string& answer) -> std::optional<char> {
                           const std::string_view trimmed = Trimmed(answer);
                           if (trimmed.size() != 1) return std::nullopt;
                           const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(trimmed[0])));
                           if (c != 'S' && c != 'N' && c != 'A') return std::nullopt;
                           return c;
                         });
  if (!letter) return std::nullopt;
  settings.minimizer = *letter == 'S' ? FitMinimizer::Simplex : FitMinimizer::Marquardt;
  settings.analytical = *letter == 'A';
  return settings;
}

bool OfferLowerMinimum(Workspace& ws, ui::Frontend& ui, const JitterCheck& check) {
  if (!LowerMinimumFound(check.run, check.minima)) return false;
  const int best = check.minima.BestFit();
  if (ui.Message(kJitterTitle, "A lower minimum was found by start " + std::to_string(best) + ": take its values?",
                 style::kYesNo + style::kQuestion + style::kSecondDefault) != ui::Answer::Yes)
    return false;
  std::vector<double> values =
      StartVector(ws.Alg.Values, check.run.freeIndex, check.run.starts[best - 1].reached.freeValues);
  RunContext run(ws, ui, {"", kJitterTitle, "", InterruptFlag::None});
  // Through the workspace: the links are expanded and the best-fit record describes the values taken.
  if (run.Run([&] { EvaluateObjectiveWithCode(ws, values, 1); }).faulted) return false;
  ws.Alg.Values = values;
  CollectFreeParameters(ws);
  ws.SimplexStateKept = false;
  ws.CovarianceResultsValid = kOff;
  return true;
}

}  // namespace kalvex::checks
