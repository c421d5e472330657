#include "batch/ProgressLine.h"

#include <ostream>

#include "ui/RunContext.h"
#include "workspace/Format.h"

namespace kalvex::batch {

std::string ProgressText(const ui::RunProgress& p) {
  double rate = p.elapsedSeconds > 0 ? static_cast<double>(p.done) / p.elapsedSeconds : 0.0;
  std::string speed = FormatNumber(rate, rate < 100 ? "0.0" : "0") + " a second";
  if (p.count <= 0) return std::to_string(p.done) + " iterations, " + speed;
  return std::to_string(p.done) + " of " + std::to_string(p.count) + " done, " + speed + ", " +
         RemainingTimeText(p.elapsedSeconds, p.done, p.count) + " remaining";
}

ProgressLine::ProgressLine(std::ostream& err, ProgressMode mode, bool terminal)
    : err_(err), enabled_(mode == ProgressMode::Always || (mode == ProgressMode::Auto && terminal)),
      terminal_(terminal) {}

void ProgressLine::Show(const ui::RunProgress& progress) {
  if (!enabled_ || progress.elapsedSeconds < kFirstShown) return;
  bool last = progress.count > 0 && progress.done >= progress.count;
  if (showing_ && !last && progress.elapsedSeconds - lastDrawn_ < kRedrawInterval) return;
  lastDrawn_ = progress.elapsedSeconds;
  std::string text = ProgressText(progress);
  if (text.size() < width_) text.append(width_ - text.size(), ' ');  // cover the longer line drawn before
  width_ = text.size();
  err_ << '\r' << text << std::flush;
  showing_ = true;
}

void ProgressLine::Clear() {
  if (!showing_) return;
  // A terminal gets its line back; a file keeps the last state on a line of its own.
  if (terminal_)
    err_ << '\r' << std::string(width_, ' ') << '\r';
  else
    err_ << '\n';
  err_ << std::flush;
  showing_ = false;
  width_ = 0;
  lastDrawn_ = -1;
}

}  // namespace kalvex::batch
