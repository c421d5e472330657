// The covariance windows driven as a user drives them: the run from the
// main menu through the editor, "Covariance data" in place of the menu, the
// report displayed and saved, the log window's button and close, finishing.
// Set KALVEX_SHOTS to a folder to keep a picture after the main steps.
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <fstream>

#include "app/MainWindow.h"
#include "app/Workbench.h"
#include "model/OskaneModel.h"
#include "support/TestModels.h"
#include "support/qt/ScriptedDialogProvider.h"
#include "ui/qt/DialogProvider.h"

using kalvex::ui::Answer;

class CovarianceWindows : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void runDisplaySaveFinish();

 private:
  QWidget* Form(const char* name) { return wb->ui.Form(name); }
  QPushButton* Button(const char* form, const char* name) {
    QWidget* widget = Form(form);
    return widget ? widget->findChild<QPushButton*>(name) : nullptr;
  }
  void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
  void Shot(const QString& name) {
    QString folder = qEnvironmentVariable("KALVEX_SHOTS");
    if (folder.isEmpty()) return;
    Settle();
    QDir().mkpath(folder);
    QString path = QString("%1/covariance-%2.png").arg(folder, name);
    if (QGuiApplication::platformName() == "xcb")
      QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    else
      wb->Main().grab().save(path);
  }
  kalvex::ui::ScriptedFrontend& Script() { return dialogs->script; }

  std::unique_ptr<kalvex::ui::qt::ScriptedDialogProvider> dialogs;
  std::unique_ptr<kalvex::app::Workbench> wb;
};

void CovarianceWindows::init() {
  dialogs = std::make_unique<kalvex::ui::qt::ScriptedDialogProvider>();
  wb = std::make_unique<kalvex::app::Workbench>(kalvex::MakeOskaneModel(), dialogs.get());
  wb->onQuit = [] {};
  wb->Start();
  wb->menu.Initialize();
  QVERIFY(wb->menu.FinishInitialization("2", std::string(KALVEX_EXAMPLES) + "/two_species.dat"));
  Script()
      .ExpectMessage("Load algorithm data", Answer::Yes)
      .ExpectOpen(kalvex::testing::TestData("two_species_fitted.alg"));
  Button("frmMenu", "cmdLoadAlg")->click();
  Settle();
}

void CovarianceWindows::cleanup() {
  QCOMPARE(Script().PendingPrompts(), std::size_t{0});
  wb.reset();
  dialogs.reset();
}

void CovarianceWindows::runDisplaySaveFinish() {
  // The editor opens during the run; the user finishes it once it shows.
  QTimer finishEditor;
  QObject::connect(&finishEditor, &QTimer::timeout, [this, &finishEditor] {
    if (QPushButton* finish = Button("frmAlgo", "cmdFinish"); finish && finish->isVisible()) {
      finishEditor.stop();
      Shot("editor");
      finish->click();
    }
  });
  finishEditor.start(5);
  QMenu* application = wb->Main().findChild<QMenu*>("mnuApplication");
  bool applicationDuringRun = true;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout,
                   [&] { applicationDuringRun = applicationDuringRun && application->menuAction()->isEnabled(); });
  watch.start(1);
  Script()
      .ExpectMessage("Covariance calculator", Answer::No)
      .ExpectMessage("Covariance calculator", Answer::OK)
      .ExpectMessage("Just so you know")
      .ExpectInput("Covariance calculator", "1")
      .ExpectInput("Covariance calculator", "0.1")
      .ExpectInput("Covariance calculator", "0.01")
      .ExpectMessage("Covariance calculator", Answer::Yes)
      .ExpectInput("Enter constant", "0.5")
      .ExpectMessage("Calculate optimistic SEs only?", Answer::No);
  Button("frmMenu", "cmdCovariance")->click();
  watch.stop();
  Settle();
  QVERIFY(!applicationDuringRun);
  QVERIFY(application->menuAction()->isEnabled());
  QVERIFY(!Form("frmMenu"));
  QVERIFY(!Form("frmAlgo"));
  QWidget* data = Form("frmCovData");
  QWidget* log = Form("frmCovariance");
  QVERIFY(data && log);
  QCOMPARE(data->windowTitle(), QString("Covariance data"));
  QCOMPARE(log->windowTitle(), QString("Covariance calculations"));
  QCOMPARE(data->findChild<QLabel*>("lblCovData")->text(), QString("Calculation completed. Do you wish to:"));
  auto* pane = log->findChild<QTextEdit*>("rtbCovariance");
  QVERIFY(pane->toPlainText().contains("It might help you to know that the test for positive-definitiveness "
                                       "failed at parameter # 8"));
  QVERIFY(!Button("frmCovData", "cmdSaveCov")->isEnabled());
  Shot("log");

  // Display, then save: the file is the one kalvex-batch writes.
  Button("frmCovData", "cmdDisplay")->click();
  Settle();
  QVERIFY(Button("frmCovData", "cmdSaveCov")->isEnabled());
  QVERIFY(Button("frmCovData", "cmdDisplay")->isEnabled());
  QCOMPARE(Button("frmCovariance", "cmdInterrupt")->text(),
           QString("To save these results [restore or minimize this form then] choose 'Save covariance results as...'"));
  Shot("report");
  std::string path = kalvex::testing::TempDir() + "/window.cov";
  Script().ExpectSave(path, "Save covariance data in...");
  Button("frmCovData", "cmdSaveCov")->click();
  Settle();
  // Proposed beside the algorithm file, under the name the ranking looks for.
  QCOMPARE(Script().dialogs.back().fileName, kalvex::testing::TestData("two_species_fitted.cov"));
  std::ifstream saved(path, std::ios::binary), expected(kalvex::testing::TestData("two_species_fitted.cov"),
                                                        std::ios::binary);
  std::string savedText((std::istreambuf_iterator<char>(saved)), {});
  std::string expectedText((std::istreambuf_iterator<char>(expected)), {});
  expectedText.replace(0, expectedText.find("\r\n"), "Originally saved with the file name: " + path);
  QCOMPARE(savedText, expectedText);
  QVERIFY(pane->toPlainText().startsWith(QString::fromStdString("Originally saved with the file name: " + path)));

  // The log window's button now brings "Covariance data" forward; closing
  // the log window disables saving.
  Button("frmCovariance", "cmdInterrupt")->click();
  Settle();
  QVERIFY(!wb->ws.Covariance.Interrupt);
  log->parentWidget()->close();
  Settle();
  QVERIFY(!Form("frmCovariance"));
  QVERIFY(!Button("frmCovData", "cmdSaveCov")->isEnabled());

  Button("frmCovData", "cmdFinishDisplay")->click();
  Settle();
  QVERIFY(!Form("frmCovData"));
  QVERIFY(Form("frmMenu") && Form("frmMenu")->isVisible());
  QCOMPARE(wb->ws.CovarianceResultsValid, std::string("on"));
}

QTEST_MAIN(CovarianceWindows)
#include "CovarianceWindowsTest.moc"
