#include <cmath>
#include <ostream>

#include "algorithm/AlgorithmCommands.h"
#include "batch/Commands.h"
#include "ranking/RankingComputation.h"
#include "ranking/RankingText.h"
#include "workspace/Format.h"
#include "workspace/RunFiles.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

}  // namespace

// The ranking from the command line: every --alg a model in the order given
// (added as the ranking window adds the algorithm data it loads), then the
// settings' C-hat, the ranking, the averaging and the ".mms" file.
int RankCommand(BatchContext& context) {
  Workspace& ws = context.ws;
  const Arguments& args = context.args;
  const std::vector<std::string>& algs = args.repeated.at("alg");
  if (algs.size() < 2) return BadInput(context, kTitle, "rank needs two or more --alg files to rank");
  ranking::RankingSettings settings;
  if (auto chat = args.Option("chat")) settings.chat = ParseNumber(*chat).value_or(0);
  if (settings.Validate()) return BadInput(context, kTitle, "--chat must be a number of at least 1");
  settings.average = args.flags.count("average") > 0;

  ranking::ModelTable table;
  for (const std::string& path : algs) {
    AlgorithmReadResult read = LoadAlgorithmFile(ws, context.ui, path);
    // The reader has shown why, unless the file could not be opened at all.
    if (read.status == AlgorithmReadStatus::OpenFailed)
      return BadInput(context, "Problem Reading Algorithm File!", "The algorithm file " + path + " cannot be read");
    if (read.status != AlgorithmReadStatus::Read || !ranking::AddModel(ws, context.ui, table)) return 1;
  }
  table.SetCHat(settings.chat);
  if (!ranking::RankModels(ws, context.ui, table)) return 1;
  std::optional<std::string> average;
  if (settings.average && !(average = ranking::AverageRankedModels(ws, context.ui, table))) return 1;

  RunFiles files;
  files.Add(args.options.at("out"), ranking::RankingFileText(table, average), "The ranking results");
  if (std::optional<std::string> error = files.Save()) return BadInput(context, "Save failed", *error);
  for (int position = 1; position <= table.Count(); ++position) {
    const ranking::ModelRow& row = table.Shown(position);
    context.out << "model " << position << ' ' << row.ModelNumber << ' ' << ShortestText(table.Criterion(row)) << ' '
                << ShortestText(*row.Delta) << ' ' << ShortestText(*row.Weight) << '\n';
  }
  return 0;
}

}  // namespace kalvex::batch
