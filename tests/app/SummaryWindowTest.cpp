// The results window: its controls, the resize rule and the save button.
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

#include "app/SummaryWindow.h"
#include "support/ScriptedFrontend.h"

using namespace kalvex;

class SummaryWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void hasTheDescribedControls() {
    ui::ScriptedFrontend frontend;
    SummaryWindow window(frontend);
    QCOMPARE(window.objectName(), QString("frmSummary"));
    QCOMPARE(window.windowTitle(), QString("Oskane results summary"));
    auto* save = window.findChild<QPushButton*>("cmdSaveSummary");
    QVERIFY(save);
    QCOMPARE(save->text(), QString("Save summary as..."));
    QCOMPARE(save->toolTip(), QString("Saves the (possibly edited) output appearing in the textbox below"));
    auto* pane = window.findChild<QTextEdit*>("rtbOut");
    QVERIFY(pane);
    QCOMPARE(pane->font().family(), QString("Courier New"));
    QCOMPARE(pane->font().pointSize(), 9);
    QCOMPARE(pane->lineWrapMode(), QTextEdit::NoWrap);
    QVERIFY(!pane->isReadOnly());  // the user may edit before saving
  }

  void resizingFollowsTheTwipsRule() {
    ui::ScriptedFrontend frontend;
    SummaryWindow window(frontend);
    window.show();
    window.resize(900, 700);
    QTRY_COMPARE(window.width(), 900);
    auto* save = window.findChild<QPushButton*>("cmdSaveSummary");
    auto* pane = window.findChild<QTextEdit*>("rtbOut");
    const int less120 = 900 - TwipsToPixels(window, 120);
    QCOMPARE(save->width(), less120);
    QCOMPARE(pane->width(), less120);
    QCOMPARE(pane->height(), 700 - TwipsToPixels(window, 400));
    QVERIFY(pane->y() >= save->y() + save->height());
    QVERIFY(pane->y() + pane->height() <= 700);
  }

  void saveButtonAsksWhereAndCloseHandsBack() {
    ui::ScriptedFrontend frontend;
    frontend.ExpectSave(std::nullopt, "Save summary in...");
    SummaryWindow window(frontend);
    window.show();
    QTest::mouseClick(window.findChild<QPushButton*>("cmdSaveSummary"), Qt::LeftButton);
    QCOMPARE(frontend.PendingPrompts(), size_t(0));
    QCOMPARE(frontend.dialogs.back().fileName, std::string("Oskane_results.kvo"));
    QSignalSpy closed(&window, &SummaryWindow::closed);
    window.close();
    QCOMPARE(closed.count(), 1);
  }
};

QTEST_MAIN(SummaryWindowTest)
#include "SummaryWindowTest.moc"
