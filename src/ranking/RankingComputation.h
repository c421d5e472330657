#pragma once
// The model ranking and averaging as computations on the workspace's
// current model and a table, shared by the ranking window and kalvex-batch:
// the settings the window's questions (or the command line) fill, a model
// added as a row, the ranking and the averaging over the ranked models'
// covariance files. Refusals and numeric faults are shown in boxes with the
// window's titles; nothing here asks a question.
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "ranking/ModelTable.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;
}  // namespace kalvex

namespace kalvex::ranking {

// The contents of covariance files a run writes together at its end, by
// path: until they are in place the ranking reads them from here.
using StagedFiles = std::map<std::string, std::string>;

struct RankingSettings {
  double chat = 1;       // C-hat, 1 or more: QAICc above 1
  bool average = false;  // average the ranked models' estimates
  std::optional<std::string> Validate() const;
};

// Adds the model whose algorithm data the workspace holds as the table's
// next row: its -ln[L] at its values (one evaluation with NF = 1), K and n,
// the covariance file beside its algorithm file and its priors file. A full
// table, a model without a file name or a sample too small for the AICc is
// refused in a box. askConstant (the window's prompt before the first
// model's -ln[L]) runs after the evaluation; empty: the workspace's scale as
// it is; false from it (cancelled) adds nothing. A numeric fault is shown and
// adds nothing. True when a row was added.
bool AddModel(Workspace& ws, ui::Frontend& ui, ModelTable& table, const std::function<bool()>& askConstant = {},
              const StagedFiles* staged = nullptr);

// Ranks the table; a fault in a difference is shown. True when ranked.
bool RankModels(Workspace& ws, ui::Frontend& ui, ModelTable& table);

// The averaging text of a ranked table over its models' covariance files,
// read for numParameters parameters; nullopt after the box of a missing or
// unreadable file or of a fault.
std::optional<std::string> AverageRankedModels(Workspace& ws, ui::Frontend& ui, const ModelTable& table,
                                               const StagedFiles* staged = nullptr);

// The covariance file that goes with an algorithm file: its name less the
// last four characters, then ".cov" (the name its save dialog proposes).
std::string CovarianceFileFor(const std::string& algorithmFile);
// Where a covariance file name is read: a name without a folder lies in the
// folder of the given algorithm file.
std::string PathBeside(const std::string& algorithmFileName, const std::string& name);

// A regular file that can be opened for reading.
bool ReadableFile(const std::string& path);

}  // namespace kalvex::ranking
