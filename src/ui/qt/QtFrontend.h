#pragma once
// The Qt front end: real windows inside the main window's MDI area, status
// bars with panels, report panes, and the modal dialogs of a DialogProvider.
//
// Windows are created on demand from a registry of form factories, so every
// window of the program registers itself once at start-up:
//
//   frontend.RegisterForm("frmSimplex", [&] { return new SimplexForm(ws, frontend); },
//                         {QSize(640, 480), QPoint(320, 0)});
//
// and the core then opens it with ShowWindow("frmSimplex"). A form that is not
// registered opens as a plain report window whose panes are made when a
// report is put into them. Controls are found by objectName below the form.
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

#include "ui/Frontend.h"
#include "ui/qt/DialogProvider.h"

class QLabel;
class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QStatusBar;
class QTextEdit;
class QTimer;
class QWidget;

namespace kalvex::ui::qt {

// A form that wants to hear about a close the user asked for (the window's
// close button). Closing through Frontend::CloseWindow does not call it.
class UserClosable {
 public:
  virtual ~UserClosable() = default;
  // false keeps the window open.
  virtual bool UserClosing() { return true; }
};

// A form kept, hidden, when it closes and handed out again when it next
// opens: the minimizer windows open with every run, and building one costs
// more than a short fit. Reopen puts it back as a new one would be.
class ReusableForm {
 public:
  virtual ~ReusableForm() = default;
  virtual void Reopen() = 0;
};

struct FormPlacement {
  QSize size;              // empty: the form's own size hint
  QPoint position{-1, -1}; // inside the MDI area; (-1, -1): the area's choice
  bool mdiChild = true;    // false: a window of its own (information windows)
};

using FormFactory = std::function<QWidget*()>;

// Where a window goes in the MDI area (of size space): the wanted rectangle
// shrunk to end inside the area, but not below the window's minimum, and
// moved in from the right and bottom edges only when that is not enough,
// so that a window opened beside the main menu stays beside it. A window
// whose minimum is larger than the area starts at its corner (the area
// scrolls).
QRect FitInArea(const QRect& wanted, const QSize& minimum, const QSize& space);
// The least size a window (a sub-window frame) can be shown at.
QSize MinimumOf(const QWidget* frame);
// A window beside another one (anchor) in the area: the wanted size fitted
// into the free part of the area below the anchor (from its left edge) or
// right of it (from its top); nullopt when even the minimum does not fit.
enum class Side { Below, Right };
std::optional<QRect> BesideInArea(const QRect& anchor, Side side, const QSize& wanted, const QSize& minimum,
                                  const QSize& space);

// A report pane: "Courier New" (typewriter hint), no wrapping, editable.
QTextEdit* MakeReportPane(QWidget* parent, const QString& objectName);

// Return presses the focused button of a form as it does in a dialog
// (outside a dialog a push button ignores it). Every registered form gets
// this when it is made.
void PressFocusedButtonOnReturn(QWidget* form);

class QtFrontend : public Frontend {
 public:
  // dialogs == nullptr: the real widget dialogs.
  explicit QtFrontend(DialogProvider* dialogs = nullptr);
  ~QtFrontend() override;

  // Wiring done once by the main window.
  void SetMainWindow(QMainWindow* main, QMdiArea* area);
  void SetStatusBar(int bar, QStatusBar* statusBar);
  void SetDialogProvider(DialogProvider* dialogs);
  DialogProvider& Dialogs() { return *dialogs_; }

  // The registry of forms.
  void RegisterForm(const std::string& name, FormFactory factory, FormPlacement placement = {});
  bool IsRegistered(const std::string& name) const { return factories_.count(name) > 0; }
  // The form's widget when it is loaded (shown or hidden), else nullptr.
  QWidget* Form(std::string_view name) const;
  // Where a form's frame is in the MDI area when it is shown there, else
  // where it opens (a window about to open has its place already);
  // nullopt for a form that is not a window of the area.
  std::optional<QRect> AreaGeometry(std::string_view name) const;
  // Loads the form without showing it.
  QWidget* LoadForm(std::string_view name);
  QLabel* StatusPanel(int bar, int panel);

  Answer Message(std::string_view title, std::string_view text, int style) override;
  std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                   std::string_view defaultText) override;
  std::optional<std::string> OpenFile(const FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const FileDialog& dialog) override;
  void SetStatus(int bar, int panel, std::string_view text) override;
  void ClearStatusBars() override;
  void ShowWindow(std::string_view form) override;
  void HideWindow(std::string_view form) override;
  void CloseWindow(std::string_view form) override;
  bool IsWindowOpen(std::string_view form) const override;
  void SetPaneText(std::string_view form, std::string_view pane, std::string_view text) override;
  std::string PaneText(std::string_view form, std::string_view pane) const override;
  void SetEnabled(std::string_view form, std::string_view control, bool enabled) override;
  void SetVisible(std::string_view form, std::string_view control, bool visible) override;
  void SetCaption(std::string_view form, std::string_view control, std::string_view text) override;
  void SetToolTip(std::string_view form, std::string_view control, std::string_view text) override;
  void SetFocus(std::string_view form, std::string_view control) override;
  void PumpEvents(bool force = false) override;
  void WaitForEvents() override;
  void Beep() override;
  LocalDateTime Now() const override;

  // A pump brings the screen up to date and handles the user's clicks.
  // Pumps in a run's loop come at most every kPumpInterval, forced ones at
  // most every kForcedPumpInterval, both counted from the last time events
  // were processed, by a pump or by the event loop itself: a command that
  // ends sooner than that leaves all its drawing to the event loop, and a
  // long one redraws often enough to follow and to take a click at once.
  static constexpr std::chrono::milliseconds kPumpInterval{50};
  static constexpr std::chrono::milliseconds kForcedPumpInterval{25};

  // Report texts of an open pane, the showing and hiding of forms, the
  // enabling of controls and the captions of buttons are applied when the
  // interface next gets to run (a pump, an event loop, the program's own or
  // a dialog's, or the user's next click or key, before it finds its
  // target). A run that reports after every few moves pays for one layout
  // per pump, not per report, and a short command that hides the menu,
  // opens its window and brings the menu back draws only what changed, once
  // it is over.
  void Flush();

 private:
  struct LoadedForm {
    QPointer<QWidget> widget;
    QPointer<QMdiSubWindow> subWindow;  // null for a window of its own
  };
  QWidget* Create(const std::string& name);
  QWidget* Reuse(const std::string& name);
  void Place(const LoadedForm& form, const std::string& name);
  // The area changed size: every window still where Place put it is placed
  // again (grown back, or fitted in); one the user moved or sized stays.
  void AreaResized();
  std::map<std::string, QRect> placed_;
  void Retire(const std::string& name, const LoadedForm& form);
  QWidget* Frame(const LoadedForm& form) const;  // what is shown and hidden
  QObject* Control(std::string_view form, std::string_view control) const;
  QWidget* DialogParent() const;
  bool UserClose(const std::string& name);
  // Warns on standard error, once per name, about a form or control name
  // that ui/Names.h does not list (a registered form is known).
  void Vet(std::string_view form, std::string_view control = {}) const;
  mutable std::set<std::string> warned_;

  std::unique_ptr<DialogProvider> ownDialogs_;
  DialogProvider* dialogs_;
  QPointer<QMainWindow> main_;
  std::string mainName_;  // its objectName, which the core uses as a form name
  QPointer<QMdiArea> area_;
  std::array<QPointer<QStatusBar>, 6> bars_;
  std::map<std::string, FormFactory> factories_;
  std::map<std::string, FormPlacement> placements_;
  std::map<std::string, LoadedForm> loaded_;
  std::map<std::string, LoadedForm> retained_;  // closed reusable forms, hidden
  std::chrono::nanoseconds lastPump_{};  // on a monotonic clock
  void ScheduleFlush();
  void ApplyEnabled(std::string_view form, std::string_view control, bool enabled);
  void ApplyButtonCaption(std::string_view form, std::string_view control, const std::string& text);
  std::map<std::pair<std::string, std::string>, bool> pendingEnabled_;
  std::map<std::pair<std::string, std::string>, std::string> pendingCaptions_;  // of buttons
  QTimer* flushTimer_ = nullptr;
  void SetShown(const std::string& name, bool shown);
  void ApplyShown(const std::string& name, bool shown);
  std::vector<std::pair<std::string, bool>> pendingShown_;  // in the order asked
  void ApplyPaneText(std::string_view form, std::string_view pane, const std::string& text);
  std::map<std::pair<std::string, std::string>, std::string> pendingPanes_;
  struct PendingPane {
    std::string form, pane;
    std::string* text = nullptr;  // its entry in pendingPanes_
  } lastPending_;
  bool flushScheduled_ = false;
  void ApplyStatus(int bar, int panel, std::string_view text);
  std::map<std::pair<int, int>, std::string> pendingStatus_;
  std::chrono::nanoseconds lastActivityStatus_{};
  mutable std::map<std::pair<std::string, std::string>, QPointer<QObject>> controlCache_;
  class CloseFilter;
  friend class CloseFilter;
  CloseFilter* closeFilter_ = nullptr;
  class InputFilter;  // on the application while changes wait
  InputFilter* inputFilter_ = nullptr;
};

}  // namespace kalvex::ui::qt
