#include <ostream>

#include "batch/Commands.h"
#include "batch/PlotPicture.h"
#include "covariance/CovarianceCalculator.h"
#include "evaluation/EvaluationPrompts.h"
#include "evaluation/EvaluationReport.h"
#include "evaluation/LikelihoodProfile.h"
#include "evaluation/PosteriorIntegration.h"
#include "plots/DistributionPlot.h"
#include "ui/PaneFile.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"
#include "workspace/RunFiles.h"

namespace kalvex::batch {
namespace {

constexpr const char* kTitle = "kalvex-batch";

// An evaluation flag ("on") for the length of a command.
class ActiveFlag {
 public:
  explicit ActiveFlag(std::string& flag) : flag_(flag) { flag_ = kOn; }
  ~ActiveFlag() { flag_ = kOff; }
  ActiveFlag(const ActiveFlag&) = delete;
  ActiveFlag& operator=(const ActiveFlag&) = delete;

 private:
  std::string& flag_;
};

// The options both commands share: the parameter, the plot check, and the
// covariance grid the steps come from (run first, with default factors).
struct CommonChoices {
  int parameter = 0;
  int stepGrid = 0;  // 0: the loaded steps
};

std::optional<int> ReadCommon(BatchContext& context, CommonChoices& choices) {
  const Arguments& args = context.args;
  if (args.Option("plot") && !PlotPicturesBuilt())
    return BadInput(context, kTitle, "this build draws no pictures: --plot needs the build with the Qt workbench");
  std::optional<int> parameter = WholeNumberIn(args.options.at("parameter"), 1, context.ws.Alg.NumParameters);
  if (!parameter)
    return BadInput(context, kTitle,
                    "--parameter must be a whole number from 1 to " + std::to_string(context.ws.Alg.NumParameters));
  choices.parameter = *parameter;
  if (auto grid = args.Option("steps-from-grid")) {
    std::optional<int> g = WholeNumberIn(*grid, 1, kGridCount);
    if (!g) return BadInput(context, kTitle, "--steps-from-grid must be 1, 2 or 3");
    choices.stepGrid = *g;
  }
  return std::nullopt;
}

// The covariance grids at the loaded values and steps (with --grid-factors
// when given); false (after the reason) when the chosen grid gave no
// standard errors.
bool RunCovarianceForSteps(BatchContext& context, int grid) {
  Workspace& ws = context.ws;
  std::optional<CovarianceSettings> settings = CovarianceSettingsOf(context);
  if (!settings || RunCovariance(ws, context.ui, *settings) != CovarianceRunEnd::Completed) return false;
  ws.CovarianceResultsValid = kOn;
  if (GridHasStandardErrors(ws, grid)) return true;
  BadInput(context, kTitle, "covariance grid " + std::to_string(grid) + " gave no standard errors to step by");
  return false;
}

// What the run left in ws.Evaluation written as one save: the report as
// its window saves it, the picture of its distribution plot and (a
// posterior with one integrated parameter) the bivariate grid; a failed
// save keeps every old file. Then the summary lines.
int Finish(BatchContext& context, EvaluationEnd end, std::string_view reportTitle, std::string_view series2Title) {
  if (end != EvaluationEnd::Results) return 1;
  Workspace& ws = context.ws;
  const Arguments& args = context.args;
  const std::string& out = args.options.at("out");
  const EvaluationState& kept = ws.Evaluation;
  RunFiles files;
  files.Add(out, ui::SavedPaneText(out, EvaluationReportText(reportTitle, kept.Table, kept.Summary, kept.Note)),
            "The report");
  if (auto plot = args.Option("plot")) {
    std::string picture;
    const plots::DistributionPlotData data{kept.Table, kept.Summary, ws.EvaluatedParameter, std::string(series2Title)};
    if (std::optional<std::string> error = EncodeDistributionPicture(data, *plot, picture))
      return BadInput(context, "Save failed", "The picture could not be saved to " + *plot + ": " + *error);
    files.Add(*plot, std::move(picture), "The picture");
  }
  if (auto grid = args.Option("grid"); grid && kept.Bivariate.PointCount > 0)
    files.Add(*grid, BivariateGridText(kept.Bivariate), "The grid values");
  if (std::optional<std::string> error = files.Save()) return BadInput(context, "Save failed", *error);
  const EvaluationSummary& s = kept.Summary;
  context.out << "mode " << ShortestText(s.ModeValue) << '\n'
              << "expected " << ShortestText(s.ExpectedValue) << '\n'
              << "diff " << ShortestText(s.EstimatedDiff) << '\n'
              << "se " << ShortestText(s.EstimatedSE) << '\n';
  return 0;
}

}  // namespace

// The likelihood profile with the window's questions answered from the
// options: the parameter, the point count (the window's rules), the
// minimizer (Marquardt with numerical derivatives, or the model's with
// --analytical), the step basis.
int ProfileBatchCommand(BatchContext& context) {
  CommonChoices choices;
  if (std::optional<int> code = ReadCommon(context, choices)) return *code;
  const Arguments& args = context.args;
  Workspace& ws = context.ws;
  ProfileSettings settings;
  settings.parameter = choices.parameter;
  std::optional<double> number = ParseNumber(args.Option("points").value_or("25"));
  std::optional<int> points = number ? ProfilePointCount(*number) : std::nullopt;
  if (!points) return BadInput(context, kTitle, "--points must be a number from 0 to 1001");
  settings.pointCount = *points;
  std::optional<MinimizerChoice> choice = MinimizerChoiceOf(context);
  if (!choice) return 1;
  settings.minimizer = choice->marquardt ? 'M' : 'S';
  if (choice->marquardt) ws.DerivativeMode = choice->analytical ? "A" : "N";
  if (choices.stepGrid != 0) {
    if (!RunCovarianceForSteps(context, choices.stepGrid)) return 1;
    StepsFromGrid(ws, choices.stepGrid, 24, 3.0 * settings.pointCount - 3);
  }
  if (ws.Alg.Steps[settings.parameter] == 0)
    return BadInput(context, kProfileTitle, "The parameter chosen has a step size of zero; please try again");

  EvaluationEnd end;
  {
    ActiveFlag active(ws.ProfileEvaluationActive);
    end = RunLikelihoodProfile(ws, context.ui, settings);
  }
  return Finish(context, end, kMaxLikeReportTitle, plots::kConfidenceTitle);
}

// The posterior with the window's questions answered from the options; the
// integrated parameters are the other free parameters of the algorithm data.
int PosteriorBatchCommand(BatchContext& context) {
  CommonChoices choices;
  if (std::optional<int> code = ReadCommon(context, choices)) return *code;
  const Arguments& args = context.args;
  Workspace& ws = context.ws;
  PosteriorSettings settings;
  settings.parameter = choices.parameter;
  std::optional<double> points = ParseNumber(args.Option("points").value_or("25"));
  std::optional<int> count = points ? PosteriorPointCount(*points) : std::nullopt;
  if (!count) return BadInput(context, kTitle, "--points must be a number from 1 to 1001");
  settings.pointCount = *count;
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  if (ws.Free.FreeCount > 1) {
    std::optional<double> gridPoints = ParseNumber(args.Option("grid-points").value_or("25"));
    std::optional<int> grid = gridPoints ? PosteriorGridPointCount(*gridPoints) : std::nullopt;
    if (!grid) return BadInput(context, kTitle, "--grid-points must be a number from 1 to 1001");
    settings.gridPointCount = *grid;
  } else {
    settings.gridPointCount = 0;
  }
  if (choices.stepGrid != 0) {
    if (!RunCovarianceForSteps(context, choices.stepGrid)) return 1;
    StepsFromGrid(ws, choices.stepGrid, 7, settings.gridPointCount - 1.0);
    StepFromGrid(ws, choices.stepGrid, settings.parameter, 24, 3.0 * settings.pointCount - 3);
  }
  if (ws.Alg.Steps[settings.parameter] == 0)
    return BadInput(context, "Problem with setup", "The parameter chosen has a step size of zero; please try again");
  const bool primary = context.role.primary;
  EvaluationOptions options;
  options.spreadNodes = context.role.spreadNodes;
  EvaluationEnd end;
  {
    ActiveFlag active(ws.PosteriorEvaluationActive);
    end = RunPosterior(ws, context.ui, settings, options);
  }
  if (!primary) return end == EvaluationEnd::Results ? 0 : 1;
  if (end == EvaluationEnd::Results && args.Option("grid") && ws.Evaluation.Bivariate.PointCount == 0)
    context.ui.Message(kTitle, "--grid: only a posterior with one integrated parameter has a bivariate grid",
                       ui::style::kExclamation);
  return Finish(context, end, kBayesianReportTitle, plots::kPosteriorTitle);
}

}  // namespace kalvex::batch
