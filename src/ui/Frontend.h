#pragma once
// The only way a computation talks to a person. The Qt front end shows real
// windows, the scripted one answers from a queue in tests, the batch one
// answers from command-line options. Forms and controls are addressed by the
// object names the windows carry ("frmSimplex", "cmdStop", "rtbSimplex").
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kalvex {
struct BivariateGrid;
}
namespace kalvex::plots {
struct XYPlotData;
struct DistributionPlotData;
}

namespace kalvex::ui {

enum class Answer { OK, Yes, No, Cancel };

// Message box style numbers: the sum of a button set, an icon and a default.
namespace style {
inline constexpr int kOk = 0;
inline constexpr int kOkCancel = 1;
inline constexpr int kYesNoCancel = 3;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kSecondDefault = 256;
inline int Buttons(int s) { return s & 7; }
inline int Icon(int s) { return s & 0x70; }
}  // namespace style

// A file dialog. filter is "description|pattern|description|pattern";
// filterIndex is 1-based as in the description of each dialog.
struct FileDialog {
  std::string title;
  std::string filter;
  int filterIndex = 1;
  std::string fileName;
  bool overwritePrompt = false;
};

// How far a long run is: done of count steps after elapsedSeconds since it
// started; count 0 when the end is not known in advance (a minimizer).
struct RunProgress {
  int64_t done = 0;
  int64_t count = 0;
  double elapsedSeconds = 0;
};

struct LocalDateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  double SecondsSinceMidnight() const { return hour * 3600.0 + minute * 60.0 + second; }
};

class Frontend {
 public:
  virtual ~Frontend() = default;

  // Modal boxes. Input gives nullopt for Cancel, which ends the command
  // without changes, and an empty text for an empty answer, which each
  // command reads as its prompt says (most end, some ask again).
  virtual Answer Message(std::string_view title, std::string_view text, int style) = 0;
  virtual std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                           std::string_view defaultText) = 0;
  // A cancelled dialog gives nullopt. Save dialogs ask before overwriting
  // when overwritePrompt is set.
  virtual std::optional<std::string> OpenFile(const FileDialog& dialog) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialog& dialog) = 0;

  // Status bars stbMain0..stbMain5 (bar 0..5), panels from 1.
  virtual void SetStatus(int bar, int panel, std::string_view text) = 0;
  virtual void ClearStatusBars() = 0;

  // Windows by form name: Show creates the form when needed; Close unloads.
  virtual void ShowWindow(std::string_view form) = 0;
  virtual void HideWindow(std::string_view form) = 0;
  virtual void CloseWindow(std::string_view form) = 0;
  virtual bool IsWindowOpen(std::string_view form) const = 0;

  // Report panes and controls of a form.
  virtual void SetPaneText(std::string_view form, std::string_view pane, std::string_view text) = 0;
  virtual std::string PaneText(std::string_view form, std::string_view pane) const = 0;
  virtual void SetEnabled(std::string_view form, std::string_view control, bool enabled) = 0;
  virtual void SetVisible(std::string_view form, std::string_view control, bool visible) = 0;
  virtual void SetCaption(std::string_view form, std::string_view control, std::string_view text) = 0;
  virtual void SetToolTip(std::string_view form, std::string_view control, std::string_view text) = 0;
  virtual void SetFocus(std::string_view form, std::string_view control) = 0;

  // Lets the interface process pending events. Rate-limited by the front
  // end; Force asks for a shorter limit (a status change that must be seen
  // before a long step).
  virtual void PumpEvents(bool force = false) = 0;
  // Waits for the user to do something (a click, a close) and handles it:
  // the body of a loop that waits on a button.
  virtual void WaitForEvents() { PumpEvents(true); }
  virtual void Beep() {}

  // A long run's progress, for a front end that shows it in one place of
  // its own (the windows show the status bars instead); EndProgress when
  // the run is over.
  virtual void ShowProgress(const RunProgress&) {}
  virtual void EndProgress() {}

  // Opens the x-y plot window on the given series; the caller goes on
  // while it stays open. The program that has a plot window installs it as
  // plotViewer; a front end without one ignores the call.
  std::function<void(const plots::XYPlotData&)> plotViewer;
  virtual void ShowXYPlot(const plots::XYPlotData& data) {
    if (plotViewer) plotViewer(data);
  }
  // The distribution plot (frmDistPlot) and the bivariate plot
  // (frmBivarPlot), installed the same way.
  std::function<void(const plots::DistributionPlotData&)> distributionViewer;
  std::function<void(const BivariateGrid&)> bivariateViewer;

  virtual LocalDateTime Now() const = 0;
};

}  // namespace kalvex::ui
