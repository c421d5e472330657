#include <cmath>
#include <ostream>

#include "batch/Commands.h"
#include "batch/ReportFiles.h"
#include "checks/Hindcast.h"
#include "ui/RunContext.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

// --peels, --minimizer and --analytical as the window's settings; nullopt
// after the message of a bad option.
std::optional<checks::HindcastSettings> SettingsOf(BatchContext& context) {
  checks::HindcastSettings settings;
  if (auto peels = context.args.Option("peels")) {
    std::optional<int> count = WholeNumberIn(*peels, 0, 1000);
    if (!count) {
      BadInput(context, kTitle, "--peels must be a whole number");
      return std::nullopt;
    }
    settings.peels = *count;
  }
  std::optional<MinimizerChoice> choice = MinimizerChoiceOf(context);
  if (!choice) return std::nullopt;
  settings.method.minimizer = choice->marquardt ? checks::FitMinimizer::Marquardt : checks::FitMinimizer::Simplex;
  if (choice->analytical) settings.method.derivatives = Derivatives::Analytical;
  return settings;
}

void PrintHindcast(std::ostream& out, const checks::HindcastRun& run, const checks::HindcastSkill& skill) {
  for (const checks::PeelOutcome& peel : run.peels) {
    const checks::PeelForecast& f = peel.forecast;
    out << "peel " << f.peel << ' ' << ShortestText(f.lastYearFitted) << ' '
        << ShortestText(std::exp(f.forecastLnIndex)) << ' ' << ShortestText(f.lower) << ' ' << ShortestText(f.upper)
        << ' ' << ShortestText(f.observed) << '\n';
  }
  out << "rmse " << ShortestText(skill.rmse) << '\n'
      << "mae " << ShortestText(skill.mae) << '\n'
      << "bias " << ShortestText(skill.bias) << '\n'
      << "coverage " << skill.covered << ' ' << skill.peels << '\n'
      << "mase " << (skill.mase ? ShortestText(*skill.mase) : std::string("undefined")) << '\n';
  for (std::size_t i = 1; i < run.freeIndex.size(); ++i)
    out << "rho " << run.freeIndex[i] << ' '
        << (skill.mohnsRho[i] ? ShortestText(*skill.mohnsRho[i]) : std::string("undefined")) << '\n';
}

}  // namespace

// The hindcast of the loaded values on every core (--threads N): the .hnd
// report as the window saves it and, with --plot, its two pictures as one;
// both or neither. Prints one line per peel, then the skill.
int HindcastCommand(BatchContext& context) {
  if (int refused = RefusePlotWithoutPictures(context)) return refused;
  std::optional<checks::HindcastSettings> settings = SettingsOf(context);
  if (!settings) return 1;
  Workspace& ws = context.ws;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  std::optional<checks::HindcastInputs> inputs = checks::HindcastInputsOf(ws);
  if (!inputs) return BadInput(context, checks::kHindcastTitle, "This model has no forecast to hindcast.");
  RunContext run(ws, context.ui, {"", "Numeric fault", "", InterruptFlag::None});
  checks::HindcastOutcome outcome =
      checks::ComputeHindcast(*inputs, *settings, checks::RunContextTick(run, settings->peels, checks::kHindcastTitle));
  if (!outcome.run) return BadInput(context, checks::kHindcastTitle, outcome.refusal);
  if (int failed = SaveReportAndPicture(
          context, outcome.report, [&] { return checks::HindcastPicture(*outcome.run, outcome.skill); },
          "The hindcast"))
    return failed;
  PrintHindcast(context.out, *outcome.run, outcome.skill);
  return 0;
}

}  // namespace kalvex::batch
