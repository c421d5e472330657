// The workbench's windows driven the way a user drives them, with the
// dialogs answered from a script. Set KALVEX_SHOTS to a folder to keep a
// picture of the screen after every step.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/EditorForm.h"
#include "app/InfoWindows.h"
#include "app/MainWindow.h"
#include "app/Workbench.h"
#include "minimize/MinimizerReports.h"
#include "model/OskaneModel.h"
#include "plots/qt/XYPlotWindow.h"
#include "support/TestLocale.h"
#include "support/TestModels.h"
#include "support/qt/ScriptedDialogProvider.h"

using kalvex::ui::Answer;

namespace {

QString Example(const char* name) { return QString(KALVEX_EXAMPLES) + "/" + name; }

const char* const kWorkflowButtons[] = {"cmdInitialize", "cmdLoadAlg",   "cmdEditAlg",  "cmdSaveAlg",
                                        "cmdSimplex",    "cmdMarquardt", "cmdUserSummary", "cmdOneFunction",
                                        "cmdCovariance", "cmdBayesian",  "cmdParEstimate", "cmdRank",
                                        "cmdCheckMinimum"};

}  // namespace

class WorkbenchWalk : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void nameFilters();
  void mainWindowMenusAndBars();
  void menuButtons();
  void walk();
  void informationWindowDisablesTheMainWindow();
  void closingTheMainWindowAsks();
  void menuMadeAnewFollowsTheRules();
  void closingTheEditorWindowFinishesEditing();
  void minimizersRunInTheirWindows();
  void checkTheMinimumRunsInItsWindow();
  void aLongRunShowsItsWindowAndTakesAClick();
  void derivativeDisplayWaitsForTheUser();
  void plotsOpenAboveTheSummary();
  void priorsAreSetProfiledAndReviewed();
  void modelsAreAddedRankedAndAnnotated();

 private:
  QWidget* Form(const char* name) { return wb->ui.Form(name); }
  QPushButton* MenuButton(const char* name) {
    QWidget* menu = Form("frmMenu");
    return menu ? menu->findChild<QPushButton*>(name) : nullptr;
  }
  QStringList EnabledButtons() {
    QStringList names;
    for (const char* name : kWorkflowButtons)
      if (QPushButton* b = MenuButton(name); b && b->isEnabled()) names << name;
    return names;
  }
  void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
  void Shot(const QString& name);
  // The two-species example initialized and its algorithm data loaded from the menu.
  bool LoadTwoSpecies() {
    wb->menu.Initialize();
    if (!wb->menu.FinishInitialization("2", Example("two_species.dat").toStdString())) return false;
    Script().ExpectMessage("Load algorithm data", Answer::Yes).ExpectOpen(Example("two_species.alg").toStdString());
    MenuButton("cmdLoadAlg")->click();
    Settle();
    return !wb->ws.AlgorithmFileName.empty();
  }
  kalvex::ui::ScriptedFrontend& Script() { return dialogs->script; }

  std::unique_ptr<kalvex::ui::qt::ScriptedDialogProvider> dialogs;
  std::unique_ptr<kalvex::app::Workbench> wb;
  bool quitCalled = false;
  int shot = 0;
};

void WorkbenchWalk::init() {
  dialogs = std::make_unique<kalvex::ui::qt::ScriptedDialogProvider>();
  wb = std::make_unique<kalvex::app::Workbench>(kalvex::MakeOskaneModel(), dialogs.get());
  quitCalled = false;
  wb->onQuit = [this] { quitCalled = true; };
  wb->Start();
  Settle();
}

void WorkbenchWalk::cleanup() {
  QCOMPARE(Script().PendingPrompts(), std::size_t{0});
  wb.reset();
  dialogs.reset();
}

void WorkbenchWalk::Shot(const QString& name) {
  QString folder = qEnvironmentVariable("KALVEX_SHOTS");
  if (folder.isEmpty()) return;
  Settle();
  QDir().mkpath(folder);
  QString path = QString("%1/%2-%3.png").arg(folder).arg(++shot, 2, 10, QChar('0')).arg(name);
  if (QGuiApplication::platformName() == "xcb")
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
  else
    wb->Main().grab().save(path);
}

void WorkbenchWalk::nameFilters() {
  using kalvex::ui::qt::NameFilters;
  QCOMPARE(NameFilters("All Files (*.*)|*.*|Data Files (*.dat)|*.dat"),
           QStringList({"All Files (*)", "Data Files (*.dat)"}));
  QCOMPARE(NameFilters("Named for data file (two.*)|two.*|Both|*.a;*.b"),
           QStringList({"Named for data file (two.*)", "Both (*.a *.b)"}));
  QCOMPARE(NameFilters(""), QStringList({"All files (*)"}));
}

void WorkbenchWalk::mainWindowMenusAndBars() {
  QMainWindow& main = wb->Main();
  QCOMPARE(main.objectName(), QString("frmMain"));
  QCOMPARE(main.windowTitle(), QString("Kalvex"));
  struct Item {
    const char* name;
    const char* caption;
  };
  for (Item menu : {Item{"mnuApplication", "&Application"}, Item{"mnuBayesianInt", "&Interrupt "},
                    Item{"mnuMLInt", "&Interrupt"}, Item{"mnuWindow", "&Window"}, Item{"mnuAbout", "&About"}}) {
    auto* found = main.findChild<QMenu*>(menu.name);
    QVERIFY2(found, menu.name);
    QCOMPARE(found->title(), QString(menu.caption));
  }
  for (Item item : {Item{"mnuMenu", "Main &menu"}, Item{"mnuExit", "E&xit"},
                    Item{"mnuInterruptBayes", "I&nterrupt calculations"},
                    Item{"mnuInterruptML", "&Interrupt calculations"}, Item{"mnuCascade", "&Cascade"},
                    Item{"mnuTileHorizontal", "Tile &Horizontal"}, Item{"mnuTileVertical", "Tile &Vertical"},
                    Item{"mnuArrangeIcons", "&Arrange Icons"}, Item{"mnuDefaultNames", "&Defaults etc."},
                    Item{"mnuWisdom", "&Wisdom"}, Item{"mnuCredits", "&Credits"}}) {
    auto* found = main.findChild<QAction*>(item.name);
    QVERIFY2(found, item.name);
    QCOMPARE(found->text(), QString(item.caption));
  }
  // The interrupt menus show only while an evaluation runs; their items set the flags.
  QVERIFY(!main.findChild<QMenu*>("mnuMLInt")->menuAction()->isVisible());
  QVERIFY(!main.findChild<QMenu*>("mnuBayesianInt")->menuAction()->isVisible());
  main.findChild<QAction*>("mnuInterruptBayes")->trigger();
  QVERIFY(wb->ws.InterruptBayes && !wb->ws.InterruptML);
  main.findChild<QAction*>("mnuInterruptML")->trigger();
  QVERIFY(wb->ws.InterruptML);

  for (int bar = 0; bar < 6; ++bar) QVERIFY(main.findChild<QStatusBar*>(QString("stbMain%1").arg(bar)));
  QCOMPARE(main.statusBar()->objectName(), QString("stbMain5"));
  wb->ui.SetStatus(1, 2, "Bayesian priors file: x.pri");
  QCOMPARE(main.findChild<QLabel*>("stbMain1_2")->text(), QString("Bayesian priors file: x.pri"));
  wb->ui.SetStatus(5, 4, "four");
  QCOMPARE(main.findChild<QLabel*>("stbMain5_4")->text(), QString("four"));
  wb->ui.ClearStatusBars();
  QCOMPARE(main.findChild<QLabel*>("stbMain1_2")->text(), QString());
}

void WorkbenchWalk::menuButtons() {
  QWidget* menu = Form("frmMenu");
  QVERIFY(menu);
  QCOMPARE(menu->windowTitle(), QString("Main menu"));
  QCOMPARE(menu->findChild<QLabel*>("lblModelName")->text(), QString("Multi-species Oskane Model"));
  QCOMPARE(MenuButton("cmdEditAlg")->text(), QString("&Edit  algorithm data"));
  QCOMPARE(MenuButton("cmdUserSummary")->text(), QString("&Single model results"));
  QCOMPARE(MenuButton("cmdRank")->toolTip(), QString("Uses AICc to rank and average among the best competing models"));
  QPushButton* quit = menu->findChild<QPushButton*>("cmdQuit");
  QCOMPARE(quit->text(), QString("&Quit"));
  QCOMPARE(quit->toolTip(), QString("Quit Kalvex"));
  QCOMPARE(EnabledButtons(), QStringList({"cmdInitialize"}));
  QVERIFY(quit->isEnabled());
}

void WorkbenchWalk::walk() {
  QString data = Example("two_species.dat");
  QString saved = QString::fromStdString(kalvex::testing::TempDir() + "/walk.alg");
  Shot("start");

  // Initialize.
  MenuButton("cmdInitialize")->click();
  Settle();
  QWidget* init = Form("frmInitialize");
  QVERIFY(init);
  QVERIFY(!Form("frmMenu"));
  QCOMPARE(wb->Main().windowTitle(), QString("Oskane model"));
  QCOMPARE(init->findChild<QComboBox*>("cboNSpecies")->count(), 25);
  QVERIFY(init->findChild<QTextEdit*>("txtInitialize")->toPlainText().startsWith("This model predicts"));
  Shot("initialize");
  Script().ExpectMessage("Missing input");
  init->findChild<QPushButton*>("cmdDone")->click();
  // A file that cannot be read: the model's message, the form stays open.
  init->findChild<QLineEdit*>("txtDataFile")->setText("/no/such/folder/data.dat");
  Script().ExpectMessage("Problem with the data file");
  init->findChild<QPushButton*>("cmdDone")->click();
  Settle();
  QVERIFY(Form("frmInitialize"));
  QVERIFY(!wb->ws.InitializeAlready);
  Script().ExpectOpen(data.toStdString(), "Load the input data file");
  init->findChild<QPushButton*>("cmdSelect")->click();
  QCOMPARE(init->findChild<QLineEdit*>("txtDataFile")->text(), data);
  // One species on two-species lines: asked, and No keeps the form open.
  auto* done = init->findChild<QPushButton*>("cmdDone");
  QVERIFY(done->hasFocus());
  Script().ExpectMessage("Initialize model", Answer::No);
  QTest::keyClick(done, Qt::Key_Return);  // Return presses the focused button
  QCOMPARE(Script().messages.back().style, 4 + 48 + 256);
  QVERIFY(Form("frmInitialize") && !wb->ws.InitializeAlready);
  init->findChild<QComboBox*>("cboNSpecies")->setCurrentText("2");
  QTest::keyClick(done, Qt::Key_Return);
  Settle();
  QVERIFY(!Form("frmInitialize"));
  QCOMPARE(wb->Main().findChild<QLabel*>("stbMain0_1")->text(), data);
  QCOMPARE(EnabledButtons(), QStringList({"cmdInitialize", "cmdLoadAlg"}));
  Shot("initialized");

  // Load: a cancelled dialog, then a file.
  Script().ExpectMessage("Load algorithm data", Answer::Yes).ExpectOpen(std::nullopt, "Open algorithm data file");
  MenuButton("cmdLoadAlg")->click();
  QCOMPARE(EnabledButtons(), QStringList({"cmdInitialize", "cmdLoadAlg"}));
  QString trueValues = Example("two_species_true.alg");
  Script().ExpectMessage("Load algorithm data", Answer::Yes).ExpectOpen(trueValues.toStdString());
  MenuButton("cmdLoadAlg")->click();
  Settle();
  QCOMPARE(EnabledButtons().size(), 13);
  QCOMPARE(MenuButton("cmdUserSummary")->text(), QString("Res&ults Summary"));
  QCOMPARE(wb->Main().findChild<QLabel*>("stbMain1_1")->text(), "Algorithm file: " + trueValues);
  QCOMPARE(wb->ws.Alg.Values[1], -0.4);
  Shot("loaded");
  // Cancel in the Initialize question changes nothing, the status bars included.
  Script().ExpectMessage("Initialize", Answer::Cancel);
  MenuButton("cmdInitialize")->click();
  Settle();
  QCOMPARE(wb->Main().findChild<QLabel*>("stbMain0_1")->text(), data);
  QCOMPARE(wb->Main().findChild<QLabel*>("stbMain1_1")->text(), "Algorithm file: " + trueValues);
  QCOMPARE(EnabledButtons().size(), 13);

  // One function call at the loaded values.
  MenuButton("cmdOneFunction")->click();
  Settle();
  QWidget* one = Form("frmOneFunction");
  QVERIFY(one);
  QVERIFY(!Form("frmMenu"));
  auto* pane = one->findChild<QTextEdit*>("rtbOneFunction");
  QVERIFY(pane->toPlainText().contains(" found at the following parameter values: "));
  QVERIFY(pane->toPlainText().contains(
      "    001) -4.0000000E-01  ~~  Intercept for ME model (Beta(0)=Beta(0)'+(1-Omega)*True(I(1))) [0]\n"));
  const QRegularExpression timed("\nNote: One function call takes [0-9.]+ \\w+ \\(mean of \\d+ calls\\)\n");
  QVERIFY(pane->toPlainText().contains(timed));  // measured over many calls, below the rounded line
  QCOMPARE(pane->font().family(), QString("Courier New"));
  QCOMPARE(pane->lineWrapMode(), QTextEdit::NoWrap);
  QVERIFY(wb->Main().findChild<QMenu*>("mnuApplication")->menuAction()->isEnabled());
  QVERIFY(wb->Main().findChild<QLabel*>("stbMain5_1")->text().isEmpty());
  Shot("one-function-call");
  // Closing the report brings the main menu back with all twelve enabled.
  wb->ui.Form("frmOneFunction")->parentWidget()->close();
  Settle();
  QVERIFY(!Form("frmOneFunction"));
  QCOMPARE(EnabledButtons().size(), 13);

  // Load: the default values.
  Script().ExpectMessage("Load algorithm data", Answer::No).ExpectMessage("Default Algorithm Values");
  MenuButton("cmdLoadAlg")->click();
  Settle();
  QCOMPARE(EnabledButtons().size(), 13);
  QCOMPARE(wb->ws.Alg.Values[1], 0.0);
  QVERIFY(wb->ws.AlgorithmFileName.ends_with(".alg"));

  // Edit (Return on the button that has the focus after loading): a value
  // cell, a bad setting, the tolerance, then finish.
  QVERIFY(MenuButton("cmdEditAlg")->hasFocus());
  QTest::keyClick(MenuButton("cmdEditAlg"), Qt::Key_Return);
  Settle();
  auto* editor = dynamic_cast<kalvex::app::EditorForm*>(Form("frmAlgo"));
  QVERIFY(editor);
  QVERIFY(!Form("frmMenu")->isVisible());
  auto* grid = editor->findChild<QTableWidget*>("grdVS");
  QCOMPARE(grid->rowCount(), 13);
  QCOMPARE(grid->horizontalHeaderItem(4)->text(), QString("Parameter description [null value; valid values]"));
  QCOMPARE(grid->item(0, 1)->text(), QString("0"));
  QRect cell = grid->visualItemRect(grid->item(0, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  Settle();
  auto* cellEditor = editor->findChild<QLineEdit*>("txtValue");
  QVERIFY(cellEditor->isVisible());
  QCOMPARE(cellEditor->text(), QString("0"));
  // Text that is not a number is refused and the cell edited again; a
  // decimal comma reads as the point (the run under de_DE types both).
  cellEditor->setText("abc");
  Script().ExpectMessage("Algorithm data");
  QTest::keyClick(cellEditor, Qt::Key_Return);
  QVERIFY(cellEditor->isVisible());
  QCOMPARE(cellEditor->text(), QString("abc"));
  QCOMPARE(grid->item(0, 1)->text(), QString("0"));
  cellEditor->setText("2,5");
  QTest::keyClick(cellEditor, Qt::Key_Return);
  QCOMPARE(grid->item(0, 1)->text(), QString("2.5000E+00"));
  QCOMPARE(grid->item(0, 2)->text(), QString("2.5000E-01"));
  QCOMPARE(grid->item(0, 1)->background().color(), QColor(255, 85, 85));
  QCOMPARE(wb->ws.Alg.Steps[1], 0.25);
  editor->BeginCellEdit(2, 3);
  cellEditor->setText("ab");
  editor->CommitCellEdit();
  QCOMPARE(grid->item(1, 3)->text(), QString("AB"));
  QVERIFY(grid->item(1, 3)->font().bold());

  auto* maxFunctions = editor->findChild<QLineEdit*>("txtMaxFunctions");
  QCOMPARE(maxFunctions->text(), QString("9999"));
  maxFunctions->setText("-5");
  Script().ExpectMessage("Change the maximum # of function calls");
  QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(maxFunctions, &focusOut);
  QCOMPARE(maxFunctions->text(), QString("9999"));

  Script()
      .ExpectMessage("Change the tolerance for convergence", Answer::Yes)
      .ExpectInput("Change the tolerance for convergence", "abc")
      .ExpectMessage("Change the tolerance for convergence")
      .ExpectInput("Change the tolerance for convergence", "2,5E-05");
  QTest::mouseClick(editor->findChild<QLineEdit*>("txtAbsRel"), Qt::LeftButton);
  Settle();
  QCOMPARE(QString::fromStdString(Script().messages.back().text), QString("\"abc\" is not a number"));
  QCOMPARE(wb->ws.Alg.Tolerance, -2.5e-5);
  QCOMPARE(editor->findChild<QLabel*>("lblAbsRel")->text(), QString("Relative tolerance for convergence (TC):"));

  Script().ExpectInput("Edit all step sizes", "0.5").ExpectInput("Edit all step sizes", std::nullopt);
  editor->findChild<QAction*>("mnuStepSizes")->trigger();
  QCOMPARE(grid->item(0, 2)->text(), QString("5.0000E-01"));

  // frmEditVS from the Value heading, then one of its commands.
  emit grid->horizontalHeader()->sectionDoubleClicked(1);
  Settle();
  QWidget* editAll = Form("frmEditVS");
  QVERIFY(editAll);
  Shot("editor");
  Script().ExpectInput("Edit a parameter value", "3").ExpectInput("Edit a parameter value", "");
  editAll->findChild<QPushButton*>("cmdValuesOnly")->click();
  Settle();
  QVERIFY(!Form("frmEditVS"));
  QCOMPARE(grid->item(0, 1)->text(), QString("3.0000E+00"));

  // The log file: open it, then close it again.
  QString log = QString::fromStdString(kalvex::testing::TempDir() + "/walk.kvl");
  Script().ExpectSave(log.toStdString(), "Save minimization progress in...").ExpectMessage("Log file management");
  editor->findChild<QPushButton*>("cmdOpenLog")->click();
  Settle();
  auto* frequency = editor->findChild<QLineEdit*>("txtFileFreq");
  QVERIFY(frequency->isEnabled());
  QCOMPARE(frequency->text(), QString("10"));
  QCOMPARE(editor->findChild<QLineEdit*>("txtFileName")->text(), log);
  QVERIFY(!editor->findChild<QPushButton*>("cmdOpenLog")->isEnabled());
  QCOMPARE(wb->ws.Alg.FileFrequency, int16_t{10});
  Script().ExpectMessage("Log file management");
  editor->findChild<QPushButton*>("cmdCloseLog")->click();
  Settle();
  QVERIFY(!frequency->isEnabled());
  QCOMPARE(frequency->text(), QString("0"));
  QCOMPARE(wb->ws.LogOpen, int16_t{0});

  // The main menu called up while editing keeps Initialize and Load off;
  // once the editor is finished it follows the rules, whichever way it comes.
  QAction* mainMenu = wb->Main().findChild<QAction*>("mnuMenu");
  mainMenu->trigger();
  Settle();
  QStringList whileEditing = EnabledButtons();
  QVERIFY(!whileEditing.contains("cmdInitialize") && !whileEditing.contains("cmdLoadAlg"));
  QCOMPARE(whileEditing.size(), 11);
  Script().ExpectMessage("Just so you know");
  editor->findChild<QPushButton*>("cmdFinish")->click();
  Settle();
  QVERIFY(!Form("frmAlgo"));
  QVERIFY(Form("frmMenu")->isVisible());
  QVERIFY(wb->menu.Editor().HasClosed());
  QCOMPARE(wb->ws.Alg.Links[2], std::string("~~"));  // a single-member code was unfused
  QCOMPARE(EnabledButtons().size(), 13);
  mainMenu->trigger();
  Settle();
  QCOMPARE(EnabledButtons().size(), 13);

  // Save under a new name.
  Script().ExpectSave(saved.toStdString(), "Save algorithm data in...");
  MenuButton("cmdSaveAlg")->click();
  Settle();
  QVERIFY(QFile::exists(saved));
  QCOMPARE(wb->Main().findChild<QLabel*>("stbMain1_1")->text(), "Algorithm file: " + saved);
  QCOMPARE(EnabledButtons().size(), 13);

  // The evaluation chooser takes the menu's place; its Cancel brings the menu back.
  MenuButton("cmdParEstimate")->click();
  Settle();
  QVERIFY(wb->ui.IsWindowOpen("frmParEvals") && !wb->ui.IsWindowOpen("frmMenu"));
  wb->ui.Form("frmParEvals")->findChild<QPushButton*>("cmdCancel")->click();
  Settle();
  QVERIFY(!wb->ui.IsWindowOpen("frmParEvals"));
  QCOMPARE(EnabledButtons().size(), 13);
  // The results summary runs: no plots, no forecast.
  Script().ExpectMessage("View plots?", kalvex::ui::Answer::No)
      .ExpectMessage("Opportunity to generate a forecast for time period f", kalvex::ui::Answer::No);
  MenuButton("cmdUserSummary")->click();
  Settle();
  QVERIFY(wb->ui.IsWindowOpen("frmSummary"));
  wb->ui.Form("frmSummary")->parentWidget()->close();  // the user closes it: the menu returns
  Settle();
  QCOMPARE(EnabledButtons().size(), 13);

  // The main window made small and large again lays the menu out again:
  // never squashed below its least size, back to its own once there is room.
  auto* menuFrame = qobject_cast<QMdiSubWindow*>(Form("frmMenu")->parentWidget());
  wb->Main().showNormal();
  wb->Main().resize(500, 360);
  Settle();
  QVERIFY(menuFrame->height() >= kalvex::ui::qt::MinimumOf(menuFrame).height());
  wb->Main().resize(1200, 900);
  Settle();
  QCOMPARE(menuFrame->size(), QSize(430, 560));

  // Window arrangements keep the windows inside the area.
  wb->ui.ShowWindow("frmOneFunction");
  wb->Main().TileVertical();
  for (QMdiSubWindow* sub : wb->Main().Area()->subWindowList())
    QVERIFY(wb->Main().Area()->viewport()->rect().contains(sub->geometry().topLeft()));
  wb->Main().Cascade();
  wb->ui.CloseWindow("frmOneFunction");

  // Quit without priors: no priors question.
  Script().ExpectMessage("Exit Kalvex", Answer::Yes).ExpectMessage("What about algorithm data?", Answer::No);
  Form("frmMenu")->findChild<QPushButton*>("cmdQuit")->click();
  QVERIFY(quitCalled);
}

void WorkbenchWalk::informationWindowDisablesTheMainWindow() {
  QMainWindow& main = wb->Main();
  main.findChild<QAction*>("mnuWisdom")->trigger();
  Settle();
  QWidget* wisdom = Form(kalvex::app::kWisdomForm);
  QVERIFY(wisdom);
  QVERIFY(wisdom->isWindow());
  QVERIFY(!main.isEnabled());
  QVERIFY(wisdom->isEnabled());
  QVERIFY(!wisdom->findChild<QTextEdit*>("txtInformation")->toPlainText().isEmpty());
  Shot("wisdom");
  wisdom->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(wisdom));
  QTest::keyClick(wisdom, Qt::Key_Escape);  // as a dialog closes
  Settle();
  QVERIFY(!Form(kalvex::app::kWisdomForm));
  QVERIFY(main.isEnabled());
  for (QAction* action : {main.findChild<QAction*>("mnuDefaultNames"), main.findChild<QAction*>("mnuCredits")}) {
    action->trigger();
    Settle();
    QVERIFY(!main.isEnabled());
    Shot(action->objectName());
    QApplication::topLevelWidgets();
    for (const char* form : {kalvex::app::kDefaultsForm, kalvex::app::kCreditsForm})
      if (QWidget* w = Form(form)) w->findChild<QPushButton*>("cmdClose")->click();
    Settle();
    QVERIFY(main.isEnabled());
  }
}

void WorkbenchWalk::closingTheMainWindowAsks() {
  Script().ExpectMessage("Exit Kalvex", Answer::No);
  wb->Main().close();
  QVERIFY(wb->Main().isVisible());
  QVERIFY(!quitCalled);
  Script().ExpectMessage("Exit Kalvex", Answer::Yes).ExpectMessage("What about algorithm data?", Answer::No);
  wb->Main().findChild<QAction*>("mnuExit")->trigger();
  QVERIFY(quitCalled);
  QCOMPARE(QString::fromStdString(Script().messages.back().title), QString("What about algorithm data?"));
}

void WorkbenchWalk::menuMadeAnewFollowsTheRules() {
  wb->ws.InitializeAlready = true;
  wb->ws.AlgorithmFileName = "fit.alg";
  // Closed behind the workflow's back, then shown by anyone: made with the rules.
  wb->ui.CloseWindow("frmMenu");
  Settle();
  wb->ui.ShowWindow("frmMenu");
  QCOMPARE(EnabledButtons().size(), 13);
  QCOMPARE(MenuButton("cmdUserSummary")->text(), QString("Res&ults Summary"));
}

void WorkbenchWalk::closingTheEditorWindowFinishesEditing() {
  wb->menu.EditAlgorithm();
  Settle();
  QVERIFY(Form("frmAlgo"));
  QVERIFY(!Form("frmMenu")->isVisible());
  wb->ui.ShowWindow("frmEditVS");
  Script().ExpectMessage("Just so you know");
  Form("frmAlgo")->parentWidget()->close();
  Settle();
  QVERIFY(!Form("frmAlgo"));
  QVERIFY(!Form("frmEditVS"));
  QVERIFY(Form("frmMenu")->isVisible());
  QVERIFY(wb->menu.Editor().HasClosed());
  QVERIFY(!wb->menu.Editor().OpenFromMenu());
}

void WorkbenchWalk::minimizersRunInTheirWindows() {
  QVERIFY(LoadTwoSpecies());
  double start = wb->ws.Alg.Values[1];

  Script().ExpectMessage("Simplex minimum");
  MenuButton("cmdSimplex")->click();
  Settle();
  QWidget* simplex = Form("frmSimplex");
  QVERIFY(simplex);
  QVERIFY(simplex->findChild<QTextEdit*>("rtbSimplex")->toPlainText().contains("Minimum of "));
  QVERIFY(wb->ws.Alg.Values[1] != start);
  QCOMPARE(EnabledButtons().size(), 13);
  QVERIFY(Form("frmMenu")->isVisible());
  QVERIFY(!wb->menu.SimplexWindowControl().CommandRunning());
  QVERIFY(!simplex->findChild<QPushButton*>("cmdStop")->isEnabled());  // finished: nothing to interrupt
  Shot("simplex");

  // Marquardt: numerical derivatives, none shown; its window replaces the Simplex one.
  Script()
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::No);
  Script().ExpectMessage("Marquardt minimum");
  MenuButton("cmdMarquardt")->click();
  Settle();
  QCOMPARE(QString::fromStdString(Script().LastMessage().text), QString("Minimum found using Marquardt!"));
  QVERIFY(!Form("frmSimplex"));
  QWidget* marquardt = Form("frmMarquardt");
  QVERIFY(marquardt);
  QVERIFY(!marquardt->findChild<QTextEdit*>("rtbMarquardt")->toPlainText().isEmpty());
  QVERIFY(marquardt->findChild<QPushButton*>("cmdIteration")->isHidden());
  QCOMPARE(EnabledButtons().size(), 13);
  QVERIFY(!wb->menu.MarquardtWindowControl().CommandRunning());
  Shot("marquardt");
  // Closing the window after the run shows the main menu again.
  marquardt->parentWidget()->close();
  Settle();
  QVERIFY(!Form("frmMarquardt"));
  QVERIFY(Form("frmMenu")->isVisible());
  // The next Marquardt run shows the window whole again, not an empty frame.
  Script()
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimum");
  MenuButton("cmdMarquardt")->click();
  Settle();
  QCOMPARE(Form("frmMarquardt"), marquardt);
  for (const char* control : {"rtbMarquardt", "cmdStop"})
    QVERIFY2(marquardt->findChild<QWidget*>(control)->isVisible(), control);

  // The next run gets the same Simplex window back, looking as a new one would.
  QPointer<QWidget> kept(simplex);
  Script().ExpectMessage("Simplex minimum");
  MenuButton("cmdSimplex")->click();
  Settle();
  QCOMPARE(Form("frmSimplex"), kept.data());
  auto* stop = kept->findChild<QPushButton*>("cmdStop");
  QCOMPARE(stop->text(), QString("&Interrupt this minimization"));
  for (auto* pane : kept->findChildren<QTextEdit*>())
    QCOMPARE(pane->font().pointSize(), kalvex::ReportPaneFontSize(wb->ws.Free.FreeCount));
  QCOMPARE(kept->findChild<QTextEdit*>("rtbSimplex")->toPlainText().count("Minimum of "), 1);
}

// Twelve starts by Marquardt from the example's unfitted values: the window
// shows the picture and the report, the lower minimum is taken, and the
// report is saved with its picture.
void WorkbenchWalk::checkTheMinimumRunsInItsWindow() {
  QVERIFY(LoadTwoSpecies());
  const double start = wb->ws.Alg.Values[1];
  for (const char* answer : {"12", "0.1", "1", "n"}) Script().ExpectInput("Check the minimum", answer);
  Script().ExpectMessage("Check the minimum", Answer::Yes);
  MenuButton("cmdCheckMinimum")->click();
  Settle();
  QWidget* window = Form("frmJitter");
  QVERIFY(window && window->isVisible());
  QVERIFY(window->findChild<QTextEdit*>("rtbJitter")->toPlainText().startsWith("Jittered starts of the current fit"));
  QVERIFY(window->findChild<QPushButton*>("cmdSavePlot")->isEnabled());
  QVERIFY(!window->findChild<QPushButton*>("cmdStop")->isEnabled());
  QVERIFY(wb->ws.Alg.Values[1] != start);
  QCOMPARE(EnabledButtons().size(), 13);
  QVERIFY(Form("frmMenu")->isVisible());
  Shot("jitter");

  const std::string path = kalvex::testing::TempDir() + "/walk.jit";
  Script().ExpectSave(path, "Save the jittered starts in...");
  window->findChild<QPushButton*>("cmdSaveJitter")->click();
  QVERIFY(std::filesystem::file_size(kalvex::testing::TempDir() + "/walk.png") > 1000);
  QVERIFY(std::filesystem::file_size(path) > 1000);
}

void WorkbenchWalk::aLongRunShowsItsWindowAndTakesAClick() {
  QVERIFY(LoadTwoSpecies());
  wb->ws.Alg.Tolerance = 0;  // never converges: only the interrupt ends it
  wb->ws.Alg.MaxFunctionCalls = 100000000;

  // While the run goes on, its pumps draw the window and deliver the click.
  bool sawProgress = false;
  QTimer::singleShot(300, [&, this] {
    QWidget* simplex = Form("frmSimplex");
    QVERIFY(simplex && simplex->isVisible());
    QWidget* menu = Form("frmMenu");
    QVERIFY(!menu || !menu->isVisible());
    sawProgress = simplex->findChild<QTextEdit*>("rtbSimplex")->toPlainText().contains("Current minimum found");
    Shot("long-run");
    QTest::mouseClick(simplex->findChild<QPushButton*>("cmdStop"), Qt::LeftButton);
  });
  Script().ExpectMessage("Simplex interrupt", Answer::Yes);
  MenuButton("cmdSimplex")->click();
  QVERIFY(sawProgress);
  QCOMPARE(QString::fromStdString(Script().LastMessage().text),
           QString("Interrupt received. Do you want to quit minimizing?"));
  Settle();
  QVERIFY(Form("frmMenu")->isVisible());
  QCOMPARE(EnabledButtons().size(), 13);
}

void WorkbenchWalk::derivativeDisplayWaitsForTheUser() {
  QVERIFY(LoadTwoSpecies());
  // Numerical derivatives, shown: the run stops over each display until a
  // step button is clicked.
  Script()
      .ExpectMessage("Marquardt minimization", Answer::No)
      .ExpectMessage("Marquardt minimization")
      .ExpectMessage("Marquardt minimization", Answer::Yes)
      .ExpectMessage("Marquardt minimum");
  int displays = 0;
  std::function<void()> step = [&, this] {
    QWidget* marquardt = Form("frmMarquardt");
    auto* next = marquardt ? marquardt->findChild<QPushButton*>("cmdIteration") : nullptr;
    if (!next || !next->isVisible() || !next->isEnabled()) {
      QTimer::singleShot(20, step);  // not waiting yet
      return;
    }
    QVERIFY(marquardt->findChild<QTextEdit*>("rtbMarquardt")->toPlainText().contains("1st & 2nd partial derivatives"));
    QCOMPARE(wb->Main().findChild<QLabel*>("stbMain5_1")->text(), QString());  // collated: waiting for the click
    // The first display goes on to the next one; the second lets the run finish.
    const char* button = ++displays == 1 ? "cmdIteration" : "cmdContinue";
    QTest::mouseClick(marquardt->findChild<QPushButton*>(button), Qt::LeftButton);
    if (displays == 1) QTimer::singleShot(20, step);
  };
  QTimer::singleShot(20, step);
  MenuButton("cmdMarquardt")->click();
  QCOMPARE(displays, 2);
  QVERIFY(!wb->menu.MarquardtWindowControl().DerivativesWanted());
  QCOMPARE(QString::fromStdString(Script().LastMessage().text), QString("Minimum found using Marquardt!"));
  Settle();
  QVERIFY(Form("frmMarquardt")->findChild<QPushButton*>("cmdIteration")->isHidden());
}

void WorkbenchWalk::plotsOpenAboveTheSummary() {
  QVERIFY(LoadTwoSpecies());
  Script()
      .ExpectMessage("View plots?", Answer::Yes)
      .ExpectMessage("Opportunity to generate a forecast for time period f", Answer::No);
  MenuButton("cmdUserSummary")->click();
  Settle();
  QVERIFY(Form("frmSummary")->isVisible());
  QMdiSubWindow* active = wb->Main().Area()->activeSubWindow();
  QVERIFY(active && qobject_cast<kalvex::plots::XYPlotWindow*>(active->widget()));
  // Quit plots takes its frame along: no empty window over the summary.
  QPointer<QMdiSubWindow> frame(active);
  active->widget()->findChild<QPushButton*>("cmdCancel")->click();
  Settle();
  QVERIFY(frame.isNull());
  QVERIFY(Form("frmSummary")->isVisible());
}

void WorkbenchWalk::priorsAreSetProfiledAndReviewed() {
  QVERIFY(LoadTwoSpecies());
  MenuButton("cmdBayesian")->click();
  Settle();
  QWidget* loader = Form("frmPriorsLoader");
  QVERIFY(loader);
  QVERIFY(!Form("frmMenu"));
  QCOMPARE(loader->windowTitle(), QString("Load Bayesian priors"));
  Shot("priors-loader");
  Script().ExpectMessage("Setting Bayesian Priors", Answer::Yes);
  loader->findChild<QPushButton*>("cmdSetPriors")->click();
  Settle();
  QWidget* editor = Form("frmPriors");
  QVERIFY(editor);
  QCOMPARE(editor->windowTitle(), QString("Set prior distributions"));
  auto* grid = editor->findChild<QTableWidget*>("grdPriors");
  QCOMPARE(grid->rowCount(), 15);
  QCOMPARE(grid->item(1, 6)->text(), QString("Parameter description [null value]"));
  QCOMPARE(grid->item(10, 2)->text(), QString("*"));

  // Omega (parameter 9) gets a Beta prior.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(10, 1)).center());
  QCOMPARE(grid->item(10, 1)->foreground().color(), QColor(0, 128, 0));
  Script().ExpectInput("Beta", "0.35").ExpectInput("Beta", "0.1").ExpectMessage("Beta");
  editor->findChild<QAction*>("mnuPriorB")->trigger();
  QCOMPARE(grid->item(10, 1)->text(), QString("Beta"));
  QCOMPARE(grid->item(10, 3)->text(), QString("1.000E-001"));
  QCOMPARE(grid->item(10, 2)->foreground().color(), QColor(255, 0, 0));
  Shot("prior-editor");

  const char* title = "Evaluation of prior distributions";
  Script().ExpectMessage(title).ExpectMessage(title).ExpectInput(title, "9").ExpectInput(title, "21");
  editor->findChild<QAction*>("mnuProfilePriors")->trigger();
  Settle();
  QWidget* profile = Form("frmPriorProfile");
  QVERIFY(profile);
  QVERIFY(profile->findChild<QTextEdit*>("rtbPriorProfile")->toPlainText().startsWith("Bayesian prior distribution data"));
  QVERIFY(profile->findChild<QPushButton*>("cmdSavePriorProfile"));
  Shot("prior-profile");
  editor->findChild<QAction*>("mnuHelpPriors")->trigger();
  Settle();
  QVERIFY(Form("frmHelp")->findChild<QTextEdit*>("rtbHelp")->toPlainText().startsWith("For each parameter"));
  wb->ui.CloseWindow("frmHelp");
  wb->ui.CloseWindow("frmPriorProfile");

  Script()
      .ExpectMessage("Just so you know")
      .ExpectMessage("Save Bayesian priors", Answer::No)
      .ExpectInput("Enter constant", "0.5");
  editor->findChild<QAction*>("mnuFinished")->trigger();
  Settle();
  QVERIFY(!Form("frmPriors"));
  QVERIFY(!Form("frmPriorsLoader"));
  QCOMPARE(EnabledButtons().size(), 13);
  QCOMPARE(wb->ws.PriorsActive, std::string("on"));
  QCOMPARE(wb->ws.ObjectiveScale, 2.0);

  // One function call: the review of the priors follows.
  MenuButton("cmdOneFunction")->click();
  Settle();
  QWidget* review = Form("frmReviewPriors");
  QVERIFY(review);
  QCOMPARE(review->windowTitle(), QString("Review priors "));
  QVERIFY(review->findChild<QTextEdit*>("rtbReviewPriors")->toPlainText().contains("Parameter   9 at  3.500E-01"));
  Shot("prior-review");

  Script()
      .ExpectMessage("Exit Kalvex", Answer::Yes)
      .ExpectMessage("What about algorithm data?", Answer::No)
      .ExpectMessage("What about Bayesian priors?", Answer::No);
  wb->RequestQuit();
  QVERIFY(quitCalled);
}

void WorkbenchWalk::modelsAreAddedRankedAndAnnotated() {
  QVERIFY(LoadTwoSpecies());
  Script().ExpectInput("Enter constant", "0.5");
  MenuButton("cmdRank")->click();
  Settle();
  QWidget* rank = Form("frmRank");
  QVERIFY(rank);
  QVERIFY(!Form("frmMenu"));
  QCOMPARE(rank->windowTitle(), QString("Model selection, ranking and averaging"));
  auto button = [rank](const char* name) { return rank->findChild<QPushButton*>(name); };
  QCOMPARE(button("cmdRank")->toolTip(),
           QString("Ranks competing models in ascending order of their AICc values (Note: All AICc values must be "
                   "positive)"));
  auto* grid = rank->findChild<QTableWidget*>("grdRank");
  QCOMPARE(grid->rowCount(), 1);
  QCOMPARE(grid->item(0, 6)->text(), QString("two_species.alg"));
  QCOMPARE(grid->item(0, 7)->text(), QString("No covariance file found"));
  QVERIFY(!button("cmdRank")->isEnabled());

  Script().ExpectOpen(Example("two_species_true.alg").toStdString());
  button("cmdLoadAlg")->click();
  Settle();
  QCOMPARE(grid->rowCount(), 2);
  button("cmdRank")->click();
  Settle();
  QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("Ranked"));
  QCOMPARE(grid->item(0, 0)->text(), QString("   1)    2"));
  QVERIFY(button("cmdSaveRank")->isEnabled());
  QVERIFY(!button("cmdAverage")->isEnabled());  // no covariance files

  Script().ExpectInput("Overdispersion correction", "2");
  button("cmdQAICc")->click();
  Settle();
  auto* chat = rank->findChild<QLineEdit*>("txtCHat");
  QCOMPARE(chat->text(), QString("C-hat: 2.000"));
  QCOMPARE(chat->palette().color(QPalette::Text), QColor(0, 0, 255));
  QCOMPARE(grid->horizontalHeaderItem(3)->text(), QString("QAICc"));
  QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("Random"));

  Script().ExpectInput("Model notes", "true values");
  grid->scrollToItem(grid->item(1, 9));
  Settle();
  QRect notes = grid->visualItemRect(grid->item(1, 9));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, notes.center());
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, notes.center());
  Settle();
  QCOMPARE(grid->item(1, 9)->text(), QString("true values"));
  Shot("ranking");

  button("cmdFinish")->click();
  Settle();
  QVERIFY(!Form("frmRank"));
  QVERIFY(Form("frmMenu"));
  QCOMPARE(EnabledButtons().size(), 13);
}

// With KALVEX_TEST_LOCALE naming a locale, the walk starts in it as a user's
// environment would start the workbench (QApplication takes the process
// locale from the environment), so no number may depend on it. Exit code 77
// tells ctest the walk was skipped because the locale cannot be had.
int main(int argc, char** argv) {
  const char* locale = std::getenv("KALVEX_TEST_LOCALE");
  if (locale) {
    if (std::string problem = kalvex::testing::PrepareLocale(locale); !problem.empty()) {
      std::fprintf(stderr, "Skipped: %s\n", problem.c_str());
      return 77;
    }
    setenv("LC_ALL", locale, 1);
  }
  QApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  if (locale && std::string(std::localeconv()->decimal_point) != ",") {
    std::fprintf(stderr, "%s did not become the process locale with a decimal comma\n", locale);
    return 1;
  }
  WorkbenchWalk walk;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&walk, argc, argv);
}
#include "WorkbenchWalkTest.moc"
