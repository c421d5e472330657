// The "Data and prediction plots" window driven through its widgets.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "plots/qt/XYPlotWindow.h"

using namespace kalvex::plots;

namespace {

XYPlotData TwoSeries() {
  XYPlotData data;
  data.values.Resize(4, 2);
  const double first[] = {1, 2, 4, 3};
  const double second[] = {kMissingValue, -1, 0.5, 2};
  for (int i = 1; i <= 4; ++i) {
    data.values(i, 1) = first[i - 1];
    data.values(i, 2) = second[i - 1];
  }
  data.seriesMinimum = {0, 1, -1};
  data.seriesMaximum = {0, 4, 2};
  data.seriesLabels = {"", "Measured harvest rate indices", "Residuals"};
  data.xMinimum = data.xStartLabel = 1;
  data.xMaximum = data.xEndLabel = 4;
  data.pageText = "1";
  return data;
}

}  // namespace

class PlotWindowTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    if (!child) qFatal("missing control %s", name);
    return child;
  }

 private slots:
  void opensWithTheDescribedControls() {
    XYPlotWindow window(TwoSeries());
    QCOMPARE(window.objectName(), QString("frmXYPlot"));
    QCOMPARE(window.windowTitle(), QString("Data and prediction plots"));
    QCOMPARE(Find<QPushButton>(window, "cmdPlot")->text(), QString("&Plot it!"));
    QCOMPARE(Find<QPushButton>(window, "cmdClear")->text(), QString("&Clear Plot && Reset Axes"));
    QCOMPARE(Find<QPushButton>(window, "cmdNext_Page")->text(), QString("&Next Plot Page"));
    QCOMPARE(Find<QPushButton>(window, "cmdCancel")->text(), QString("&Quit plots"));
    QCOMPARE(Find<QCheckBox>(window, "Check_Line_LtoR")->toolTip(), QString("Connects left to right sequential points"));
    QCOMPARE(Find<QCheckBox>(window, "Check_Line_RtoL")->toolTip(), QString("Connects right to left sequential points"));
    QVERIFY(Find<QCheckBox>(window, "Check_Line")->isChecked());
    QVERIFY(Find<QCheckBox>(window, "Check_Scatter")->isChecked());
    QVERIFY(!Find<QCheckBox>(window, "Check_Drop")->isChecked());
    QCOMPARE(Find<QCheckBox>(window, "Check_10X10")->text(), QString("10x10 Grid"));
    auto* x = Find<QListWidget>(window, "listXVar");
    QCOMPARE(x->count(), 3);
    QCOMPARE(x->item(0)->text(), QString("Time Counter"));
    QCOMPARE(x->currentRow(), 0);
    QCOMPARE(Find<QListWidget>(window, "listYVar")->currentRow(), 0);
    QCOMPARE(Find<QLineEdit>(window, "txtXmin")->text(), QString("1 (1)"));
    QCOMPARE(Find<QLineEdit>(window, "txtXmax")->text(), QString("4 (4)"));
    QCOMPARE(Find<QLineEdit>(window, "txtYmax")->text(), QString("4"));
    QCOMPARE(Find<QLabel>(window, "lblGraphPage")->text(), QString("Page:  1"));
    QVERIFY(Find<QPlainTextEdit>(window, "txtScaling")->toPlainText().startsWith("Plots are automatically scaled \nto"));
  }

  void checkBoxesExcludeEachOther() {
    XYPlotWindow window(TwoSeries());
    window.show();
    QTest::mouseClick(Find<QCheckBox>(window, "Check_8X8"), Qt::LeftButton);
    QVERIFY(Find<QCheckBox>(window, "Check_8X8")->isChecked());
    QVERIFY(!Find<QCheckBox>(window, "Check_Line")->isChecked());
    QVERIFY(!Find<QCheckBox>(window, "Check_Scatter")->isChecked());
    QTest::mouseClick(Find<QCheckBox>(window, "Check_Scatter"), Qt::LeftButton);
    QVERIFY(Find<QCheckBox>(window, "Check_Scatter")->isChecked());
    QVERIFY(!Find<QCheckBox>(window, "Check_8X8")->isChecked());
  }

  void plotItWidensTheLimitsAndFillsTheLabels() {
    XYPlotWindow window(TwoSeries());
    window.show();
    Find<QListWidget>(window, "listYVar")->setCurrentRow(1);  // Residuals: the Y boxes follow
    QCOMPARE(Find<QLineEdit>(window, "txtYmin")->text(), QString("-1"));
    QTest::mouseClick(Find<QPushButton>(window, "cmdClear"), Qt::LeftButton);
    QCOMPARE(Find<QLineEdit>(window, "txtYmin")->text(), QString("-1"));
    auto* yMax = Find<QLineEdit>(window, "txtYmax");
    yMax->clear();
    QTest::keyClicks(yMax, "1");  // below the data: widened back to 2
    QTest::mouseClick(Find<QPushButton>(window, "cmdPlot"), Qt::LeftButton);
    QCOMPARE(yMax->text(), QString("2"));
    QCOMPARE(Find<QLabel>(window, "lblYZero")->text(), QString("Horizontal dashed line shows Y=0"));
    QCOMPARE(Find<QLabel>(window, "lblGraphMax")->text(), QString("Y-Max =  2\nY-Min =  -1\nX-Max =  4\nX-Min =  1"));
    QVERIFY(Find<QLabel>(window, "lblCorr")->text().startsWith(QString::fromUtf8("r  = 1.0000\ns\u00B0 = 0.0000\nScatter of Y:")));
    QCOMPARE(window.Plot().PlotCounter(), 1);
    auto* yList = Find<QListWidget>(window, "listYVar");
    emit yList->itemDoubleClicked(yList->item(0));  // a double click plots as the button does
    QCOMPARE(window.Plot().PlotCounter(), 2);
  }

  void quitAndNextPageCloseTheWindow() {
    auto* window = ShowXYPlotWindow(TwoSeries());
    QPointer<XYPlotWindow> alive(window);
    QSignalSpy ended(window, &XYPlotWindow::plotsEnded);
    QTest::mouseClick(Find<QPushButton>(*window, "cmdCancel"), Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toBool(), true);
    QTRY_VERIFY(alive.isNull());  // deleted once closed

    // The last page has no next one; a page before another leads on.
    XYPlotWindow last(TwoSeries());
    QVERIFY(!Find<QPushButton>(last, "cmdNext_Page")->isEnabled());
    XYPlotData page = TwoSeries();
    page.morePages = true;
    XYPlotWindow next(page);
    next.show();
    QTest::mouseClick(Find<QPushButton>(next, "cmdNext_Page"), Qt::LeftButton);
    QCOMPARE(next.HowEnded(), XYPlotWindow::Ending::NextPage);
    QVERIFY(!next.isVisible());
  }
};

QTEST_MAIN(PlotWindowTest)
#include "PlotWindowTest.moc"
