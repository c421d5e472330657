#include <ostream>

#include "batch/Commands.h"
#include "batch/ReportFiles.h"
#include "workflow/JitterWindow.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

// The settings of the options, the window's defaults for those not given;
// nullopt after the message of a bad one.
std::optional<checks::JitterSettings> SettingsOf(BatchContext& context) {
  const Arguments& args = context.args;
  checks::JitterSettings settings;
  if (auto starts = args.Option("starts")) {
    std::optional<int> count = WholeNumberIn(*starts, 1, checks::kMaxJitterStarts);
    if (!count) {
      BadInput(context, kTitle,
               "--starts must be a whole number from 1 to " + std::to_string(checks::kMaxJitterStarts));
      return std::nullopt;
    }
    settings.starts = *count;
  }
  if (auto spread = args.Option("spread")) {
    std::optional<double> j = ParseNumber(*spread);
    if (!j || !(*j > 0)) {
      BadInput(context, kTitle, "--spread must be a positive number");
      return std::nullopt;
    }
    settings.spread = *j;
  }
  if (auto seed = args.Option("seed")) {
    std::optional<std::uint64_t> s = checks::ParseSeed(*seed);
    if (!s) {
      BadInput(context, kTitle, "--seed must be a whole number from 0 to 18446744073709551615");
      return std::nullopt;
    }
    settings.seed = *s;
  }
  std::optional<MinimizerChoice> choice = MinimizerChoiceOf(context);
  if (!choice) return std::nullopt;
  settings.minimizer = choice->marquardt ? checks::FitMinimizer::Marquardt : checks::FitMinimizer::Simplex;
  settings.analytical = choice->analytical;
  if (std::optional<std::string> refusal = settings.Validate()) {
    BadInput(context, kTitle, *refusal);
    return std::nullopt;
  }
  return settings;
}

std::string ObjectiveText(const std::optional<double>& objective) { return objective ? ShortestText(*objective) : "-"; }

}  // namespace

// The jittered starts of the loaded fit, as the workbench's "Check the
// minimum..." runs them: the report written as its window saves it and,
// with --plot, the picture of the minima reached; both or neither. Prints
// each start and the minima.
int JitterCommand(BatchContext& context) {
  if (int refused = RefusePlotWithoutPictures(context)) return refused;
  std::optional<checks::JitterSettings> settings = SettingsOf(context);
  if (!settings) return 1;
  Workspace& ws = context.ws;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  std::optional<checks::JitterCheck> check = workflow::RunJitterCheck(ws, context.ui, *settings);
  if (!check) return 1;
  if (int failed = SaveReportAndPicture(
          context, check->report, [&] { return check->Picture(); }, "The report"))
    return failed;

  const checks::JitterRun& run = check->run;
  const checks::MinimaSummary& minima = check->minima;
  for (std::size_t k = 0; k < run.starts.size(); ++k) {
    const checks::StartOutcome& start = run.starts[k];
    context.out << "start " << k + 1 << ' ' << ObjectiveText(start.reached.objective) << ' ' << checks::EndedWord(start)
                << ' ' << start.calls << '\n';
  }
  context.out << "best "
              << ObjectiveText(minima.minima.empty() ? std::nullopt : std::optional(minima.minima.front().objective))
              << '\n'
              << "reached " << minima.ReachedBest() << ' ' << run.starts.size() << '\n'
              << "minima " << minima.minima.size() << '\n';
  return 0;
}

}  // namespace kalvex::batch
