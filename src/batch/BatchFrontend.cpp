#include "batch/BatchFrontend.h"

#include <ctime>
#include <ostream>

namespace kalvex::batch {
namespace {

// One line: the box's line breaks become single blanks.
std::string OneLine(std::string_view text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (!line.empty() && line.back() != ' ') line.push_back(' ');
    } else {
      line.push_back(c);
    }
  }
  return line;
}

// The boxes that only report how a run went, by title and opening words:
// their icons are shared with failures, so the style alone cannot tell.
struct Note {
  std::string_view title, opening;
};
constexpr Note kNotes[] = {
    {"Simplex minimum", "Minimum found"},
    {"Marquardt minimum", "Minimum found"},
    {"Output Summary", "Summary completed"},
};

}  // namespace

bool IsNote(std::string_view title, std::string_view text, int style) {
  int icon = ui::style::Icon(style);
  if (icon == ui::style::kCritical || icon == ui::style::kExclamation) return false;
  int buttons = ui::style::Buttons(style);
  if (buttons == ui::style::kYesNo || buttons == ui::style::kYesNoCancel || buttons == ui::style::kOkCancel)
    return true;
  for (const Note& note : kNotes)
    if (title == note.title && text.starts_with(note.opening)) return true;
  return false;
}

ui::Answer BatchFrontend::Message(std::string_view title, std::string_view text, int style) {
  ++messageCount_;
  const bool shown = verbose_ || !IsNote(title, text, style);
  const std::string line = rankPrefix_ + std::string(title) + ": " + OneLine(text) + '\n';
  if (shown && errorsOnly_ && ui::style::Icon(style) != ui::style::kCritical) {
    held_.push_back(line);
  } else if (shown) {
    progress_.Clear();
    err_ << line;
  }
  int buttons = ui::style::Buttons(style);
  if (buttons != ui::style::kYesNo && buttons != ui::style::kYesNoCancel) return ui::Answer::OK;
  return ui::Answer::No;
}

void BatchFrontend::EndRun(bool failed) {
  if (failed)
    for (const std::string& line : held_) err_ << line;
  held_.clear();
}

void BatchFrontend::SetPaneText(std::string_view form, std::string_view pane, std::string_view text) {
  panes_[std::string(form) + "." + std::string(pane)] = std::string(text);
}

std::string BatchFrontend::PaneText(std::string_view form, std::string_view pane) const {
  auto it = panes_.find(std::string(form) + "." + std::string(pane));
  return it == panes_.end() ? std::string() : it->second;
}

ui::LocalDateTime BatchFrontend::Now() const {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace kalvex::batch
