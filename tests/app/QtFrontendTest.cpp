// The Qt front end on its own: dialogs of the real provider, the form
// registry, controls addressed by name, report panes and event pumping.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QEventLoop>
#include <QThread>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt/QtFrontend.h"

using kalvex::ui::Answer;
using kalvex::ui::qt::QtFrontend;

namespace {

// With KALVEX_SHOTS set, a picture of the screen while a dialog is up.
void Shot() {
  static int count = 0;
  QString folder = qEnvironmentVariable("KALVEX_SHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  QString path = QString("%1/dialog-%2.png").arg(folder).arg(++count, 2, 10, QChar('0'));
  if (QGuiApplication::platformName() == "xcb")
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
  else if (QWidget* modal = QApplication::activeModalWidget())
    modal->grab().save(path);
}

// Runs check on the next modal dialog as soon as it is shown.
template <typename Dialog, typename Check>
void OnNextDialog(Check check) {
  QTimer::singleShot(50, [check] {
    Shot();
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<Dialog*>(modal)) {
      check(dialog);
    } else {
      QFAIL("no dialog of the expected kind");
    }
  });
}

class ClosableForm : public QWidget, public kalvex::ui::qt::UserClosable {
 public:
  int userCloses = 0;
  bool allow = true;
  bool UserClosing() override {
    ++userCloses;
    return allow;
  }
};

// Counts the events of one type a watched object gets.
class EventCounter : public QObject {
 public:
  explicit EventCounter(QEvent::Type type) : type_(type) {}
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_) ++count;
    return false;
  }

 private:
  QEvent::Type type_;
};

// Kept when closed; counts how often it was handed out again.
class ReusedForm : public ClosableForm, public kalvex::ui::qt::ReusableForm {
 public:
  int reopens = 0;
  void Reopen() override { ++reopens; }
};

}  // namespace

class QtFrontendTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void messageBoxStyles();
  void inputBoxEmptyIsNotCancel();
  void fileDialogs();
  void formsAndControls();
  void userCloseAndProgramClose();
  void reusableFormsAreKept();
  void panesAndStatus();
  void dialogShowsTheNewestReport();
  void inputMeetsTheNewestState();
  void pumpingIsRateLimited();

 private:
  std::unique_ptr<QMainWindow> main;
  std::unique_ptr<QtFrontend> ui;
  QMdiArea* area = nullptr;
  ClosableForm* lastClosable = nullptr;
};

void QtFrontendTest::init() {
  main = std::make_unique<QMainWindow>();
  main->setObjectName("frmMain");
  area = new QMdiArea(main.get());
  main->setCentralWidget(area);
  QMenu* application = main->menuBar()->addMenu("&Application");
  application->setObjectName("mnuApplication");
  application->addAction("E&xit")->setObjectName("mnuExit");
  ui = std::make_unique<QtFrontend>();
  ui->SetMainWindow(main.get(), area);
  for (int bar = 0; bar < 6; ++bar) {
    auto* statusBar = new QStatusBar(main.get());
    statusBar->setObjectName(QString("stbMain%1").arg(bar));
    ui->SetStatusBar(bar, statusBar);
  }
  ui->RegisterForm("frmTest", [this] {
    auto* form = new ClosableForm;
    auto* layout = new QVBoxLayout(form);
    auto* label = new QLabel("old", form);
    label->setObjectName("lblTest");
    layout->addWidget(label);
    auto* button = new QPushButton("old", form);
    button->setObjectName("cmdTest");
    layout->addWidget(button);
    auto* box = new QLineEdit(form);
    box->setObjectName("txtTest");
    layout->addWidget(box);
    lastClosable = form;
    return form;
  });
  ui->RegisterForm("frmReuse", [] { return new ReusedForm; }, {QSize(300, 200), QPoint(40, 30)});
  main->show();
}

void QtFrontendTest::cleanup() {
  ui.reset();
  main.reset();
}

void QtFrontendTest::messageBoxStyles() {
  struct Case {
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton press;
    Answer expected;
  } cases[] = {
      {292, QMessageBox::Question, QMessageBox::No, QMessageBox::Yes, Answer::Yes},
      {36, QMessageBox::Question, QMessageBox::Yes, QMessageBox::No, Answer::No},
      {51, QMessageBox::Warning, QMessageBox::Yes, QMessageBox::Cancel, Answer::Cancel},
      {16, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, Answer::OK},
      {64, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, Answer::OK},
      {80, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, Answer::OK},
      {65, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, Answer::OK},
      {65, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Cancel, Answer::Cancel},
  };
  for (const Case& c : cases) {
    OnNextDialog<QMessageBox>([c](QMessageBox* box) {
      QCOMPARE(box->icon(), c.icon);
      QCOMPARE(box->standardButton(box->defaultButton()), c.defaultButton);
      QCOMPARE(box->text(), QString("line one\nline two"));
      box->button(c.press)->click();
    });
    QCOMPARE(ui->Message("Title", "line one\r\nline two", c.style), c.expected);
  }
}

void QtFrontendTest::inputBoxEmptyIsNotCancel() {
  OnNextDialog<QInputDialog>([](QInputDialog* box) {
    QCOMPARE(box->textValue(), QString("proposed"));
    QCOMPARE(box->labelText(), QString("Prompt\nsecond"));
    box->setTextValue("");
    box->accept();
  });
  QCOMPARE(ui->Input("Prompt\r\nsecond", "Title", "proposed"), std::optional<std::string>(""));
  OnNextDialog<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("42");
    box->accept();
  });
  QCOMPARE(ui->Input("Prompt", "Title", "").value_or(""), std::string("42"));
  OnNextDialog<QInputDialog>([](QInputDialog* box) { box->reject(); });
  QVERIFY(!ui->Input("Prompt", "Title", "x"));
  // A long prompt wraps inside a box that stays on the screen.
  OnNextDialog<QInputDialog>([](QInputDialog* box) {
    QVERIFY(box->width() < 900);
    box->reject();
  });
  QVERIFY(!ui->Input("Enter new alphabetical fuse character(s) (e.g., A,B,AA,AB,...) or the null character [~~, "
                     "unfused] for parameter #12",
                     "Edit all parameter fuse characters", "~~"));
}

void QtFrontendTest::fileDialogs() {
  kalvex::ui::FileDialog dialog;
  dialog.title = "Save algorithm data in...";
  dialog.filter = "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|Named for data file (two.*)|two.*";
  dialog.filterIndex = 3;
  dialog.fileName = "03071405.alg";
  dialog.overwritePrompt = true;
  OnNextDialog<QFileDialog>([](QFileDialog* box) {
    QCOMPARE(box->windowTitle(), QString("Save algorithm data in..."));
    QCOMPARE(box->nameFilters(),
             QStringList({"All files (*)", "Algorithm files (*.alg)", "Named for data file (two.*)"}));
    QCOMPARE(box->selectedNameFilter(), QString("Named for data file (two.*)"));
    QVERIFY(!box->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(box->acceptMode(), QFileDialog::AcceptSave);
    box->reject();
  });
  QVERIFY(!ui->SaveFile(dialog));

  dialog.overwritePrompt = false;
  dialog.filterIndex = 2;
  OnNextDialog<QFileDialog>([](QFileDialog* box) {
    QVERIFY(box->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(box->selectedNameFilter(), QString("Algorithm files (*.alg)"));
    box->reject();
  });
  QVERIFY(!ui->SaveFile(dialog));

  OnNextDialog<QFileDialog>([](QFileDialog* box) {
    QCOMPARE(box->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(box->fileMode(), QFileDialog::ExistingFile);
    box->reject();
  });
  QVERIFY(!ui->OpenFile(dialog));
}

void QtFrontendTest::formsAndControls() {
  QVERIFY(!ui->IsWindowOpen("frmTest"));
  ui->SetCaption("frmTest", "lblTest", "ignored: not loaded");  // no form, nothing happens
  ui->ShowWindow("frmTest");
  QVERIFY(ui->IsWindowOpen("frmTest"));
  QWidget* form = ui->Form("frmTest");
  QCOMPARE(form->objectName(), QString("frmTest"));
  QVERIFY(!form->isVisible());  // shown when the interface next runs
  ui->Flush();
  QVERIFY(form->isVisible());
  QCOMPARE(area->subWindowList().size(), 1);

  ui->SetCaption("frmTest", "frmTest", "A title");
  QCOMPARE(area->subWindowList().first()->windowTitle(), QString("A title"));
  ui->SetCaption("frmTest", "lblTest", "label");
  ui->SetCaption("frmTest", "cmdTest", "&Button");
  ui->SetCaption("frmTest", "txtTest", "text");
  QCOMPARE(form->findChild<QLabel*>("lblTest")->text(), QString("label"));
  QCOMPARE(form->findChild<QPushButton*>("cmdTest")->text(), QString("old"));  // a button's waits
  ui->Flush();
  QCOMPARE(form->findChild<QPushButton*>("cmdTest")->text(), QString("&Button"));
  QCOMPARE(form->findChild<QLineEdit*>("txtTest")->text(), QString("text"));
  ui->SetEnabled("frmTest", "cmdTest", false);
  ui->Flush();
  QVERIFY(!form->findChild<QPushButton*>("cmdTest")->isEnabled());
  ui->SetToolTip("frmTest", "cmdTest", "tip");
  QCOMPARE(form->findChild<QPushButton*>("cmdTest")->toolTip(), QString("tip"));
  ui->SetVisible("frmTest", "lblTest", false);
  QVERIFY(form->findChild<QLabel*>("lblTest")->isHidden());

  // Menus of the main window: a menu is disabled through its menu-bar entry.
  ui->SetEnabled("frmMain", "mnuApplication", false);
  ui->Flush();
  QVERIFY(!main->findChild<QMenu*>("mnuApplication")->menuAction()->isEnabled());
  ui->SetCaption("frmMain", "mnuExit", "Leave");
  QCOMPARE(main->findChild<QAction*>("mnuExit")->text(), QString("Leave"));
  ui->SetCaption("frmMain", "frmMain", "Oskane model");
  QCOMPARE(main->windowTitle(), QString("Oskane model"));

  // Hide keeps the form and its states; show brings the same one back.
  ui->HideWindow("frmTest");
  QVERIFY(ui->IsWindowOpen("frmTest"));
  ui->ShowWindow("frmTest");
  QCOMPARE(ui->Form("frmTest"), form);
  QVERIFY(!form->findChild<QPushButton*>("cmdTest")->isEnabled());
}

void QtFrontendTest::userCloseAndProgramClose() {
  ui->ShowWindow("frmTest");
  ClosableForm* form = lastClosable;
  ui->CloseWindow("frmTest");
  QVERIFY(!ui->IsWindowOpen("frmTest"));
  QCOMPARE(form->userCloses, 0);  // a program close is not the user's
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCOMPARE(area->subWindowList().size(), 0);

  ui->ShowWindow("frmTest");
  form = lastClosable;
  form->allow = false;
  area->subWindowList().first()->close();
  QCOMPARE(form->userCloses, 1);
  QVERIFY(ui->IsWindowOpen("frmTest"));
  form->allow = true;
  area->subWindowList().first()->close();
  QCOMPARE(form->userCloses, 2);
  QVERIFY(!ui->IsWindowOpen("frmTest"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCOMPARE(area->subWindowList().size(), 0);
}

void QtFrontendTest::reusableFormsAreKept() {
  ui->ShowWindow("frmReuse");
  auto* form = static_cast<ReusedForm*>(ui->Form("frmReuse"));
  QCOMPARE(form->reopens, 0);
  QWidget* frame = form->parentWidget();
  ui->SetPaneText("frmReuse", "rtbOld", "old report");
  ui->Flush();
  frame->move(200, 150);
  frame->showMaximized();

  // Closed by the program or by the user, it hides and comes back as new.
  ui->CloseWindow("frmReuse");
  QVERIFY(!ui->IsWindowOpen("frmReuse"));
  ui->Flush();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCOMPARE(area->subWindowList().size(), 1);
  QVERIFY(!frame->isVisible());
  ui->ShowWindow("frmReuse");
  QCOMPARE(ui->Form("frmReuse"), form);
  QCOMPARE(form->reopens, 1);
  QCOMPARE(ui->PaneText("frmReuse", "rtbOld"), std::string());
  ui->Flush();
  QVERIFY(frame->isVisible());
  QVERIFY(!frame->isMaximized());
  QCOMPARE(frame->pos(), QPoint(40, 30));
  QCOMPARE(frame->size(), QSize(300, 200));
  QCOMPARE(form->findChild<QTextEdit*>("rtbOld")->toPlainText(), QString());

  frame->close();
  QCOMPARE(form->userCloses, 1);
  QVERIFY(!ui->IsWindowOpen("frmReuse"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ui->ShowWindow("frmReuse");
  QCOMPARE(ui->Form("frmReuse"), form);
  QCOMPARE(form->reopens, 2);
  ui->Flush();
  QVERIFY(frame->isVisible());

  // Closed and opened again before the interface runs, it never goes away.
  EventCounter hides(QEvent::Hide);
  frame->installEventFilter(&hides);
  ui->CloseWindow("frmReuse");
  ui->ShowWindow("frmReuse");
  ui->Flush();
  QCOMPARE(hides.count, 0);
  QVERIFY(frame->isVisible());
  QCOMPARE(form->reopens, 3);
  frame->removeEventFilter(&hides);
}

void QtFrontendTest::panesAndStatus() {
  // A form nobody registered opens as a report window with panes on demand.
  ui->SetPaneText("frmReport", "rtbReport", "first\r\nsecond\r\n");
  auto* pane = ui->Form("frmReport")->findChild<QTextEdit*>("rtbReport");
  QVERIFY(pane);
  QCOMPARE(pane->font().family(), QString("Courier New"));
  QCOMPARE(pane->font().styleHint(), QFont::TypeWriter);
  QCOMPARE(pane->lineWrapMode(), QTextEdit::NoWrap);
  QCOMPARE(pane->toPlainText(), QString("first\nsecond\n"));
  QCOMPARE(ui->PaneText("frmReport", "rtbReport"), std::string("first\r\nsecond\r\n"));
  QCOMPARE(ui->PaneText("frmReport", "rtbNone"), std::string());

  ui->SetStatus(5, 3, "third panel");
  QStatusBar* last = main->findChild<QStatusBar*>("stbMain5");
  QVERIFY(last->findChild<QLabel*>("stbMain5_1"));
  QCOMPARE(last->findChild<QLabel*>("stbMain5_3")->text(), QString("third panel"));
  ui->SetStatus(7, 1, "no such bar");  // ignored
  ui->ClearStatusBars();
  QCOMPARE(last->findChild<QLabel*>("stbMain5_3")->text(), QString());
}

void QtFrontendTest::dialogShowsTheNewestReport() {
  ui->SetPaneText("frmReport", "rtbReport", "first");
  auto* pane = ui->Form("frmReport")->findChild<QTextEdit*>("rtbReport");
  ui->SetPaneText("frmReport", "rtbReport", "second");
  QCOMPARE(ui->PaneText("frmReport", "rtbReport"), std::string("second"));
  // The box's own event loop brings the report behind it up to date.
  OnNextDialog<QMessageBox>([pane](QMessageBox* box) {
    QCOMPARE(pane->toPlainText(), QString("second"));
    box->button(QMessageBox::Ok)->click();
  });
  ui->Message("Title", "Done", 64);
  QCOMPARE(pane->toPlainText(), QString("second"));
}

void QtFrontendTest::inputMeetsTheNewestState() {
  ui->ShowWindow("frmTest");
  ui->Flush();
  auto* button = ui->Form("frmTest")->findChild<QPushButton*>("cmdTest");
  int clicks = 0;
  connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

  // A command disabled the button and is over; the click comes before the
  // event loop has drawn that, and must not get through.
  ui->SetEnabled("frmTest", "cmdTest", false);
  QVERIFY(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(clicks, 0);
  QVERIFY(!button->isEnabled());

  ui->SetEnabled("frmTest", "cmdTest", true);
  ui->SetEnabled("frmTest", "cmdTest", false);
  ui->SetEnabled("frmTest", "cmdTest", true);  // the last word holds
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(clicks, 1);
}

void QtFrontendTest::pumpingIsRateLimited() {
  int delivered = 0;
  QObject receiver;
  auto post = [&] { QMetaObject::invokeMethod(&receiver, [&] { ++delivered; }, Qt::QueuedConnection); };
  auto waitPast = [](std::chrono::milliseconds interval) {
    QThread::msleep(static_cast<unsigned long>(interval.count()) + 5);
  };
  waitPast(QtFrontend::kPumpInterval);
  post();
  ui->PumpEvents();
  QCOMPARE(delivered, 1);

  post();
  ui->PumpEvents(true);  // right after a pump: not even a forced one
  QCOMPARE(delivered, 1);
  waitPast(QtFrontend::kForcedPumpInterval);
  ui->PumpEvents();  // a loop's pump waits longer
  QCOMPARE(delivered, 1);
  ui->PumpEvents(true);
  QCOMPARE(delivered, 2);

  // Events the event loop itself processed count as a pump: a command that
  // starts right after it draws nothing of its own.
  waitPast(QtFrontend::kPumpInterval);
  QEventLoop loop;
  QTimer::singleShot(0, &loop, &QEventLoop::quit);
  loop.exec();
  post();
  ui->PumpEvents(true);
  QCOMPARE(delivered, 2);

  // A wait for the user handles what is there at once.
  ui->WaitForEvents();
  QCOMPARE(delivered, 3);
}

QTEST_MAIN(QtFrontendTest)
#include "QtFrontendTest.moc"
