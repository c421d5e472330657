#include "ui/RunContext.h"

#include <chrono>
#include <cmath>

#include "ui/Frontend.h"
#include "workspace/NumericFault.h"
#include "workspace/Workspace.h"

namespace kalvex {

InterruptToken::InterruptToken(Workspace& ws, InterruptFlag flag) {
  switch (flag) {
    case InterruptFlag::Simplex: minimizer_ = &ws.SimplexInterrupt; break;
    case InterruptFlag::Marquardt: minimizer_ = &ws.MarquardtInterrupt; break;
    case InterruptFlag::ML: menu_ = &ws.InterruptML; break;
    case InterruptFlag::Bayes: menu_ = &ws.InterruptBayes; break;
    case InterruptFlag::Covariance: menu_ = &ws.Covariance.Interrupt; break;
    case InterruptFlag::Fits: menu_ = &ws.InterruptFits; break;
    case InterruptFlag::None: break;
  }
}

bool InterruptToken::Pending() const {
  if (minimizer_) return *minimizer_ == -1;
  return menu_ && *menu_;
}

void InterruptToken::Raise() {
  if (minimizer_) *minimizer_ = -1;
  if (menu_) *menu_ = true;
}

void InterruptToken::Clear() {
  if (minimizer_) *minimizer_ = 0;
  if (menu_) *menu_ = false;
}

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string RemainingTimeText(double elapsedSeconds, int64_t done, int64_t count) {
  double seconds = done > 0 ? std::nearbyint(elapsedSeconds / static_cast<double>(done) *
                                             static_cast<double>(count - done))
                            : 0.0;
  auto whole = static_cast<int64_t>(std::fmax(seconds, 0.0));
  int64_t minutes = whole / 60;
  int64_t secs = whole - 60 * minutes;
  return std::to_string(minutes) + ":" + (secs < 10 ? "0" : "") + std::to_string(secs);
}

RunContext::RunContext(Workspace& ws, ui::Frontend& ui, RunDescription description, SecondsClock clock)
    : ws_(ws),
      ui_(ui),
      description_(description),
      clock_(clock ? std::move(clock) : SecondsClock(SteadySeconds)),
      start_(clock_()),
      interrupt_(ws, description.interrupt) {}

RunContext::~RunContext() {
  try {
    for (int bar = 2; bar <= kActivityBar; ++bar)
      for (int panel = 1; panel < static_cast<int>(showing_[bar].size()); ++panel)
        if (showing_[bar][panel]) SetStatus(bar, panel, "");
    if (counted_) ui_.EndProgress();
  } catch (...) {  // a front end failing while the run unwinds must not end the program
  }
}

void RunContext::OpenWindow() {
  if (!description_.form.empty()) ui_.ShowWindow(description_.form);
}

void RunContext::CloseWindow() {
  if (!description_.form.empty()) ui_.CloseWindow(description_.form);
}

void RunContext::Report(std::string_view pane, std::string_view text) {
  ui_.SetPaneText(description_.form, pane, text);
}

void RunContext::EnableControl(std::string_view control, bool enabled) {
  ui_.SetEnabled(description_.form, control, enabled);
}

void RunContext::ShowControl(std::string_view control, bool visible) {
  ui_.SetVisible(description_.form, control, visible);
}

void RunContext::CaptionControl(std::string_view control, std::string_view text) {
  ui_.SetCaption(description_.form, control, text);
}

void RunContext::SetStatus(int bar, int panel, std::string_view text) {
  ui_.SetStatus(bar, panel, text);
  if (panel >= 1 && panel < static_cast<int>(showing_[bar].size())) showing_[bar][panel] = !text.empty();
}

void RunContext::Activity(int panel, std::string_view text) { SetStatus(kActivityBar, panel, text); }

void RunContext::ClearActivity(int first, int last) {
  for (int panel = first; panel <= last; ++panel) SetStatus(kActivityBar, panel, "");
}

void RunContext::Progress(ProgressBar bar, int panel, std::string_view text) {
  SetStatus(static_cast<int>(bar), panel, text);
}

void RunContext::RestartClock() {
  start_ = clock_();
  lastShown_ = -kStatusInterval;
}

bool RunContext::QuitAsked() {
  if (!interrupt_.Pending()) return false;
  interrupt_.Clear();
  return ui_.Message(description_.interruptTitle, "Interrupt received.  Quit calculations?",
                     ui::style::kYesNo + ui::style::kQuestion) == ui::Answer::Yes;
}

double RunContext::ElapsedSeconds() const { return clock_() - start_; }

std::string RunContext::TimeRemaining(int64_t done, int64_t count) {
  double elapsed = ElapsedSeconds();
  counted_ = true;
  ui_.ShowProgress({done, count, elapsed});
  return RemainingTimeText(elapsed, done, count);
}

void RunContext::Count(int64_t done, int64_t count) {
  counted_ = true;
  ui_.ShowProgress({done, count, ElapsedSeconds()});
}

void RunContext::Pump(bool force) { ui_.PumpEvents(force); }

RunOutcome RunContext::Run(const std::function<void()>& body, const FaultPlan& plan) {
  try {
    body();
    return {};
  } catch (const NumericFault& fault) {
    std::string text = plan.describe ? plan.describe(fault) : std::string(fault.what());
    if (plan.restore) plan.restore();
    ClearActivity();
    ui_.Message(description_.faultTitle, text, ui::style::kCritical);
    return {true, fault.what()};
  }
}

}  // namespace kalvex
