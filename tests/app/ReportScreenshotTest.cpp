// The report as a browser shows it: kalvex-batch report writes the page of
// an example, Debian's chromium (headless) takes a screenshot of it, and the
// picture must show text, tables and colour, not a blank page. Skipped where
// no browser is installed.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

class ReportScreenshotTest : public QObject {
  Q_OBJECT
 private slots:
  void aBrowserShowsThePage() {
    const QString browser = QStandardPaths::findExecutable("chromium");
    if (browser.isEmpty()) QSKIP("chromium is not installed: the report's screenshot is not checked");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString page = folder.filePath("one.html"), shot = folder.filePath("one.png");
    const QString examples = KALVEX_EXAMPLES;
    QProcess batch;
    batch.start(KALVEX_BATCH_EXE, {"report", "--species", "1", "--data", examples + "/one_species.dat", "--alg",
                                   examples + "/one_species.alg", "--points", "5", "--jitter", "0", "--peels", "0",
                                   "--out", page});
    QVERIFY(batch.waitForFinished(120000));
    QCOMPARE(batch.exitCode(), 0);

    QProcess chromium;
    chromium.start(browser, {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                             "--screenshot=" + shot, "--window-size=1280,4000",
                             QUrl::fromLocalFile(page).toString()});
    QVERIFY(chromium.waitForFinished(120000));
    const QImage image(shot);
    QVERIFY2(!image.isNull(), qPrintable("no screenshot: " + chromium.readAllStandardError().right(400)));
    QCOMPARE(image.size(), QSize(1280, 4000));
    qint64 marked = 0, dark = 0, coloured = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor colour = image.pixelColor(x, y);
        marked += colour.lightness() < 245;
        dark += colour.lightness() < 90;
        coloured += colour.hsvSaturation() > 100 && colour.value() > 60;
      }
    const qint64 pixels = qint64(image.width()) * image.height();
    QVERIFY2(marked > pixels / 30, "the page is almost blank");
    QVERIFY2(dark > pixels / 400, "the page shows hardly any text");
    QVERIFY2(coloured > pixels / 2000, "the page shows no colour: no plot, no link, no warning box");
  }
};

QTEST_MAIN(ReportScreenshotTest)
#include "ReportScreenshotTest.moc"
