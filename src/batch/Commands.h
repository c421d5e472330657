#pragma once
// The subcommands of kalvex-batch. Each runs after the common set-up (model
// initialized from --species/--data, algorithm data loaded from --alg or
// defaulted) and returns the process exit code.
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch/Batch.h"
#include "batch/BatchFrontend.h"
#include "covariance/CovarianceComputation.h"
#include "workspace/Workspace.h"

namespace kalvex::batch {

struct Arguments {
  std::string command;
  std::map<std::string, std::string> options;  // --name value (the last one given)
  std::map<std::string, std::vector<std::string>> repeated;  // every value of each --name, in order
  std::set<std::string> flags;                 // --name
  std::optional<std::string> Option(const std::string& name) const;
};

struct BatchContext {
  Workspace& ws;
  BatchFrontend& ui;
  const Arguments& args;
  std::ostream& out;
  std::ostream& err;
  RankRole role = {};
};

// Shows a bad-input message (one line on standard error) and gives exit code 1.
int BadInput(BatchContext& context, const std::string& title, const std::string& text);

// The whole number an option's text gives within low..high; nullopt for any
// other text. The range is checked before the conversion, which is
// undefined for a number out of int's range.
std::optional<int> WholeNumberIn(const std::string& text, int low, int high);

using CommandFunction = int (*)(BatchContext&);

struct CommandSpec {
  const char* name;
  CommandFunction run;
  std::vector<std::string> valueOptions;  // besides --species, --data, --alg
  std::vector<std::string> flagOptions;
  std::vector<std::string> requiredOptions;
  const char* synopsis;
};

const std::vector<CommandSpec>& AllCommands();

int EvalCommand(BatchContext& context);
int AlgCommand(BatchContext& context);
int SimplexBatchCommand(BatchContext& context);
int MarquardtBatchCommand(BatchContext& context);
int SummaryCommand(BatchContext& context);
int CovarianceBatchCommand(BatchContext& context);
int PriorsCommand(BatchContext& context);
int PriorProfileCommand(BatchContext& context);
int ReviewCommand(BatchContext& context);
int ProfileBatchCommand(BatchContext& context);
int PosteriorBatchCommand(BatchContext& context);
int RankCommand(BatchContext& context);
int DiagnosticsCommand(BatchContext& context);
int JitterCommand(BatchContext& context);
int HindcastCommand(BatchContext& context);
int ReportCommand(BatchContext& context);

// The numerical covariance settings of --grid-factors A,B,C (three positive
// factors; the defaults without it) and the -ln[L] constant; nullopt after
// the message of a bad option.
std::optional<CovarianceSettings> CovarianceSettingsOf(BatchContext& context);

// --minimizer simplex|marquardt (the Simplex unless given) and --analytical,
// the model's exact derivatives, which only Marquardt takes; nullopt after
// the message of a bad option.
struct MinimizerChoice {
  bool marquardt = false;
  bool analytical = false;
};
std::optional<MinimizerChoice> MinimizerChoiceOf(BatchContext& context);

// The common options --constant C (the "Enter constant" answer: ObjectiveScale
// = 1 / C) and --priors FILE (read as the loader reads it). Returns 0 or the
// exit code.
int SetUpConstantAndPriors(BatchContext& context);

}  // namespace kalvex::batch
