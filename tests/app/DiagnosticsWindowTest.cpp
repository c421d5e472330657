// The checks of the fit from the results summary's buttons. The residual
// diagnostics: the window with its report and four plots, and its save
// (report and picture together; an existing picture replaced only when the
// user agrees). The hindcast: its settings, the run, the report and plots,
// and the .hnd saved with its picture.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <filesystem>
#include <fstream>

#include "app/DiagnosticsWindow.h"
#include "app/HindcastWindow.h"
#include "app/Workbench.h"
#include "model/OskaneModel.h"
#include "support/TestModels.h"
#include "support/qt/ScriptedDialogProvider.h"

using kalvex::ui::Answer;

class DiagnosticsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void summaryButtonOpensTheDiagnosticsAndSavesThem();
  void summaryButtonRunsTheHindcastAndSavesIt();
};

void DiagnosticsWindowTest::summaryButtonOpensTheDiagnosticsAndSavesThem() {
  kalvex::ui::qt::ScriptedDialogProvider dialogs;
  kalvex::app::Workbench wb(kalvex::MakeOskaneModel(), &dialogs);
  wb.onQuit = [] {};
  wb.Start();
  const std::string examples = KALVEX_EXAMPLES;
  QVERIFY(wb.menu.OpenExample(2, examples + "/two_species.dat",
                              kalvex::testing::TestData("checks/two_species_fitted.alg")));
  dialogs.script.ExpectMessage("View plots?", Answer::No)
      .ExpectMessage("Opportunity to generate a forecast for time period f", Answer::No);
  wb.menu.ResultsSummary();
  wb.ui.Flush();
  QWidget* summary = wb.ui.Form("frmSummary");
  QVERIFY(summary);
  auto* button = summary->findChild<QPushButton*>("cmdDiagnostics");
  QVERIFY(button && button->isVisible());
  auto* save = summary->findChild<QPushButton*>("cmdSaveSummary");
  QVERIFY(save->geometry().right() < button->geometry().left());

  button->click();
  wb.ui.Flush();
  auto* window = qobject_cast<kalvex::app::DiagnosticsWindow*>(wb.ui.Form("frmDiagnostics"));
  QVERIFY(window && window->isVisible());
  const QString report = window->findChild<QTextEdit*>("rtbDiagnostics")->toPlainText();
  QVERIFY(report.startsWith("Residual diagnostics of the current fit"));
  QVERIFY(report.contains("Shapiro-Wilk W:"));
  for (const char* plot : {"picResiduals", "picQQ", "picAutocorrelation", "picHistogram"})
    QVERIFY(window->findChild<QWidget*>(plot));

  const std::string dir = kalvex::testing::TempDir();
  const std::string path = dir + "/fit.rsd", picture = dir + "/fit.png";
  dialogs.script.ExpectSave(path, "Save diagnostics in...");
  window->findChild<QPushButton*>("cmdSaveDiagnostics")->click();
  QVERIFY(std::filesystem::file_size(picture) > 1000);
  std::ifstream saved(path, std::ios::binary);
  std::string first;
  std::getline(saved, first);
  QCOMPARE(first, "Originally saved with the file name: " + path + "\r");

  // The picture is there now: No to replacing it writes neither file.
  std::filesystem::remove(path);
  dialogs.script.ExpectSave(path, "Save diagnostics in...").ExpectMessage("Residual diagnostics", Answer::No);
  window->findChild<QPushButton*>("cmdSaveDiagnostics")->click();
  QVERIFY(!std::filesystem::exists(path));
  QCOMPARE(dialogs.script.PendingPrompts(), std::size_t{0});
}

void DiagnosticsWindowTest::summaryButtonRunsTheHindcastAndSavesIt() {
  kalvex::ui::qt::ScriptedDialogProvider dialogs;
  kalvex::app::Workbench wb(kalvex::MakeOskaneModel(), &dialogs);
  wb.onQuit = [] {};
  wb.Start();
  QVERIFY(wb.menu.OpenExample(1, std::string(KALVEX_EXAMPLES) + "/one_species.dat",
                              kalvex::testing::TestData("checks/one_species_fitted.alg")));
  dialogs.script.ExpectMessage("View plots?", Answer::No)
      .ExpectMessage("Opportunity to generate a forecast for time period f", Answer::No);
  wb.menu.ResultsSummary();
  wb.ui.Flush();
  QWidget* summary = wb.ui.Form("frmSummary");
  auto* button = summary->findChild<QPushButton*>("cmdHindcast");
  QVERIFY(button && button->isVisible());
  QVERIFY(summary->findChild<QPushButton*>("cmdDiagnostics")->geometry().right() < button->geometry().left());

  button->click();
  wb.ui.Flush();
  auto* window = qobject_cast<kalvex::app::HindcastWindow*>(wb.ui.Form("frmHindcast"));
  QVERIFY(window && window->isVisible());
  auto* peels = window->findChild<QSpinBox*>("txtPeels");
  QCOMPARE(peels->value(), 5);
  QCOMPARE(peels->maximum(), 31);  // 40 periods, 7 free parameters
  auto* analytical = window->findChild<QCheckBox*>("chkAnalytical");
  QVERIFY(!analytical->isEnabled());
  window->findChild<QComboBox*>("cboMinimizer")->setCurrentIndex(1);
  QVERIFY(analytical->isEnabled());
  peels->setValue(3);
  auto* save = window->findChild<QPushButton*>("cmdSaveHindcast");
  QVERIFY(!save->isEnabled());
  window->findChild<QPushButton*>("cmdRunHindcast")->click();
  wb.ui.Flush();
  QVERIFY(!window->Running() && save->isEnabled());
  const QString report = window->findChild<QTextEdit*>("rtbHindcast")->toPlainText();
  QVERIFY(report.startsWith("Hindcast of the current fit"));
  QVERIFY(report.contains("Minimizer:                                             Marquardt"));
  QVERIFY(report.contains("      3,       1996,"));
  for (const char* plot : {"picHindcast", "picEstimates"}) QVERIFY(window->findChild<QWidget*>(plot));

  const std::string dir = kalvex::testing::TempDir();
  const std::string path = dir + "/peels.hnd";
  dialogs.script.ExpectSave(path, "Save hindcast in...");
  save->click();
  QVERIFY(std::filesystem::file_size(dir + "/peels.png") > 1000);
  QVERIFY(std::filesystem::file_size(path) > 1000);
  QCOMPARE(dialogs.script.PendingPrompts(), std::size_t{0});
}

QTEST_MAIN(DiagnosticsWindowTest)
#include "DiagnosticsWindowTest.moc"
