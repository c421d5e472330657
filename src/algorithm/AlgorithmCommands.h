#pragma once
// The load and save commands of the algorithm data, as the main menu
// ("&Load algorithm data", "&Save algorithm data") and the model-ranking form
// ("&Load Algorithm Data", "&Save Algorithm Data") offer them.
#include <array>
#include <functional>
#include <string_view>

#include "algorithm/AlgorithmFile.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// Loads path without dialogs (both load commands and the batch front end):
// AlgorithmFileName and AlgorithmShortName name it, the reader shows its
// message for a bad file, and a read file gets its tolerance normalized and
// clears SimplexStateKept. OpenFailed shows nothing.
AlgorithmReadResult LoadAlgorithmFile(Workspace& ws, ui::Frontend& ui, const std::string& path);

enum class AlgorithmLoadOutcome {
  Loaded,     // a file was read
  Defaulted,  // the default algorithm data with a date-time name
  Cancelled,  // the question or the open dialog was cancelled
  Failed,     // the file could not be opened or read (its message was shown)
};

// "&Load algorithm data" of the main menu: asks whether to load a file or take
// the defaults, and reads or defaults (the main menu applies its rules after).
AlgorithmLoadOutcome LoadAlgorithmDataFromMenu(Workspace& ws, ui::Frontend& ui);

// "&Save algorithm data" of the main menu (which disables its buttons meanwhile).
AlgorithmSaveOutcome SaveAlgorithmDataFromMenu(Workspace& ws, ui::Frontend& ui);

// What the ranking does around its load and save. Either may be empty.
struct RankingFormHooks {
  std::function<void()> clearAveraging;      // drop the averaging result shown
  std::function<void()> calculateModelAICc;  // calculate the model's AICc
};

// "&Load Algorithm Data" of the ranking: the open dialog without a question;
// after a read the model's AICc is calculated.
AlgorithmLoadOutcome LoadAlgorithmDataFromRanking(Workspace& ws, ui::Frontend& ui, const RankingFormHooks& hooks);

// "&Save Algorithm Data" of the ranking.
AlgorithmSaveOutcome SaveAlgorithmDataFromRanking(Workspace& ws, ui::Frontend& ui, const RankingFormHooks& hooks);

}  // namespace kalvex
