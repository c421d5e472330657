#pragma once
// The run context of a long analysis: how its loops talk to the person and
// to the interrupt, and the one place that ends a run on a numeric fault.
//
//   RunContext run(ws, ui, kMyAnalysis);            // form, fault title, interrupt flag
//   run.OpenWindow();
//   RunOutcome outcome = run.Run([&] {
//     for (int k = 1; k <= count; ++k) {
//       run.Activity(1, "Point " + std::to_string(k));
//       ...                                          // evaluations
//       run.Progress(ProgressBar::Remaining, 2, run.TimeRemaining(k, count));
//       run.Pump();
//       if (run.Interrupt().Pending()) break;        // or ask first
//     }
//   }, {.describe = describeFault, .restore = putValuesBack});
//
// Whatever way the run leaves, the status panels it left showing are emptied.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;
class NumericFault;

// The workspace flag an analysis' interrupt is kept in. The stop buttons of
// the minimizer windows and the "&Interrupt" menus set them; the loops poll
// them between evaluations.
enum class InterruptFlag {
  None,
  Simplex,    // SimplexInterrupt, -1 while pending
  Marquardt,  // MarquardtInterrupt, -1 while pending
  ML,         // InterruptML
  Bayes,      // InterruptBayes
  Covariance, // the covariance log window's interrupt button
  Fits,       // InterruptFits: an analysis made of many fits
};

// A view on one interrupt flag of the workspace.
class InterruptToken {
 public:
  InterruptToken(Workspace& ws, InterruptFlag flag);
  bool Pending() const;
  void Raise();
  void Clear();

 private:
  int16_t* minimizer_ = nullptr;
  bool* menu_ = nullptr;
};

// What a run is called and where it shows itself.
struct RunDescription {
  std::string_view form;            // the analysis window; empty: none
  std::string_view faultTitle;      // the title of the numeric-fault box
  std::string_view interruptTitle;  // the title of the interrupt questions
  InterruptFlag interrupt = InterruptFlag::None;
};

// The status bars of long evaluations: totals (stbMain2), positions in a
// grid (stbMain3), remaining counts and time (stbMain4).
enum class ProgressBar { Totals = 2, Positions = 3, Remaining = 4 };

// The activity bar (stbMain5), panels 1 to 4: what the run is doing.
inline constexpr int kActivityBar = 5;

// Seconds on a steady clock; tests give their own.
using SecondsClock = std::function<double()>;
double SteadySeconds();

// "m:ss" for the time still needed: elapsed / done x (count - done), rounded
// to whole seconds. Nothing done yet gives "0:00".
std::string RemainingTimeText(double elapsedSeconds, int64_t done, int64_t count);

// How a run reports and repairs a numeric fault.
struct FaultPlan {
  std::function<std::string(const NumericFault&)> describe;  // the box text; empty: the fault's own text
  std::function<void()> restore;                             // what the analysis promised to put back
};

struct RunOutcome {
  bool faulted = false;
  std::string fault;  // the fault's text
};

class RunContext {
 public:
  RunContext(Workspace& ws, ui::Frontend& ui, RunDescription description, SecondsClock clock = {});
  // Empties the status panels the run left showing.
  ~RunContext();
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  Workspace& Ws() { return ws_; }
  ui::Frontend& Ui() { return ui_; }
  const RunDescription& Description() const { return description_; }

  // The analysis window and its panes and controls.
  void OpenWindow();
  void CloseWindow();
  void Report(std::string_view pane, std::string_view text);
  void EnableControl(std::string_view control, bool enabled);
  void ShowControl(std::string_view control, bool visible);
  void CaptionControl(std::string_view control, std::string_view text);

  // Progress.
  void Activity(int panel, std::string_view text);
  void ClearActivity(int first = 1, int last = 4);
  void Progress(ProgressBar bar, int panel, std::string_view text);
  // The clock starts with the context; Restart sets it to now (and makes a
  // status text due at once).
  void RestartClock();
  double ElapsedSeconds() const;
  // The time still needed for count steps after done; tells the front end
  // how far the run is (Count).
  std::string TimeRemaining(int64_t done, int64_t count);
  // Tells the front end done of count steps are over (count 0: open-ended).
  void Count(int64_t done, int64_t count);
  // Lets the interface run (rate-limited by the front end).
  void Pump(bool force = false);

  // Status texts that a fast loop would rebuild at every evaluation are
  // rebuilt at most every kStatusInterval seconds: StatusDue says whether
  // one is due, StatusShown that it was rebuilt now.
  static constexpr double kStatusInterval = 0.05;
  bool StatusDue() const { return ElapsedSeconds() - lastShown_ >= kStatusInterval; }
  void StatusShown() { lastShown_ = ElapsedSeconds(); }

  // The quit question of a point loop while the interrupt is pending: the
  // interrupt is cleared and "Interrupt received.  Quit calculations?"
  // asked under the interrupt title. True when the answer is Yes.
  bool QuitAsked();

  // The interrupt of the description's flag.
  InterruptToken& Interrupt() { return interrupt_; }

  // Runs body. A NumericFault from it is described, the restore step runs,
  // the activity panels are emptied and the box titled faultTitle shows the
  // description; the outcome says so. Other exceptions pass through.
  RunOutcome Run(const std::function<void()>& body, const FaultPlan& plan = {});

 private:
  void SetStatus(int bar, int panel, std::string_view text);

  Workspace& ws_;
  ui::Frontend& ui_;
  RunDescription description_;
  SecondsClock clock_;
  double start_ = 0;
  double lastShown_ = -kStatusInterval;
  InterruptToken interrupt_;
  // Panels (bar 2..5, panel 1..8) that show a text this run put there.
  std::array<std::array<bool, 9>, 6> showing_{};
  bool counted_ = false;  // the front end was told of progress: end it with the run
};

}  // namespace kalvex
