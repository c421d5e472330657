#pragma once
// A front end that answers every prompt with its default and shows nothing:
// the readers' messages are not what a fuzz target checks.
#include "ui/Frontend.h"

namespace kalvex::fuzz {

class QuietFrontend : public ui::Frontend {
 public:
  ui::Answer Message(std::string_view, std::string_view, int) override { return ui::Answer::OK; }
  std::optional<std::string> Input(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const ui::FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const ui::FileDialog&) override { return std::nullopt; }
  void SetStatus(int, int, std::string_view) override {}
  void ClearStatusBars() override {}
  void ShowWindow(std::string_view) override {}
  void HideWindow(std::string_view) override {}
  void CloseWindow(std::string_view) override {}
  bool IsWindowOpen(std::string_view) const override { return false; }
  void SetPaneText(std::string_view, std::string_view, std::string_view) override {}
  std::string PaneText(std::string_view, std::string_view) const override { return {}; }
  void SetEnabled(std::string_view, std::string_view, bool) override {}
  void SetVisible(std::string_view, std::string_view, bool) override {}
  void SetCaption(std::string_view, std::string_view, std::string_view) override {}
  void SetToolTip(std::string_view, std::string_view, std::string_view) override {}
  void SetFocus(std::string_view, std::string_view) override {}
  void PumpEvents(bool) override {}
  ui::LocalDateTime Now() const override { return {2026, 1, 1, 0, 0, 0}; }
};

}  // namespace kalvex::fuzz
