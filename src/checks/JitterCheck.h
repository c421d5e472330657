#pragma once
// "Check the minimum...": the jittered starts of the current fit as the
// workbench asks for them. The questions fill the settings; the computation
// (Jitter.h) runs in its window (workflow/JitterWindow.h); a lower minimum
// than the current fit's is offered to the user.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "checks/Jitter.h"
#include "checks/ReportSave.h"
#include "ui/Frontend.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::checks {

inline constexpr const char* kJitterTitle = "Check the minimum";

// A table of fitted starts and what it shows.
struct JitterCheck {
  JitterRun run;
  MinimaSummary minima;
  std::string report;  // the .jit text
  plots::Figure Picture() const { return MinimaFigure(run, minima); }
};

// A seed as typed: a whole number from 0 to 2^64 - 1, blanks around it allowed.
std::optional<std::uint64_t> ParseSeed(std::string_view text);

// The questions: the number of starts, the spread, the seed and the
// minimizer (S, or Marquardt with N or A derivatives), each proposing
// the last settings; an answer that is not one asks again. nullopt when one
// was cancelled.
std::optional<JitterSettings> AskJitterSettings(ui::Frontend& ui, const JitterSettings& last);

// When the best minimum lies below the current fit's, asks "A lower minimum
// was found by start k: take its values?" (No the default) and on Yes makes
// them the current values. True when they were taken.
bool OfferLowerMinimum(Workspace& ws, ui::Frontend& ui, const JitterCheck& check);

}  // namespace kalvex::checks
