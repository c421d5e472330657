#pragma once
// The one evaluation run of the likelihood profile and the posterior
// integration: the parameter held at the points with everything put back
// however the run ends, the point loop on the run context with its fault
// report, the hand-over of the table to the kept results, the statistics,
// the distribution plot and the report, and the finishing step. Beside it
// what both dialogues share: the options a caller gives, what they tell
// their window, the offer of the previous results and the progress texts.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/PointSweep.h"
#include "ui/RunContext.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;
class NodeSpreader;
class MinimizerWindow;
class Problem;

// What an evaluation tells its window, in the evaluation's words; the
// window's controller turns it into controls. Every step shows nothing by
// default: a run without a window (kalvex-batch, the computation's tests).
class EvaluationWindow {
 public:
  virtual ~EvaluationWindow() = default;
  // The points are about to be evaluated; minimizing: a minimizer runs at
  // every point (and offers its own interrupt).
  virtual void PointsStarting(bool minimizing) { (void)minimizing; }
  // A posterior's first point integrates over its grid.
  virtual void IntegrationStarted() {}
  // The report of a run, or of the kept results shown again.
  virtual void ShowReport(const std::string& text) { (void)text; }
  // The values and steps are edited before the run; returns when the edit ended.
  virtual void EditValuesAndSteps() {}
  // The evaluation ended, however it did: the main menu comes back.
  virtual void Ended() {}
  // Where the minimizer run at each point shows itself; nullptr: nowhere.
  virtual MinimizerWindow* MinimizerAtPoints(bool marquardt) { (void)marquardt; return nullptr; }
};

struct EvaluationOptions {
  EvaluationWindow* window = nullptr;  // nullptr: none
  SecondsClock clock;  // for the time estimates; empty: a steady clock
  // Where a posterior's grid nodes are evaluated, made after the run's first
  // evaluation; empty: the workspace's threads.
  std::function<std::unique_ptr<NodeSpreader>(const Problem&)> spreadNodes;
};

enum class EvaluationEnd {
  Results,    // a table was made and reported
  NoResults,  // the run ended before it had one (refused, quit early, nothing evaluated)
  Faulted,    // a numeric fault ended the run (its box was shown)
};

// The window of options: a window that shows nothing when none is given.
EvaluationWindow& WindowOf(const EvaluationOptions& options);

// How an evaluation's report is titled.
struct ReportPlace {
  std::string_view reportTitle;
  std::string_view series2Title;  // of the distribution plot
};

class EvaluationRun {
 public:
  // stopped names the run in the fault text ("The profile was stopped").
  EvaluationRun(Workspace& ws, ui::Frontend& ui, const RunDescription& description, std::string_view stopped,
                const EvaluationOptions& options);
  // Puts the values and the step back when the run did not.
  ~EvaluationRun();
  EvaluationRun(const EvaluationRun&) = delete;
  EvaluationRun& operator=(const EvaluationRun&) = delete;

  RunContext& Context() { return run_; }

  // Holds parameter p at the points: its step is 0 and it is the evaluated
  // parameter; every parameter's value and p's step come back at Restore
  // (a refit at a point is no fit of the model).
  void Hold(int p);
  void Restore();
  double Step() const { return step_; }
  // The held parameter's value at point k of count: its centre moved by
  // k - mid steps.
  double PointAt(int k, int count) const;

  // The point loop on the run context: prepare (when given) runs first and
  // may end the run without points (false); then the held parameter is put
  // at each point before point(k, x) gives its -ln[L] (nullopt: the user
  // quit). A numeric fault ends the run: the values come back and one box
  // names the point and the vector whose evaluation faulted (faultVector;
  // the current values when it gives none). nullopt after a fault.
  std::optional<PointSweep> Sweep(int count, const PointValue& point,
                                  const std::function<const std::vector<double>*()>& faultVector,
                                  const std::function<bool()>& prepare = {});

  // The hand-over of a sweep with results: fewer than 3 points, or none
  // below 1E+100 (said in a box), leave the previous results; otherwise a
  // descending grid is turned round, before() runs, the table becomes the
  // workspace's kept results of kind, and the statistics, the distribution
  // plot and the report follow.
  // note (when not empty) is a last line of the report.
  EvaluationEnd HandOver(PointSweep sweep, std::string_view kind, const ReportPlace& place,
                         const std::function<void()>& before = {}, const std::string& note = {});

 private:
  std::string FaultText(const std::string& fault, const std::vector<double>& vector) const;

  Workspace& ws_;
  ui::Frontend& ui_;
  EvaluationWindow& window_;
  RunContext run_;
  std::string stopped_;
  int parameter_ = 0, point_ = 0, count_ = 0;
  double centre_ = 0, step_ = 0;
  std::vector<double> savedValues_;
  bool held_ = false;
};

// The finishing step of every way out of an evaluation: the evaluation flag
// (ProfileEvaluationActive or PosteriorEvaluationActive) is on meanwhile;
// then the free parameters are collected again, results make the kept
// results current, the window is told the evaluation ended, and the
// reminder follows an edit.
class EvaluationFinish {
 public:
  EvaluationFinish(Workspace& ws, ui::Frontend& ui, std::string& flag, const EvaluationOptions& options);
  ~EvaluationFinish();
  EvaluationFinish(const EvaluationFinish&) = delete;
  EvaluationFinish& operator=(const EvaluationFinish&) = delete;

  bool results = false;
  bool edited = false;

 private:
  Workspace& ws_;
  ui::Frontend& ui_;
  std::string& flag_;
  EvaluationWindow& window_;
};

// The parameter and point-count checks both evaluations' settings share: a
// message unless 1 <= parameter <= numParameters and pointCount is odd,
// 3..1001.
std::optional<std::string> ValidatePoints(int parameter, int numParameters, int pointCount);

// Whether kept results of kind ("ML" or "BP") can be shown again.
bool PreviousResultsKept(const Workspace& ws, std::string_view kind);

// The results step on ws.Evaluation: the statistics with the kept mode and
// spacing, the table handed to the distribution plot, the report shown in
// the window.
void ReportEvaluation(Workspace& ws, ui::Frontend& ui, EvaluationWindow& window, const ReportPlace& place);

// The point's progress on the remaining-time bar: what is still to do and the time it needs.
void ShowRemaining(RunContext& run, std::string_view label, int64_t done, int64_t count);

// "Your algorithm file may have been automatically edited".
void RemindOfEdits(ui::Frontend& ui);

}  // namespace kalvex
