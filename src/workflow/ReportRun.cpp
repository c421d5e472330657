#include "workflow/ReportRun.h"

#include <cmath>

#include "algorithm/AlgorithmCommands.h"
#include "checks/Hindcast.h"
#include "checks/Jitter.h"
#include "covariance/HessianGrids.h"
#include "evaluation/EvaluationPrompts.h"
#include "ranking/RankingComputation.h"
#include "report/ProfileSet.h"
#include "ui/PaneFile.h"
#include "ui/RunContext.h"
#include "workflow/MainMenu.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"

namespace kalvex::report {
namespace {

// The front end of the analyses of a report: every message box is passed
// on and also kept, so that a step that fails can say why in its section.
class KeptMessages : public ui::Frontend {
 public:
  explicit KeptMessages(ui::Frontend& ui) : ui_(ui) {}
  // The texts of the boxes shown since the last call, joined.
  std::string Take() {
    std::string text;
    for (const std::string& message : kept_) text += (text.empty() ? "" : " ") + message;
    kept_.clear();
    return text;
  }

  ui::Answer Message(std::string_view title, std::string_view text, int style) override {
    kept_.push_back(std::string(title) + ": " + std::string(text));
    return ui_.Message(title, text, style);
  }
  std::optional<std::string> Input(std::string_view p, std::string_view t, std::string_view d) override {
    return ui_.Input(p, t, d);
  }
  std::optional<std::string> OpenFile(const ui::FileDialog& d) override { return ui_.OpenFile(d); }
  std::optional<std::string> SaveFile(const ui::FileDialog& d) override { return ui_.SaveFile(d); }
  void SetStatus(int bar, int panel, std::string_view text) override { ui_.SetStatus(bar, panel, text); }
  void ClearStatusBars() override { ui_.ClearStatusBars(); }
  void ShowWindow(std::string_view form) override { ui_.ShowWindow(form); }
  void HideWindow(std::string_view form) override { ui_.HideWindow(form); }
  void CloseWindow(std::string_view form) override { ui_.CloseWindow(form); }
  bool IsWindowOpen(std::string_view form) const override { return ui_.IsWindowOpen(form); }
  void SetPaneText(std::string_view f, std::string_view p, std::string_view t) override { ui_.SetPaneText(f, p, t); }
  std::string PaneText(std::string_view f, std::string_view p) const override { return ui_.PaneText(f, p); }
  void SetEnabled(std::string_view f, std::string_view c, bool on) override { ui_.SetEnabled(f, c, on); }
  void SetVisible(std::string_view f, std::string_view c, bool on) override { ui_.SetVisible(f, c, on); }
  void SetCaption(std::string_view f, std::string_view c, std::string_view t) override { ui_.SetCaption(f, c, t); }
  void SetToolTip(std::string_view f, std::string_view c, std::string_view t) override { ui_.SetToolTip(f, c, t); }
  void SetFocus(std::string_view f, std::string_view c) override { ui_.SetFocus(f, c); }
  void PumpEvents(bool force) override { ui_.PumpEvents(force); }
  ui::LocalDateTime Now() const override { return ui_.Now(); }

 private:
  ui::Frontend& ui_;
  std::vector<std::string> kept_;
};

// One progress count for the whole report: a unit is a fit, a covariance
// run, a profile point, a jittered start or a peel.
class ReportProgress {
 public:
  ReportProgress(ui::Frontend& ui, int64_t count) : ui_(ui), count_(count), start_(SteadySeconds()) {}
  ~ReportProgress() { ui_.EndProgress(); }
  void Advance(int64_t units) { Show(done_ += units); }
  // Units done so far, counting those of the step under way.
  void Show(int64_t done) { ui_.ShowProgress({done, count_, SteadySeconds() - start_}); }
  int64_t Done() const { return done_; }
  void SetDone(int64_t done) { done_ = done; }

 private:
  ui::Frontend& ui_;
  int64_t count_, done_ = 0;
  double start_;
};

class ReportRun {
 public:
  ReportRun(Workspace& ws, ui::Frontend& ui, const ReportOptions& options, const ReportNames& names)
      : ws_(ws), ui_(ui), options_(options), names_(names), progress_(ui, UnitCount()) {}

  SessionResults Run() {
    Fit(1, options_.algorithmFiles.at(0));
    fitted_.push_back(ws_.Alg);
    results_.sources = {ws_.DataFileName, names_.Model(1), ws_.PriorsActive == kOn ? ws_.PriorsFileName : ""};
    results_.descriptions = ws_.Alg.Descriptions;
    Summary();
    if (std::optional<CovarianceRecord> covariance = Covariance(Analysis::Covariance)) {
      ws_.Covariance.Results = covariance->results;
      ws_.CovarianceResultsValid = kOn;
      results_.covariance = std::move(*covariance);
    }
    Profiles();
    Diagnostics();
    Jitter();
    Hindcast();
    Ranking();
    return std::move(results_);
  }

 private:
  Derivatives DerivativeChoice() const {
    return options_.analytical ? Derivatives::Analytical : Derivatives::Numerical;
  }

  int64_t UnitCount() const {
    int free = 0;
    for (int i = 1; i <= ws_.Alg.NumParameters; ++i) free += ws_.Alg.Steps[i] != 0;
    const int64_t models = static_cast<int64_t>(options_.algorithmFiles.size());
    return 2 * models + 2 + int64_t{free} * options_.profilePoints + options_.jitterStarts + options_.peels +
           (models > 1 ? 1 : 0);
  }

  void Fail(Analysis analysis, const std::string& reason) {
    std::string& failure = results_.failed[analysis];
    failure += (failure.empty() ? "" : " ") + reason;
  }

  // Model m fitted by Marquardt from the values loaded; the workspace keeps
  // the values reached however the fit ends, and names the fitted file.
  void Fit(int m, const std::string& startFile) {
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    FitRecord record{startFile, "Marquardt", options_.analytical, {}, {}};
    MinimizeResult& result = record.result;
    if (ws_.Free.FreeCount == 0) {
      result.end = RunEnd::NothingToDo;
    } else {
      Problem problem = ProblemOf(ws_);
      const MarquardtOptions settings = MarquardtOptions::Of(problem.settings, DerivativeChoice());
      MarquardtObserver quiet;
      MarquardtKernel kernel(problem, settings, quiet);
      if (std::optional<std::string> refused = settings.Validate()) {
        result.message = *refused;
      } else {
        try {
          result = kernel.Run();
        } catch (const NumericFault& fault) {
          result = kernel.ResultAfterFault();
          result.faulted = true;
          result.message = fault.what();
        }
      }
      TakeProblemValues(ws_, problem);
    }
    ws_.AlgorithmFileName = names_.Model(m);
    record.algorithmText = AlgorithmFileText(ws_.Alg, AlgorithmFileVariant::MainMenu);
    if (result.faulted || result.end == RunEnd::Error)
      Fail(Analysis::Fit, "Model " + std::to_string(m) + ": " + result.message);
    results_.fits.push_back(std::move(record));
    progress_.Advance(1);
  }

  void Summary() {
    try {
      EvaluateForResultsSummary(ws_, ui_);
      RecordSummary(results_, ws_);
    } catch (const NumericFault& fault) {
      Fail(Analysis::Summary, fault.what());
    }
    progress_.Advance(1);
  }

  // The covariances at the workspace's values; a failure goes to `analysis`
  // (the ranking's for a competing model).
  std::optional<CovarianceRecord> Covariance(Analysis analysis) {
    CovarianceSettings settings;
    settings.objectiveScale = ws_.ObjectiveScale;
    if (options_.analytical) {
      settings.method = CovarianceMethod::Analytical;
      settings.gridFactors = {0, 0, 0, 0};
    } else {
      settings.gridFactors = options_.gridFactors;
    }
    progress_.Advance(1);
    std::string failure;
    if (std::optional<std::string> refused = settings.Validate()) {
      failure = *refused;
    } else {
      NormalizeLinks(ws_);
      CollectFreeParameters(ws_);
      Problem problem = ProblemOf(ws_);
      CovarianceResults results;
      GridObserver quiet;
      try {
        switch (ComputeCovariance(problem, ws_.Alg.Descriptions, settings, results, quiet)) {
          case CovarianceEnd::Completed:
            if (std::optional<CovarianceRecord> record = CovarianceRecordOf(results, failure)) return record;
            break;
          case CovarianceEnd::NothingToDo: failure = "All step sizes are zero"; break;
          case CovarianceEnd::NoDerivatives:
            failure = std::string("Analytical derivatives missing: ") + kAnalyticalMissingMessage;
            break;
        }
      } catch (const NumericFault& fault) {
        failure = fault.what();
      }
    }
    Fail(analysis, analysis == Analysis::Covariance ? failure : "The covariances: " + failure);
    return std::nullopt;
  }

  // The profile steps: span four standard errors either side from the last
  // grid that gave them (the smallest factor), narrowed where a parameter's
  // range (Omega within 0..1) would be left.
  std::string ChooseProfileSteps() {
    std::string basis = "The points of each profile are spaced by the algorithm data's steps.";
    for (int grid = kGridCount; grid >= 1 && results_.covariance; --grid) {
      if (!GridHasStandardErrors(ws_, grid)) continue;
      StepsFromGrid(ws_, grid, 24, 3.0 * options_.profilePoints - 3);
      basis = "The points of each profile are spaced by the standard errors of covariance grid " +
              std::to_string(grid) + ": each spans four standard errors either side of the estimate.";
      break;
    }
    const double half = (options_.profilePoints - 1) / 2;
    std::vector<std::string> narrowed;
    for (const checks::ParameterRange& range : checks::FreeParameterRanges(*ws_.model, ws_.Free)) {
      const int p = ws_.Free.FreeIndex[range.freeIndex];
      const double room = std::min(ws_.Alg.Values[p] - range.low, range.high - ws_.Alg.Values[p]) / half;
      double& step = ws_.Alg.Steps[p];
      if (room > 0 && std::fabs(step) > room) {
        step = std::copysign(room, step);
        narrowed.push_back(std::to_string(p));
      }
    }
    for (std::size_t i = 0; i < narrowed.size(); ++i)
      basis += (i == 0 ? " The points of parameter # " : ", # ") + narrowed[i];
    if (!narrowed.empty()) basis += " are spaced closer, to stay within the parameter's range.";
    return basis;
  }

  void Profiles() {
    const std::vector<double> steps = ws_.Alg.Steps;
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    results_.profileSteps = ChooseProfileSteps();
    std::vector<int> parameters(ws_.Free.FreeIndex.begin() + 1, ws_.Free.FreeIndex.end());
    const int64_t base = progress_.Done();
    std::vector<ProfileOutcome> outcomes =
        ComputeProfiles(ws_, parameters, {options_.profilePoints, DerivativeChoice(), ws_.WorkerThreads},
                        [&](int64_t points) { progress_.Show(base + points); });
    ws_.Alg.Steps = steps;
    progress_.SetDone(base + static_cast<int64_t>(parameters.size()) * options_.profilePoints);
    for (ProfileOutcome& outcome : outcomes) {
      if (outcome.profile)
        results_.profiles.push_back(std::move(*outcome.profile));
      else
        Fail(Analysis::Profiles, "Parameter # " + std::to_string(outcome.parameter) + ": " + outcome.failure + ".");
    }
  }

  void Diagnostics() {
    try {
      checks::DiagnosticsOutcome outcome = checks::DiagnoseCurrentFit(ws_);
      if (outcome.diagnostics)
        results_.diagnostics = std::move(*outcome.diagnostics);
      else
        Fail(Analysis::Diagnostics, outcome.refusal);
    } catch (const NumericFault& fault) {
      Fail(Analysis::Diagnostics, fault.what());
    }
    progress_.Advance(1);
  }

  // The tick of side-by-side fits: each fit done is a unit after base; a
  // report is never stopped.
  checks::FitsTick FitsProgress(int64_t base) {
    return [this, base](int done) {
      progress_.Show(base + done);
      return false;
    };
  }

  // The jittered starts around the fit, with the report's minimizer and
  // derivatives, on every core; each start done is a unit of progress.
  void Jitter() {
    if (options_.jitterStarts == 0) {
      results_.notRun[Analysis::Jitter] = "No jittered starts were asked for (--jitter 0).";
      return;
    }
    const int64_t base = progress_.Done();
    checks::JitterSettings settings;
    settings.starts = options_.jitterStarts;
    settings.minimizer = checks::FitMinimizer::Marquardt;
    settings.analytical = options_.analytical;
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    Problem problem = ProblemOf(ws_);
    try {
      checks::JitterOutcome outcome =
          checks::ComputeJitter(problem, settings, ws_.Alg.Descriptions, FitsProgress(base));
      switch (outcome.end) {
        case checks::JitterEnd::Completed:
        case checks::JitterEnd::Interrupted: results_.jitter = std::move(outcome.run); break;
        case checks::JitterEnd::NothingToDo: Fail(Analysis::Jitter, "All step sizes are zero"); break;
        case checks::JitterEnd::NoDerivatives:
          Fail(Analysis::Jitter, std::string("Analytical derivatives missing: ") + kAnalyticalMissingMessage);
          break;
        case checks::JitterEnd::Refused: Fail(Analysis::Jitter, outcome.refusal); break;
      }
    } catch (const NumericFault& fault) {
      Fail(Analysis::Jitter, fault.what());
    }
    progress_.SetDone(base + options_.jitterStarts);
  }

  // The hindcast of the fit: options_.peels peels refitted by Marquardt with
  // the report's derivatives, on every core; each peel is a unit of progress.
  void Hindcast() {
    if (options_.peels == 0) {
      results_.notRun[Analysis::Hindcast] = "No hindcast was asked for (--peels 0).";
      return;
    }
    const int64_t base = progress_.Done();
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    checks::HindcastSettings settings;
    settings.peels = options_.peels;
    settings.method = {checks::FitMinimizer::Marquardt, DerivativeChoice()};
    std::optional<checks::HindcastInputs> inputs = checks::HindcastInputsOf(ws_);
    if (!inputs) {
      Fail(Analysis::Hindcast, "This model cannot be hindcast.");
    } else {
      try {
        checks::HindcastOutcome outcome = checks::ComputeHindcast(*inputs, settings, FitsProgress(base));
        if (outcome.run)
          results_.hindcast = std::move(*outcome.run);
        else
          Fail(Analysis::Hindcast, outcome.refusal);
      } catch (const std::exception& error) {  // a numeric fault, or what a peel's worker thread handed back
        Fail(Analysis::Hindcast, error.what());
      }
    }
    progress_.SetDone(base + options_.peels);
  }

  // The other models fitted, their covariances computed, then all ranked
  // and averaged; their files are named after the report.
  void Ranking() {
    const std::vector<std::string>& files = options_.algorithmFiles;
    if (files.size() < 2) {
      results_.notRun[Analysis::Ranking] = "Only one algorithm file was given: there are no models to rank.";
      return;
    }
    KeptMessages kept(ui_);
    for (std::size_t m = 2; m <= files.size(); ++m) {
      AlgorithmReadResult read = LoadAlgorithmFile(ws_, kept, files[m - 1]);
      if (read.status != AlgorithmReadStatus::Read) {
        Fail(Analysis::Ranking,
             "Model " + std::to_string(m) + " (" + files[m - 1] + ") could not be read. " + kept.Take());
        return;
      }
      Fit(static_cast<int>(m), files[m - 1]);
      fitted_.push_back(ws_.Alg);
      if (std::optional<CovarianceRecord> covariance = Covariance(Analysis::Ranking))
        results_.modelCovariances[static_cast<int>(m)] = covariance->text;
    }
    ranking::StagedFiles staged;
    auto stage = [&](int m, const std::string& text) {
      staged[names_.ModelCovariance(m)] = ui::SavedPaneText(names_.ModelCovariance(m), text);
    };
    if (results_.covariance) stage(1, results_.covariance->text);
    for (const auto& [m, text] : results_.modelCovariances) stage(m, text);

    RankingRecord record;
    for (std::size_t m = 1; m <= files.size(); ++m) {
      ws_.Alg = fitted_[m - 1];
      ws_.AlgorithmFileName = names_.Model(static_cast<int>(m));
      if (!ranking::AddModel(ws_, kept, record.table, {}, &staged)) {
        Fail(Analysis::Ranking, "Model " + std::to_string(m) + " could not be ranked. " + kept.Take());
        return;
      }
    }
    if (!ranking::RankModels(ws_, kept, record.table)) {
      Fail(Analysis::Ranking, kept.Take());
      return;
    }
    record.averaging = ranking::AverageRankedModels(ws_, kept, record.table, &staged);
    if (!record.averaging) record.averagingFailure = kept.Take();
    results_.ranking = std::move(record);
    progress_.Advance(1);
  }

  Workspace& ws_;
  ui::Frontend& ui_;
  const ReportOptions& options_;
  const ReportNames& names_;
  ReportProgress progress_;
  SessionResults results_;
  std::vector<AlgorithmData> fitted_;  // each model's fitted algorithm data
};

}  // namespace

std::optional<std::string> ReportOptions::Validate() const {
  if (algorithmFiles.empty()) return "The report needs an algorithm file";
  if (profilePoints < 3 || profilePoints > 1001 || profilePoints % 2 == 0)
    return "The number of profile points must be odd, from 3 to 1001";
  if (jitterStarts < 0) return "The number of jittered starts cannot be negative";
  if (peels < 0) return "The number of peels cannot be negative";
  return std::nullopt;
}

SessionResults RunReportAnalyses(Workspace& ws, ui::Frontend& ui, const ReportOptions& options,
                                 const ReportNames& names) {
  return ReportRun(ws, ui, options, names).Run();
}

}  // namespace kalvex::report
