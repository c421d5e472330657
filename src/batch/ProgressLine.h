#pragma once
// The progress line of kalvex-batch on standard error: how far a long run
// is, how fast it goes and how long it still needs, redrawn in place.
#include <cstddef>
#include <iosfwd>
#include <string>

#include "ui/Frontend.h"

namespace kalvex::batch {

enum class ProgressMode { Auto, Always, Never };  // Auto: only on a terminal

// "120 of 625 done, 41.2 a second, 0:12 remaining"; an open-ended run:
// "926 iterations, 850.3 a second".
std::string ProgressText(const ui::RunProgress& progress);

class ProgressLine {
 public:
  // Runs shorter than this show no line at all.
  static constexpr double kFirstShown = 1.0;
  static constexpr double kRedrawInterval = 0.25;

  ProgressLine(std::ostream& err, ProgressMode mode, bool terminal);

  void Show(const ui::RunProgress& progress);
  // Takes the line away before another text is written on the stream.
  void Clear();
  void End() { Clear(); }

 private:
  std::ostream& err_;
  bool enabled_;
  bool terminal_;
  bool showing_ = false;
  double lastDrawn_ = -1;
  std::size_t width_ = 0;
};

}  // namespace kalvex::batch
