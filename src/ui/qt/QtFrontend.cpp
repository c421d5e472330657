#include "ui/qt/QtFrontend.h"

#include <time.h>

#include <algorithm>
#include <iostream>
#include <utility>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QAnyStringView>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/Names.h"

namespace kalvex::ui::qt {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

std::string PanelName(int bar, int panel) {
  return "stbMain" + std::to_string(bar) + "_" + std::to_string(panel);
}

const char* const kFormProperty = "kalvexForm";

// The run asks for the time before every pump and status change, thousands
// of times a second; a clock of a few milliseconds' grain is exact enough to
// space pumps tens of milliseconds apart, and reading it costs nothing,
// where the precise clock of a virtual machine can cost a tenth of an
// evaluation.
std::chrono::nanoseconds CoarseNow() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0)
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
#endif
  return std::chrono::steady_clock::now().time_since_epoch();
}

// One axis of FitInArea: a window from at, length long, at least least, in room.
std::pair<int, int> FitAxis(int at, int length, int least, int room) {
  length = std::max(std::min(length, room - std::max(at, 0)), least);
  if (length > room) return {0, length};
  return {std::clamp(at, 0, room - length), length};
}

}  // namespace

QRect FitInArea(const QRect& wanted, const QSize& minimum, const QSize& space) {
  auto [x, width] = FitAxis(wanted.x(), wanted.width(), minimum.width(), space.width());
  auto [y, height] = FitAxis(wanted.y(), wanted.height(), minimum.height(), space.height());
  return QRect(x, y, width, height);
}

QSize MinimumOf(const QWidget* frame) { return frame->minimumSizeHint().expandedTo(frame->minimumSize()); }

std::optional<QRect> BesideInArea(const QRect& anchor, Side side, const QSize& wanted, const QSize& minimum,
                                  const QSize& space) {
  const QPoint corner(space.width() - 1, space.height() - 1);
  const QRect region = side == Side::Below ? QRect(QPoint(std::max(0, anchor.left()), anchor.bottom() + 1), corner)
                                           : QRect(QPoint(anchor.right() + 1, std::max(0, anchor.top())), corner);
  if (region.width() < minimum.width() || region.height() < minimum.height()) return std::nullopt;
  return QRect(region.topLeft(), wanted.boundedTo(region.size()).expandedTo(minimum));
}

QTextEdit* MakeReportPane(QWidget* parent, const QString& objectName) {
  auto* pane = new QTextEdit(parent);
  pane->setObjectName(objectName);
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  // Reports are plain Latin text: skipping shaping makes a long pane lay out
  // several times faster, and fixed-width columns look the same.
  font.setStyleStrategy(QFont::PreferNoShaping);
  font.setPointSize(10);
  pane->setFont(font);
  pane->setLineWrapMode(QTextEdit::NoWrap);
  pane->setAcceptRichText(false);
  return pane;
}

void PressFocusedButtonOnReturn(QWidget* form) {
  for (QPushButton* button : form->findChildren<QPushButton*>()) button->setAutoDefault(true);
}

// Hears the user close a window (its close button, Alt+F4).
class QtFrontend::CloseFilter : public QObject {
 public:
  explicit CloseFilter(QtFrontend& owner) : owner_(owner) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize && owner_.area_ && watched == owner_.area_->viewport()) {
      owner_.AreaResized();
      return false;
    }
    if (event->type() != QEvent::Close) return false;
    std::string name = watched->property(kFormProperty).toString().toStdString();
    if (name.empty() || !owner_.loaded_.count(name)) return false;
    if (!owner_.UserClose(name)) {
      event->ignore();
      return true;
    }
    return false;
  }

 private:
  QtFrontend& owner_;
};

// Brings waiting changes to the screen before the user's input is routed:
// a click must not reach a button a finished command hid or disabled.
class QtFrontend::InputFilter : public QObject {
 public:
  explicit InputFilter(QtFrontend& owner) : owner_(owner) {}
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::TouchBegin:
        owner_.Flush();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QtFrontend& owner_;
};

QtFrontend::QtFrontend(DialogProvider* dialogs)
    : ownDialogs_(dialogs ? nullptr : std::make_unique<WidgetDialogProvider>()),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()),
      closeFilter_(new CloseFilter(*this)),
      inputFilter_(new InputFilter(*this)) {
  // The event loop leaves the screen up to date whenever it goes to sleep
  // or wakes: that counts as a pump.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    auto refreshed = [this] { lastPump_ = CoarseNow(); };
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, closeFilter_, refreshed);
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, closeFilter_, refreshed);
  }
}

QtFrontend::~QtFrontend() {
  for (auto* forms : {&loaded_, &retained_})
    for (auto& [name, form] : *forms)
      if (QWidget* frame = Frame(form)) frame->removeEventFilter(closeFilter_);
  delete closeFilter_;
  delete inputFilter_;
}

void QtFrontend::SetMainWindow(QMainWindow* main, QMdiArea* area) {
  main_ = main;
  mainName_ = main ? main->objectName().toStdString() : std::string();
  area_ = area;
  if (area_) area_->viewport()->installEventFilter(closeFilter_);
}

void QtFrontend::SetStatusBar(int bar, QStatusBar* statusBar) {
  if (bar >= 0 && bar < static_cast<int>(bars_.size())) bars_[bar] = statusBar;
}

void QtFrontend::SetDialogProvider(DialogProvider* dialogs) {
  if (dialogs) {
    dialogs_ = dialogs;
  } else {
    if (!ownDialogs_) ownDialogs_ = std::make_unique<WidgetDialogProvider>();
    dialogs_ = ownDialogs_.get();
  }
}

void QtFrontend::RegisterForm(const std::string& name, FormFactory factory, FormPlacement placement) {
  factories_[name] = std::move(factory);
  placements_[name] = placement;
}

// ---------------------------------------------------------------- names

void QtFrontend::Vet(std::string_view form, std::string_view control) const {
  auto warn = [this](const char* kind, std::string_view name) {
    if (!warned_.insert(std::string(name)).second) return;
    std::cerr << "kalvex: unknown " << kind << " name \"" << name << "\"\n";
  };
  bool knownForm = names::IsKnownForm(form) || factories_.count(std::string(form)) > 0 || form == mainName_;
  if (!knownForm) warn("form", form);
  if (!control.empty() && control != form && !names::IsKnownControl(control)) warn("control", control);
}

// ---------------------------------------------------------------- forms

QWidget* QtFrontend::Frame(const LoadedForm& form) const {
  if (form.subWindow) return form.subWindow;
  return form.widget;
}

QWidget* QtFrontend::Form(std::string_view name) const {
  if (main_ && name == mainName_) return main_;
  auto it = loaded_.find(std::string(name));
  if (it == loaded_.end() || !it->second.widget) return nullptr;
  return it->second.widget;
}

QWidget* QtFrontend::Create(const std::string& name) {
  if (QWidget* reused = Reuse(name)) return reused;
  QWidget* widget = nullptr;
  auto factory = factories_.find(name);
  if (factory != factories_.end()) {
    widget = factory->second();
  } else {
    // A report window for a form nobody registered: its panes are made on demand.
    widget = new QWidget;
    widget->setWindowTitle(QString::fromStdString(name));
    new QVBoxLayout(widget);
  }
  widget->setObjectName(QString::fromStdString(name));
  // A reusable form only hides when it closes; any other goes with its window.
  bool reusable = dynamic_cast<ReusableForm*>(widget) != nullptr;
  FormPlacement placement = placements_.count(name) ? placements_[name] : FormPlacement{};
  LoadedForm form;
  form.widget = widget;
  if (placement.mdiChild && area_) {
    QMdiSubWindow* sub = area_->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose, !reusable);
    sub->setObjectName(QString::fromStdString(name + "_window"));
    form.subWindow = sub;
  } else {
    widget->setAttribute(Qt::WA_DeleteOnClose, !reusable);
    widget->setWindowFlag(Qt::Window, true);
  }
  PressFocusedButtonOnReturn(widget);
  QWidget* frame = Frame(form);
  frame->setProperty(kFormProperty, QString::fromStdString(name));
  frame->installEventFilter(closeFilter_);
  Place(form, name);
  loaded_[name] = form;
  // Forget a form whose window went away by any route.
  // (closeFilter_ as context: the connection dies with this front end.)
  QObject::connect(widget, &QObject::destroyed, closeFilter_, [this, name, widget] {
    for (auto* forms : {&loaded_, &retained_}) {
      auto it = forms->find(name);
      if (it != forms->end() && (!it->second.widget || it->second.widget == widget)) forms->erase(it);
    }
  });
  return widget;
}

QWidget* QtFrontend::Reuse(const std::string& name) {
  auto kept = retained_.find(name);
  if (kept == retained_.end()) return nullptr;
  LoadedForm form = kept->second;
  retained_.erase(kept);
  QWidget* frame = form.widget ? Frame(form) : nullptr;
  if (!frame) return nullptr;
  // Back to its own size and place, as a new one would open.
  constexpr auto kSized = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  if (frame->windowState() & kSized) frame->setWindowState(frame->windowState() & ~kSized);
  // The user's close of a sub-window closes the form inside it as well: an
  // empty frame would open, with no panes and no buttons to click.
  if (form.subWindow && form.widget->isHidden()) form.widget->setVisible(true);
  Place(form, name);
  loaded_[name] = form;  // open again before Reopen, which may set controls through this front end
  dynamic_cast<ReusableForm&>(*form.widget).Reopen();
  // Its panes start empty, as a new form's do; the old reports cannot show
  // before then, since nothing is drawn before a flush.
  for (QTextEdit* pane : form.widget->findChildren<QTextEdit*>())
    if (!pane->objectName().isEmpty()) pendingPanes_[{name, pane->objectName().toStdString()}] = std::string();
  ScheduleFlush();
  return form.widget;
}

void QtFrontend::Place(const LoadedForm& form, const std::string& name) {
  FormPlacement placement = placements_.count(name) ? placements_[name] : FormPlacement{};
  QWidget* frame = Frame(form);
  if (placement.size.isValid()) frame->resize(placement.size);
  const bool placed = placement.position.x() >= 0;
  if (!form.subWindow || !area_ || area_->viewport()->size().isEmpty()) {
    if (placed) frame->move(placement.position + (!form.subWindow && main_ ? main_->geometry().topLeft() : QPoint()));
    return;
  }
  // A window inside the main window opens wholly inside its area.
  frame->setGeometry(FitInArea(QRect(placed ? placement.position : frame->pos(), frame->size()), MinimumOf(frame),
                               area_->viewport()->size()));
  placed_[name] = frame->geometry();
}

void QtFrontend::AreaResized() {
  for (const auto& [name, form] : loaded_) {
    auto placed = placed_.find(name);
    if (form.subWindow && placed != placed_.end() && form.subWindow->geometry() == placed->second) Place(form, name);
  }
}

std::optional<QRect> QtFrontend::AreaGeometry(std::string_view name) const {
  auto it = loaded_.find(std::string(name));
  if (it != loaded_.end() && it->second.subWindow && it->second.subWindow->isVisible())
    return it->second.subWindow->geometry();
  auto placement = placements_.find(std::string(name));
  if (!area_ || placement == placements_.end() || !placement->second.mdiChild || !placement->second.size.isValid() ||
      placement->second.position.x() < 0)
    return std::nullopt;
  return FitInArea(QRect(placement->second.position, placement->second.size), QSize(), area_->viewport()->size());
}

// A closed reusable form waits, hidden, for its next opening.
void QtFrontend::Retire(const std::string& name, const LoadedForm& form) {
  if (dynamic_cast<ReusableForm*>(form.widget.data())) retained_[name] = form;
}

QWidget* QtFrontend::LoadForm(std::string_view name) {
  if (QWidget* widget = Form(name)) return widget;
  return Create(std::string(name));
}

bool QtFrontend::UserClose(const std::string& name) {
  auto it = loaded_.find(name);
  if (it == loaded_.end()) return true;
  if (auto* closable = dynamic_cast<UserClosable*>(it->second.widget.data()))
    if (!closable->UserClosing()) return false;
  Retire(name, it->second);
  loaded_.erase(name);
  return true;
}

void QtFrontend::ShowWindow(std::string_view name) {
  Vet(name);
  if (main_ && name == mainName_) {
    main_->show();
    return;
  }
  LoadForm(name);
  SetShown(std::string(name), true);
}

void QtFrontend::HideWindow(std::string_view name) {
  Vet(name);
  if (loaded_.count(std::string(name))) SetShown(std::string(name), false);
}

void QtFrontend::SetShown(const std::string& name, bool shown) {
  std::erase_if(pendingShown_, [&](const auto& entry) { return entry.first == name; });
  pendingShown_.emplace_back(name, shown);
  ScheduleFlush();
}

void QtFrontend::ApplyShown(const std::string& name, bool shown) {
  auto it = loaded_.find(name);
  bool open = it != loaded_.end();
  LoadedForm form = open ? it->second : LoadedForm{};
  if (!open) {  // closed since: a kept form hides now
    auto kept = retained_.find(name);
    if (kept == retained_.end()) return;
    form = kept->second;
    shown = false;
  }
  QWidget* frame = Frame(form);
  if (!frame) return;
  if (!shown) {
    frame->hide();
    return;
  }
  frame->show();
  frame->raise();
  if (form.subWindow && area_) area_->setActiveSubWindow(form.subWindow);
}

void QtFrontend::CloseWindow(std::string_view name) {
  Vet(name);
  lastPending_ = {};
  std::erase_if(pendingPanes_, [&](const auto& entry) { return entry.first.first == name; });
  std::erase_if(pendingEnabled_, [&](const auto& entry) { return entry.first.first == name; });
  std::erase_if(pendingCaptions_, [&](const auto& entry) { return entry.first.first == name; });
  auto it = loaded_.find(std::string(name));
  if (it == loaded_.end()) return;
  LoadedForm form = it->second;
  loaded_.erase(it);
  QPointer<QWidget> frame = Frame(form);
  if (!frame) return;
  // No close event: the form's own close handling is for the user's close.
  if (dynamic_cast<ReusableForm*>(form.widget.data())) {
    retained_[std::string(name)] = form;
    SetShown(std::string(name), false);  // a reopening before the flush keeps it up
    return;
  }
  std::erase_if(pendingShown_, [&](const auto& entry) { return entry.first == name; });
  frame->hide();
  frame->removeEventFilter(closeFilter_);
  frame->deleteLater();
}

bool QtFrontend::IsWindowOpen(std::string_view name) const {
  Vet(name);
  return Form(name) != nullptr;
}

// ---------------------------------------------------------------- controls

QObject* QtFrontend::Control(std::string_view form, std::string_view control) const {
  QWidget* widget = Form(form);
  if (!widget) return nullptr;
  if (control.empty() || control == form) return widget;
  // A recursive search by name walks every widget of the form (for frmMain,
  // every window in it); commands set the same controls again and again.
  QPointer<QObject>& cached = controlCache_[{std::string(form), std::string(control)}];
  QUtf8StringView name(control.data(), qsizetype(control.size()));
  if (cached && QAnyStringView::equal(cached->objectName(), name)) {
    for (QObject* parent = cached->parent(); parent; parent = parent->parent())
      if (parent == widget) return cached;
  }
  cached = widget->findChild<QObject*>(name.toString());
  return cached;
}

void QtFrontend::SetPaneText(std::string_view form, std::string_view pane, std::string_view text) {
  // A run reports to the same pane thousands of times between two pumps:
  // the text waiting for the flush is replaced and nothing is looked up.
  if (lastPending_.text && lastPending_.form == form && lastPending_.pane == pane) {
    lastPending_.text->assign(text);
    return;
  }
  Vet(form, pane);
  LoadForm(form);  // a pane of a form not yet open opens it
  // A new pane gets its text at once; later reports of a run wait for the
  // next pump, where only the newest one is laid out.
  if (!qobject_cast<QTextEdit*>(Control(form, pane))) {
    lastPending_ = {};
    pendingPanes_.erase({std::string(form), std::string(pane)});
    ApplyPaneText(form, pane, std::string(text));
    return;
  }
  std::string& pending = pendingPanes_[{std::string(form), std::string(pane)}];
  pending.assign(text);
  lastPending_ = {std::string(form), std::string(pane), &pending};
  ScheduleFlush();
}

void QtFrontend::ApplyPaneText(std::string_view form, std::string_view pane, const std::string& text) {
  QWidget* widget = LoadForm(form);
  auto* edit = widget->findChild<QTextEdit*>(Q(pane));
  if (!edit) {
    edit = MakeReportPane(widget, Q(pane));
    if (widget->layout()) widget->layout()->addWidget(edit);
  }
  edit->setPlainText(ToQt(text));
}

void QtFrontend::ScheduleFlush() {
  if (flushScheduled_) return;
  flushScheduled_ = true;
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(inputFilter_);
  if (!flushTimer_) {
    // A child of the filter object, so a late timer dies with the front end.
    flushTimer_ = new QTimer(closeFilter_);
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(0);
    QObject::connect(flushTimer_, &QTimer::timeout, closeFilter_, [this] { Flush(); });
  }
  flushTimer_->start();
}

void QtFrontend::Flush() {
  if (flushScheduled_ && QCoreApplication::instance())
    QCoreApplication::instance()->removeEventFilter(inputFilter_);
  flushScheduled_ = false;
  // Each list is taken whole first: applying a change may queue new ones.
  for (const auto& [name, visible] : std::exchange(pendingShown_, {})) ApplyShown(name, visible);
  for (const auto& [key, on] : std::exchange(pendingEnabled_, {})) ApplyEnabled(key.first, key.second, on);
  for (const auto& [key, text] : std::exchange(pendingCaptions_, {})) ApplyButtonCaption(key.first, key.second, text);
  lastPending_ = {};
  for (const auto& [key, text] : std::exchange(pendingPanes_, {}))
    if (Form(key.first)) ApplyPaneText(key.first, key.second, text);
  for (const auto& [key, text] : std::exchange(pendingStatus_, {})) ApplyStatus(key.first, key.second, text);
}

std::string QtFrontend::PaneText(std::string_view form, std::string_view pane) const {
  Vet(form, pane);
  auto pending = pendingPanes_.find({std::string(form), std::string(pane)});
  if (pending != pendingPanes_.end() && Form(form)) return pending->second;
  auto* edit = qobject_cast<QTextEdit*>(Control(form, pane));
  if (!edit) return {};
  QString text = edit->toPlainText();
  text.replace("\n", "\r\n");
  return text.toStdString();
}

void QtFrontend::SetEnabled(std::string_view form, std::string_view control, bool enabled) {
  Vet(form, control);
  // A command disables the menu's buttons when it starts and enables them
  // when it ends: only the last word reaches the widgets.
  if (!Form(form)) return;
  pendingEnabled_[{std::string(form), std::string(control)}] = enabled;
  ScheduleFlush();
}

void QtFrontend::ApplyEnabled(std::string_view form, std::string_view control, bool enabled) {
  QObject* object = Control(form, control);
  if (auto* menu = qobject_cast<QMenu*>(object))
    menu->menuAction()->setEnabled(enabled);
  else if (auto* action = qobject_cast<QAction*>(object))
    action->setEnabled(enabled);
  else if (auto* widget = qobject_cast<QWidget*>(object))
    widget->setEnabled(enabled);
}

void QtFrontend::SetVisible(std::string_view form, std::string_view control, bool visible) {
  Vet(form, control);
  QObject* object = Control(form, control);
  if (auto* menu = qobject_cast<QMenu*>(object))
    menu->menuAction()->setVisible(visible);
  else if (auto* action = qobject_cast<QAction*>(object))
    action->setVisible(visible);
  else if (auto* widget = qobject_cast<QWidget*>(object))
    widget->setVisible(visible);
}

void QtFrontend::SetCaption(std::string_view form, std::string_view control, std::string_view text) {
  Vet(form, control);
  QObject* object = Control(form, control);
  if (!object) return;
  // A button's caption waits with its enabling: a run that relabels
  // Interrupt as it starts pays nothing when the label is already right.
  if (qobject_cast<QAbstractButton*>(object) && !(control.empty() || control == form)) {
    pendingCaptions_[{std::string(form), std::string(control)}].assign(text);
    ScheduleFlush();
    return;
  }
  QString caption = ToQt(std::string(text));
  if (control.empty() || control == form) {
    auto* widget = static_cast<QWidget*>(object);
    widget->setWindowTitle(caption);
    auto it = loaded_.find(std::string(form));
    if (it != loaded_.end() && it->second.subWindow) it->second.subWindow->setWindowTitle(caption);
  } else if (auto* label = qobject_cast<QLabel*>(object)) {
    label->setText(caption);
  } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    button->setText(caption);
  } else if (auto* line = qobject_cast<QLineEdit*>(object)) {
    line->setText(caption);
  } else if (auto* edit = qobject_cast<QTextEdit*>(object)) {
    edit->setPlainText(caption);
  } else if (auto* combo = qobject_cast<QComboBox*>(object)) {
    combo->setCurrentText(caption);
  } else if (auto* menu = qobject_cast<QMenu*>(object)) {
    menu->setTitle(caption);
  } else if (auto* action = qobject_cast<QAction*>(object)) {
    action->setText(caption);
  } else if (auto* widget = qobject_cast<QWidget*>(object)) {
    widget->setWindowTitle(caption);
  }
}

void QtFrontend::ApplyButtonCaption(std::string_view form, std::string_view control, const std::string& text) {
  auto* button = qobject_cast<QAbstractButton*>(Control(form, control));
  if (!button) return;
  QString caption = ToQt(text);
  if (button->text() != caption) button->setText(caption);  // a relabelling relays the form out
}

void QtFrontend::SetToolTip(std::string_view form, std::string_view control, std::string_view text) {
  Vet(form, control);
  QObject* object = Control(form, control);
  if (auto* action = qobject_cast<QAction*>(object))
    action->setToolTip(Q(text));
  else if (auto* widget = qobject_cast<QWidget*>(object))
    widget->setToolTip(Q(text));
}

void QtFrontend::SetFocus(std::string_view form, std::string_view control) {
  Vet(form, control);
  Flush();  // only a shown control takes the focus
  if (auto* widget = qobject_cast<QWidget*>(Control(form, control))) widget->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- status bars

QLabel* QtFrontend::StatusPanel(int bar, int panel) {
  if (bar < 0 || bar >= static_cast<int>(bars_.size()) || panel < 1 || !bars_[bar]) return nullptr;
  QStatusBar* statusBar = bars_[bar];
  std::string name = PanelName(bar, panel);
  if (auto* label = statusBar->findChild<QLabel*>(QString::fromStdString(name))) return label;
  QLabel* label = nullptr;
  for (int p = 1; p <= panel; ++p) {
    QString panelName = QString::fromStdString(PanelName(bar, p));
    label = statusBar->findChild<QLabel*>(panelName);
    if (label) continue;
    label = new QLabel(statusBar);
    label->setObjectName(panelName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The panels share the row whatever their texts: a long path or count
    // is cut (its tool tip holds it whole) rather than widening the row past
    // the window, where it would stay cut after the text is gone.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar->addWidget(label, 1);
  }
  return label;
}

void QtFrontend::SetStatus(int bar, int panel, std::string_view text) {
  // The activity bars change with every evaluation of a long run (call
  // counters): within a pump interval of the last change only the newest
  // text waits for the next flush. File names (bars 0 and 1) show at once.
  if (bar < 2) {
    pendingStatus_.erase({bar, panel});
    ApplyStatus(bar, panel, text);
    return;
  }
  auto pending = pendingStatus_.find({bar, panel});
  if (pending != pendingStatus_.end()) {  // a flush is due already
    pending->second.assign(text);
    return;
  }
  auto now = CoarseNow();
  if (now - lastActivityStatus_ < kPumpInterval) {
    pendingStatus_.emplace(std::pair{bar, panel}, std::string(text));
    ScheduleFlush();
    return;
  }
  lastActivityStatus_ = now;
  ApplyStatus(bar, panel, text);
}

void QtFrontend::ApplyStatus(int bar, int panel, std::string_view text) {
  if (QLabel* label = StatusPanel(bar, panel)) {
    label->setText(Q(text));
    label->setToolTip(Q(text));  // long paths stay readable when the panel cuts them
  }
}

void QtFrontend::ClearStatusBars() {
  pendingStatus_.clear();
  for (QStatusBar* bar : bars_) {
    if (!bar) continue;
    for (QLabel* label : bar->findChildren<QLabel*>()) {
      if (!label->objectName().startsWith("stbMain")) continue;
      label->clear();
      label->setToolTip({});
    }
  }
}

// ---------------------------------------------------------------- dialogs

QWidget* QtFrontend::DialogParent() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return main_;
}

Answer QtFrontend::Message(std::string_view title, std::string_view text, int style) {
  return dialogs_->Message(DialogParent(), std::string(title), std::string(text), style);
}

std::optional<std::string> QtFrontend::Input(std::string_view prompt, std::string_view title,
                                             std::string_view defaultText) {
  return dialogs_->Input(DialogParent(), std::string(prompt), std::string(title), std::string(defaultText));
}

// Blanks around a proposed name (a padded name read back from a file, a
// literal with a leading blank) would become part of the file's name when
// the user accepts it; hard to see, to type and to script.
static FileDialog WithTrimmedName(const FileDialog& dialog) {
  FileDialog trimmed = dialog;
  const std::size_t first = trimmed.fileName.find_first_not_of(" \t");
  if (first == std::string::npos) {
    trimmed.fileName.clear();
  } else {
    trimmed.fileName.erase(trimmed.fileName.find_last_not_of(" \t") + 1);
    trimmed.fileName.erase(0, first);
  }
  return trimmed;
}

std::optional<std::string> QtFrontend::OpenFile(const FileDialog& dialog) {
  return dialogs_->OpenFile(DialogParent(), WithTrimmedName(dialog));
}

std::optional<std::string> QtFrontend::SaveFile(const FileDialog& dialog) {
  return dialogs_->SaveFile(DialogParent(), WithTrimmedName(dialog));
}

// ---------------------------------------------------------------- events

void QtFrontend::PumpEvents(bool force) {
  auto now = CoarseNow();
  if (now - lastPump_ < (force ? kForcedPumpInterval : kPumpInterval)) return;
  lastPump_ = now;
  Flush();
  QCoreApplication::processEvents();
}

void QtFrontend::WaitForEvents() {
  Flush();
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  lastPump_ = CoarseNow();
}

void QtFrontend::Beep() { QApplication::beep(); }

LocalDateTime QtFrontend::Now() const {
  QDateTime now = QDateTime::currentDateTime();
  QDate date = now.date();
  QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

}  // namespace kalvex::ui::qt
