#include "workspace/PriorTable.h"

#include "workspace/Format.h"

namespace kalvex {

std::string DistributionName(std::string_view letter) {
  static const char* const kNames[] = {"Uniform - unbounded", "Uniform - bounded", "Gaussian or Normal",
                                       "Exponential",         "Gamma",             "Beta",
                                       "Left-side cliff",     "Right-side cliff",  "Ln-normal"};
  if (letter.size() == 1) {
    std::size_t index = kPriorLetters.find(letter[0]);
    if (index != std::string_view::npos) return kNames[index];
  }
  return std::string(letter);
}

PriorVariant PriorNumber(double value) { return {false, std::string(), value}; }

PriorVariant PriorText(std::string_view text) { return {true, std::string(text), ParseNumber(text)}; }

PriorEntry DefaultPrior() { return PriorEntry{"U", kPriorUnset, kPriorUnset, UnusedTerm(), UnusedTerm()}; }

void ResetPriorTable(Workspace& ws) {
  ws.Priors.assign(static_cast<std::size_t>(ws.Alg.NumParameters) + 1, DefaultPrior());
}

void ApplyPriorsActiveRule(Workspace& ws) { ws.PriorsActive = ws.AnyPriorSet() ? kOn : kOff; }

std::string GridTermText(double value) {
  return value == kPriorUnset ? "*" : FormatNumber(value, "0.000E+000");
}

std::string GridTermText(const PriorVariant& term) {
  if (!term.number) return term.text;
  return GridTermText(*term.number);
}

}  // namespace kalvex
