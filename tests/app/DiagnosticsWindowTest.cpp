// The residual diagnostics from the results summary's button: the window
// with its report and four plots, and its save (report and picture
// together; an existing picture replaced only when the user agrees).
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <filesystem>
#include <fstream>

#include "app/DiagnosticsWindow.h"
#include "app/Workbench.h"
#include "model/OskaneModel.h"
#include "support/TestModels.h"
#include "support/qt/ScriptedDialogProvider.h"

using kalvex::ui::Answer;

class DiagnosticsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void summaryButtonOpensTheDiagnosticsAndSavesThem();
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

QTEST_MAIN(DiagnosticsWindowTest)
#include "DiagnosticsWindowTest.moc"
