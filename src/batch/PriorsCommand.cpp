#include <cmath>
#include <ostream>

#include "batch/Commands.h"
#include "covariance/LikelihoodConstant.h"
#include "priors/PriorProfile.h"
#include "priors/PriorReview.h"
#include "priors/PriorsFile.h"
#include "ui/PaneFile.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

// Commands whose results do not depend on the constant.
bool NeedsConstant(const std::string& command) {
  return command != "priors" && command != "prior-profile" && command != "alg";
}

int WriteReport(BatchContext& context, const std::string& path, const std::string& report) {
  if (std::optional<std::string> error = SaveTextFile(path, ui::SavedPaneText(path, report)))
    return BadInput(context, "Save failed", "The report could not be saved to " + path + ": " + *error);
  return 0;
}

}  // namespace

int SetUpConstantAndPriors(BatchContext& context) {
  Workspace& ws = context.ws;
  const Arguments& args = context.args;
  if (auto constant = args.Option("constant")) {
    std::optional<double> c = ParseNumber(*constant);
    if (!c) return BadInput(context, kTitle, "--constant must be a number");
    if (!(*c > 0) || !std::isfinite(*c)) {
      ShowInsufficientDegreesOfFreedom(context.ui);
      return 1;
    }
    ws.ObjectiveScale = 1 / *c;
  }
  auto path = args.Option("priors");
  if (!path) return 0;
  // Without a constant the priors would add nothing to the objective.
  if (!args.Option("constant") && NeedsConstant(args.command))
    return BadInput(context, kTitle, "--priors needs --constant C, the constant that makes the objective the -ln[L]");
  PriorsReadOutcome read = ReadPriorsFile(ws, context.ui, *path, PriorsCountMismatch::Refuse);
  if (!read.opened || read.parse.status == PriorsFileStatus::CountMismatch) return 1;
  if (read.parse.status == PriorsFileStatus::Short)
    return BadInput(context, "Bayes information",
                    "Bayesian priors file " + *path + " ends after " + std::to_string(read.parse.linesRead) +
                        " of its " + std::to_string(ws.Alg.NumParameters) + " parameters");
  ws.PriorsFileName = *path;
  return 0;
}

// The table as read, written as the editor's save writes it.
int PriorsCommand(BatchContext& context) {
  Workspace& ws = context.ws;
  const std::string& out = context.args.options.at("out");
  if (std::optional<std::string> error = SavePriorsFile(ws, out))
    return BadInput(context, "Save failed", "The Bayesian priors could not be saved in " + out + "\r\n\r\n" + *error);
  context.out << "priors_active " << ws.PriorsActive << '\n';
  return 0;
}

int PriorProfileCommand(BatchContext& context) {
  Workspace& ws = context.ws;
  const Arguments& args = context.args;
  const int n = ws.Alg.NumParameters;
  std::optional<int> parameter = WholeNumberIn(args.options.at("parameter"), 1, n);
  if (!parameter)
    return BadInput(context, kTitle, "--parameter must be a whole number from 1 to " + std::to_string(n));
  PriorProfileSettings settings;
  settings.parameter = *parameter;
  if (auto points = args.Option("points")) {
    std::optional<int> number = WholeNumberIn(*points, 0, kMaxPriorProfilePoints);
    if (!number) return BadInput(context, kTitle, "--points must be a whole number from 0 to 1001");
    settings.requestedPoints = *number;
  }
  if (std::optional<std::string> refusal = settings.Validate(ws.Priors))
    return BadInput(context, kPriorProfileTitle, *refusal);
  PriorProfile profile = ComputePriorProfile(ws.Priors, settings);
  if (int code = WriteReport(context, args.options.at("out"), PriorProfileReport(profile)))
    return code;
  context.out << "points " << profile.table.PointCount << '\n';
  context.out << "mode " << ShortestText(profile.summary.ModeValue) << '\n';
  context.out << "expected " << ShortestText(profile.summary.ExpectedValue) << '\n';
  context.out << "se " << ShortestText(profile.summary.EstimatedSE) << '\n';
  return 0;
}

int ReviewCommand(BatchContext& context) {
  Workspace& ws = context.ws;
  const PriorReviewSettings settings = PriorReviewSettingsOf(ws);
  if (std::optional<std::string> refusal = settings.Validate(ws.Priors)) return BadInput(context, kTitle, *refusal);
  const PriorReview review = ComputePriorReview(ws.Priors, settings);
  if (int code = WriteReport(context, context.args.options.at("out"), PriorReviewText(review))) return code;
  context.out << "prior_value " << ShortestText(review.priorValue) << '\n';
  return 0;
}

}  // namespace kalvex::batch
