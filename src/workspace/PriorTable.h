#pragma once
// The prior table's vocabulary: the nine type letters and their display
// names, the variant terms, the defaults and the rule that switches the
// priors on.
#include <optional>
#include <string>
#include <string_view>

#include "workspace/Workspace.h"

namespace kalvex {

inline const std::string kUnusedTerm = "Unused";

// The nine types in the order of their display names.
inline constexpr std::string_view kPriorLetters = "UTNEGBSDL";

// "Uniform - unbounded", "Uniform - bounded", "Gaussian or Normal",
// "Exponential", "Gamma", "Beta", "Left-side cliff", "Right-side cliff",
// "Ln-normal"; a letter outside the nine is named by itself.
std::string DistributionName(std::string_view letter);

// The type letter of an entry as one character (0 when the text is not one
// character long).
inline char LetterOf(const PriorEntry& entry) {
  return entry.TypeLetters.size() == 1 ? entry.TypeLetters[0] : '\0';
}

// A variant term holding a number.
PriorVariant PriorNumber(double value);
// A variant term holding a text; a text that reads as a number (blanks
// around it allowed) has that number as its numeric reading.
PriorVariant PriorText(std::string_view text);
inline PriorVariant UnusedTerm() { return PriorText(kUnusedTerm); }

// The uniform-unbounded entry: unset markers and two unused terms.
PriorEntry DefaultPrior();

// Every parameter uniform-unbounded, sized for NumParameters.
void ResetPriorTable(Workspace& ws);

// PriorsActive is "on" exactly when some parameter's type is not U.
void ApplyPriorsActiveRule(Workspace& ws);

// A term as the editor's grid shows it: "*" for the unset marker, a text
// that is not a number as it is ("Unused"), any other value "0.000E+000".
std::string GridTermText(double value);
std::string GridTermText(const PriorVariant& term);

}  // namespace kalvex
