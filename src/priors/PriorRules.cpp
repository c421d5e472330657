#include "priors/PriorRules.h"

#include "workspace/PriorTable.h"

namespace kalvex {
namespace {

using Rule = std::optional<std::string>;

// An SD the editor keeps as typed in absolute value; 0 is a hard wall where
// the type has one (the feet of the cliffs and of the bounded uniform).
Rule NotNegative(double value, const char* what) {
  if (value >= 0) return std::nullopt;
  return std::string("the ") + what + " must not be negative";
}

Rule Positive(double value, const char* what) {
  if (value > 0) return std::nullopt;
  return std::string("the ") + what + " must be greater than 0";
}

Rule BetaRule(double mean, double sd) {
  if (!(mean > 0 && mean < 1)) return "the mean must lie between 0 and 1";
  if (Rule rule = Positive(sd, "SD")) return rule;
  // a and b of Beta(a, b) are both positive exactly when SD^2 < mean (1 - mean).
  if (!(sd * sd < mean * (1 - mean))) return "the SD must be less than the square root of mean x (1 - mean)";
  return std::nullopt;
}

Rule BoundedRule(const PriorEntry& entry) {
  if (Rule rule = NotNegative(entry.SecondTerm, "SD at the left foot")) return rule;
  if (!entry.ThirdTerm.number) return "the right foot must be a number";
  if (!(*entry.ThirdTerm.number > entry.FirstTerm)) return "the right foot must exceed the left foot";
  if (!entry.FourthTerm.number) return "the SD at the right foot must be a number";
  return NotNegative(*entry.FourthTerm.number, "SD at the right foot");
}

}  // namespace

std::optional<std::string> BrokenPriorRule(const PriorEntry& entry) {
  const double first = entry.FirstTerm, second = entry.SecondTerm;
  switch (LetterOf(entry)) {
    // A zero SD would divide by zero at every value.
    case 'N': return Positive(second, "SD");
    case 'E':
      if (Rule rule = Positive(first, "mean")) return rule;
      if (second != first) return std::string("the SD must equal the mean");
      return std::nullopt;
    case 'G':
      if (Rule rule = Positive(first, "mean")) return rule;
      if (Rule rule = Positive(second, "SD")) return rule;
      if (!(second < first)) return std::string("the SD must be less than the mean");
      return std::nullopt;
    case 'L':
      if (Rule rule = Positive(first, "mean")) return rule;
      return Positive(second, "SD");
    case 'B': return BetaRule(first, second);
    case 'S': return NotNegative(second, "SD at the left foot");
    case 'D': return NotNegative(second, "SD at the right foot");
    case 'T': return BoundedRule(entry);
    default: return std::nullopt;
  }
}

}  // namespace kalvex
