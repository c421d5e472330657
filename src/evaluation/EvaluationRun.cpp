#include "evaluation/EvaluationRun.h"

#include "evaluation/DistributionStatistics.h"
#include "evaluation/EvaluationReport.h"
#include "minimize/MinimizerReports.h"
#include "ui/Frontend.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Results.h"
#include "workspace/Workspace.h"

namespace kalvex {

EvaluationWindow& WindowOf(const EvaluationOptions& options) {
  static EvaluationWindow none;
  return options.window ? *options.window : none;
}

EvaluationRun::EvaluationRun(Workspace& ws, ui::Frontend& ui, const RunDescription& description,
                             std::string_view stopped, const EvaluationOptions& options)
    : ws_(ws), ui_(ui), window_(WindowOf(options)), run_(ws, ui, description, options.clock), stopped_(stopped) {}

EvaluationRun::~EvaluationRun() {
  if (held_) Restore();
}

void EvaluationRun::Hold(int p) {
  parameter_ = p;
  savedValues_ = ws_.Alg.Values;
  centre_ = ws_.Alg.Values[p];
  step_ = ws_.Alg.Steps[p];
  ws_.Alg.Steps[p] = 0;
  ws_.EvaluatedParameter = static_cast<int16_t>(p);
  held_ = true;
}

void EvaluationRun::Restore() {
  if (!held_) return;
  ws_.Alg.Values = savedValues_;
  ws_.Alg.Steps[parameter_] = step_;
  held_ = false;
}

double EvaluationRun::PointAt(int k, int count) const {
  const double mid = (count - 1) / 2 + 1;
  return centre_ - (mid - k) * step_;
}

std::string EvaluationRun::FaultText(const std::string& fault, const std::vector<double>& vector) const {
  const int p = parameter_;
  return "Profile point " + std::to_string(point_) + " of " + std::to_string(count_) + " (parameter # " +
         std::to_string(p) + " = " + FormatNumber(ws_.Alg.Values[p], "0.0000E+00") + "):\r\n\r\n" +
         NumericFaultText(ws_, fault, vector) + "\r\n\r\nThe " + stopped_ +
         " was stopped; the profiled parameter has its value and step back.";
}

std::optional<PointSweep> EvaluationRun::Sweep(int count, const PointValue& point,
                                               const std::function<const std::vector<double>*()>& faultVector,
                                               const std::function<bool()>& prepare) {
  count_ = count;
  PointSweep sweep;
  RunOutcome outcome = run_.Run(
      [&] {
        if (prepare && !prepare()) return;
        sweep = SweepPoints(
            count, [&](int k) { return PointAt(k, count); },
            [&](int k, double x) {
              point_ = k;
              ws_.Alg.Values[parameter_] = x;
              return point(k, x);
            });
      },
      {.describe =
           [&](const NumericFault& fault) {
             const std::vector<double>* vector = faultVector ? faultVector() : nullptr;
             return FaultText(fault.what(), vector ? *vector : ws_.Alg.Values);
           },
       .restore = [&] { Restore(); }});
  Restore();
  if (outcome.faulted) return std::nullopt;
  return sweep;
}

EvaluationEnd EvaluationRun::HandOver(PointSweep sweep, std::string_view kind, const ReportPlace& place,
                                      const std::function<void()>& before, const std::string& note) {
  if (sweep.count < 3) return EvaluationEnd::NoResults;
  if (sweep.summary.ModeIndex < 1) {
    ui_.Message(run_.Description().faultTitle,
                "No profile point could be evaluated: every -ln[L] was 1E+100 or more. The previous results are "
                "kept.",
                ui::style::kExclamation);
    return EvaluationEnd::NoResults;
  }
  double spacing = step_;
  if (spacing < 0) {
    ReverseTable(sweep.table, sweep.summary);
    spacing = -spacing;
  }
  if (before) before();
  EvaluationState& kept = ws_.Evaluation;
  kept.Table = std::move(sweep.table);
  kept.Summary = sweep.summary;
  kept.Spacing = spacing;
  kept.LastEvaluationKind = std::string(kind);
  kept.Note = note;
  ReportEvaluation(ws_, ui_, window_, place);
  return EvaluationEnd::Results;
}

EvaluationFinish::EvaluationFinish(Workspace& ws, ui::Frontend& ui, std::string& flag, const EvaluationOptions& options)
    : ws_(ws), ui_(ui), flag_(flag), window_(WindowOf(options)) {
  flag_ = kOn;
}

EvaluationFinish::~EvaluationFinish() {
  try {
    NormalizeLinks(ws_);
    CollectFreeParameters(ws_);
    if (results) ws_.EvaluationResultsOutOfDate = false;
    flag_ = kOff;
    window_.Ended();
    if (edited) RemindOfEdits(ui_);
  } catch (...) {  // a front end failing while the run unwinds must not end the program
  }
}

std::optional<std::string> ValidatePoints(int parameter, int numParameters, int pointCount) {
  if (parameter < 1 || parameter > numParameters)
    return "The parameter must be a number from 1 to " + std::to_string(numParameters);
  if (pointCount < 3 || pointCount > 1001 || pointCount % 2 == 0)
    return "The number of points must be odd, from 3 to 1001";
  return std::nullopt;
}

bool PreviousResultsKept(const Workspace& ws, std::string_view kind) {
  const EvaluationTable& table = ws.Evaluation.Table;
  return ws.Evaluation.LastEvaluationKind == kind && !ws.EvaluationResultsOutOfDate && table.PointCount != 0 &&
         table.GridValue[table.PointCount] != table.GridValue[1];
}

void ReportEvaluation(Workspace& ws, ui::Frontend& ui, EvaluationWindow& window, const ReportPlace& place) {
  EvaluationState& kept = ws.Evaluation;
  if (kept.Summary.ModeIndex < 1 || kept.Summary.ModeIndex > kept.Table.PointCount) return;
  DistributionStatistics(kept.Table, kept.Summary, kept.Summary.ModeIndex, kept.Spacing);
  if (ui.distributionViewer)
    ui.distributionViewer({kept.Table, kept.Summary, ws.EvaluatedParameter, std::string(place.series2Title)});
  window.ShowReport(EvaluationReportText(place.reportTitle, kept.Table, kept.Summary, kept.Note));
}

void ShowRemaining(RunContext& run, std::string_view label, int64_t done, int64_t count) {
  run.Progress(ProgressBar::Remaining, 1, std::string(label) + StrNumber(static_cast<double>(count - done)));
  run.Progress(ProgressBar::Remaining, 2, "Estimated time remaining (m:s): " + run.TimeRemaining(done, count));
}

void RemindOfEdits(ui::Frontend& ui) {
  ui.Message("A friendly reminder", "Your algorithm file may have been automatically edited",
             ui::style::kExclamation);
}

}  // namespace kalvex
