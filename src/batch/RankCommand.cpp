#include <cmath>
#include <ostream>

#include "batch/Commands.h"
#include "ranking/ModelRanking.h"
#include "workspace/Format.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

// Adds the next algorithm file as the ranking form's load command does.
// Returns 0 or the exit code.
int AddModel(BatchContext& context, ranking::ModelRanking& ranking, const std::string& path) {
  const int models = ranking.Table().Count();
  const int messages = context.ui.MessageCount();
  context.ui.QueueOpenPath(path);
  if (ranking.LoadAlgorithmData() != AlgorithmLoadOutcome::Loaded) {
    // The reader has shown why, unless the file could not be opened at all.
    if (context.ui.MessageCount() == messages)
      return BadInput(context, "Problem Reading Algorithm File!", "The algorithm file " + path + " cannot be read");
    return 1;
  }
  return ranking.Table().Count() > models ? 0 : 1;
}

}  // namespace

// The ranking form driven from the command line: every --alg a model in the
// order given, then C-hat, the ranking, the averaging and the ".mms" file.
int RankCommand(BatchContext& context) {
  Workspace& ws = context.ws;
  const Arguments& args = context.args;
  const std::vector<std::string>& algs = args.repeated.at("alg");
  if (algs.size() < 2) return BadInput(context, kTitle, "rank needs two or more --alg files to rank");
  std::optional<std::string> chat = args.Option("chat");
  if (chat) {
    std::optional<double> value = ParseNumber(*chat);
    if (!value || !(*value >= 1)) return BadInput(context, kTitle, "--chat must be a number of at least 1");
  }
  // The common set-up loaded the last file; the ranking starts from the first.
  AlgorithmReadResult first = LoadAlgorithmFile(ws, context.ui, algs.front());
  if (first.status != AlgorithmReadStatus::Read) return 1;

  ranking::ModelRanking ranking(ws, context.ui);
  ranking.Open({});
  if (ranking.Table().Count() != 1) return 1;
  for (std::size_t i = 1; i < algs.size(); ++i)
    if (int code = AddModel(context, ranking, algs[i])) return code;
  if (chat) {
    context.ui.AnswerInput("Overdispersion correction", *chat);
    ranking.ChangeCHat();
  }
  ranking.Rank();
  if (!ranking.Table().Ranked()) return 1;
  if (args.flags.count("average") && !ranking.Average()) return 1;
  context.ui.QueueSavePath(args.options.at("out"));
  if (ranking.SaveRanking() != ranking::RankingSaveOutcome::Saved) return 1;

  const ranking::ModelTable& table = ranking.Table();
  for (int position = 1; position <= table.Count(); ++position) {
    const ranking::ModelRow& row = table.Shown(position);
    context.out << "model " << position << ' ' << row.ModelNumber << ' ' << ShortestText(table.Criterion(row)) << ' '
                << ShortestText(*row.Delta) << ' ' << ShortestText(*row.Weight) << '\n';
  }
  return 0;
}

}  // namespace kalvex::batch
