// Renders x-y plots offscreen and checks pixels at known twips positions.
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "plots/qt/XYPlotPainter.h"

using namespace kalvex::plots;

namespace {

XYPlotData OneSeries(const std::vector<double>& values) {
  XYPlotData data;
  int n = static_cast<int>(values.size());
  data.values.Resize(n, 1);
  for (int i = 1; i <= n; ++i) data.values(i, 1) = values[i - 1];
  double low = 1e300, high = -1e300;
  for (double v : values)
    if (!IsMissing(v)) low = std::min(low, v), high = std::max(high, v);
  data.seriesMinimum = {0, low};
  data.seriesMaximum = {0, high};
  data.seriesLabels = {"", "ln[Residuals]"};
  data.xMinimum = data.xStartLabel = 1;
  data.xMaximum = data.xEndLabel = n;
  return data;
}

// The pixel under a twips position of the default 15-twips-per-pixel picture.
QPoint Pixel(double twipsX, double twipsY) { return QPoint(int(twipsX / 15), int(twipsY / 15)); }

int CountColour(const QImage& image, QPoint centre, int reach, QColor colour) {
  int count = 0;
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      QPoint p = centre + QPoint(dx, dy);
      if (image.rect().contains(p) && image.pixelColor(p) == colour) ++count;
    }
  return count;
}

const QColor kBlue(0, 0, 128);  // the first plot's colour
const QColor kBlackColour(0, 0, 0);

}  // namespace

class PlotDrawingTest : public QObject {
  Q_OBJECT
 private slots:
  void pointIsDrawnWhereTheScalesPutIt() {
    XYPlot plot(OneSeries({0, 10, 5}));
    plot.Options().Tick(PlotOption::Line, false);
    plot.PlotIt();
    QImage image = RenderXYPlot(plot, {.axisTexts = false});
    QCOMPARE(image.size(), QSize(504, 480));
    // Period 2 at its maximum: x 3960, y 480; a circle of 30 twips (2 pixels).
    QVERIFY(CountColour(image, Pixel(3960, 480), 3, kBlue) >= 4);
    QCOMPARE(image.pixelColor(Pixel(3960, 480)), QColor(Qt::white));  // a ring, not a disc
    // Period 3 (value 5) stands half-way up at the right edge.
    QVERIFY(CountColour(image, Pixel(7200, 3600), 3, kBlue) >= 4);
    // Nothing joins them: lines are off.
    QCOMPARE(CountColour(image, Pixel(5580, 2040), 2, kBlue), 0);
  }

  void zeroLineIsDashedAcrossThePlot() {
    XYPlot plot(OneSeries({-1, 1}));
    plot.Options().Tick(PlotOption::Line, false);
    plot.PlotIt();
    QImage image = RenderXYPlot(plot, {.axisTexts = false});
    // y = 0 is the middle of -1..1: twips 3600, pixel row 240.
    int row = Pixel(0, 3600).y();
    int black = 0, white = 0;
    for (int x = Pixel(1500, 0).x(); x <= Pixel(6000, 0).x(); ++x) {
      QColor c = image.pixelColor(x, row);
      black += c == kBlackColour;
      white += c == QColor(Qt::white);
    }
    QVERIFY(black > 50);
    QVERIFY(white > 10);  // dashed, not solid
    QCOMPARE(CountColour(image, Pixel(3600, 2000), 3, kBlackColour), 0);
  }

  void gridIsDrawnThenErased() {
    XYPlot plot(OneSeries({1, 2}));
    plot.Options().Tick(PlotOption::Grid8);
    plot.PlotIt();
    QImage on = RenderXYPlot(plot, {.axisTexts = false});
    // First vertical line of the 8x8 grid: x = 720 + 810 = 1530 twips.
    int column = Pixel(1530, 0).x();
    int blackOn = 0;
    for (int y = Pixel(0, 1000).y(); y <= Pixel(0, 6000).y(); ++y) blackOn += on.pixelColor(column, y) == kBlackColour;
    QVERIFY(blackOn > 50);
    plot.PlotIt();
    QImage off = RenderXYPlot(plot, {.axisTexts = false});
    int blackOff = 0;
    for (int y = Pixel(0, 1000).y(); y <= Pixel(0, 6000).y(); ++y) blackOff += off.pixelColor(column, y) == kBlackColour;
    QCOMPARE(blackOff, 0);
    // The axes survive the erasing.
    QCOMPARE(off.pixelColor(Pixel(720, 3000)), kBlackColour);
    QCOMPARE(off.pixelColor(Pixel(3000, 6720)), kBlackColour);
  }

  void missingValueIsNotJoined() {
    XYPlot plot(OneSeries({2, 3, kMissingValue, 3, 2}));
    plot.PlotIt();
    QImage image = RenderXYPlot(plot, {.axisTexts = false});
    // Periods 1..5 at x 720, 2340, 3960, 5580, 7200; y 2 at 6720 and 3 at 480.
    QVERIFY(CountColour(image, Pixel(1530, 3600), 1, kBlue) >= 1);  // 1-2 joined
    QCOMPARE(CountColour(image, Pixel(3960, 480), 4, kBlue), 0);     // no bridge 2-4 over the gap
    QCOMPARE(CountColour(image, Pixel(3150, 480), 4, kBlue), 0);
    QCOMPARE(CountColour(image, Pixel(4770, 480), 4, kBlue), 0);
  }

  void picturesAreSavedAsPngSvgAndPdf() {
    XYPlot plot(OneSeries({-1, 2, 0.5}));
    plot.PlotIt();
    QTemporaryDir dir;
    QString png = dir.filePath("plot.png");
    QVERIFY(!SaveXYPlotPicture(plot, png.toStdString(), {.antialias = false}));
    QImage read(png);
    QCOMPARE(read.size(), QSize(504, 480));
    QImage rendered = RenderXYPlot(plot);
    QCOMPARE(read.convertToFormat(QImage::Format_RGB32), rendered);
    if (SvgPictureAvailable()) {
      QString svg = dir.filePath("plot.svg");
      QVERIFY(!SaveXYPlotPicture(plot, svg.toStdString()));
      QFile file(svg);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QByteArray text = file.readAll();
      QVERIFY(text.contains("<svg"));
      QVERIFY(text.contains("ln[Residuals]"));
    }
    // One page of the picture's size: 7560 x 7200 twips are 378 x 360 points.
    QString pdf = dir.filePath("plot.pdf");
    QVERIFY(!SaveXYPlotPicture(plot, pdf.toStdString()));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    // The page tree's count and the page's box.
    const QString text = QString::fromLatin1(bytes);
    const QRegularExpressionMatch count = QRegularExpression("/Count (\\d+)").match(text);
    const QRegularExpressionMatch box = QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(text);
    QCOMPARE(count.captured(1), QString("1"));
    QCOMPARE(box.captured(1).toDouble(), 378.0);
    QCOMPARE(box.captured(2).toDouble(), 360.0);
    // A folder that does not exist: the reason comes back and no file appears.
    QString bad = dir.filePath("missing/plot.png");
    QVERIFY(SaveXYPlotPicture(plot, bad.toStdString()).has_value());
    QVERIFY(!QFile::exists(bad));
  }

  void overlaysGoSideBySideWithALegendInTheirColours() {
    XYPlotData data;
    data.values.Resize(3, 4);
    const double table[3][4] = {{1, 2, 10, 20}, {2, 1, 30, 10}, {3, 3, 20, 30}};
    for (int i = 1; i <= 3; ++i)
      for (int s = 1; s <= 4; ++s) data.values(i, s) = table[i - 1][s - 1];
    data.seriesMinimum = {0, 1, 1, 10, 10};
    data.seriesMaximum = {0, 3, 3, 30, 30};
    data.seriesLabels = {"", "a", "b", "c", "d"};
    data.xMinimum = data.xStartLabel = 1;
    data.xMaximum = data.xEndLabel = 3;
    XYPlot left = OverlayPlot(data, {1, 2});
    XYPlot right = OverlayPlot(data, {3, 4});
    QCOMPARE(int(left.Legend().size()), 2);
    QCOMPARE(left.Legend()[1].colour, 2);
    QCOMPARE(QString::fromStdString(right.Legend()[0].label), QString("c"));
    QImage both = RenderXYPlotPanels({&left, &right}, {.axisTexts = false});
    QCOMPARE(both.size(), QSize(1008, 480));
    // Each half's first series is blue: a rises straight across the left one.
    QVERIFY(CountColour(both, Pixel(3960, 3600), 2, kBlue) >= 1);
    QVERIFY(CountColour(both, Pixel(2340, 3600) + QPoint(504, 0), 2, kBlue) >= 1);  // c: 10 to 30
    // Series b's first segment falls from 2 to 1: green (the second colour) in the left half.
    QVERIFY(CountColour(both, Pixel(2340, 5160), 2, QColor(0, 128, 0)) >= 1);
    QTemporaryDir dir;
    QString path = dir.filePath("both.png");
    QVERIFY(!SaveXYPlotPanels({&left, &right}, path.toStdString()));
    QCOMPARE(QImage(path).size(), QSize(1008, 480));
  }

  void largerPicturesKeepTheTwipsLayout() {
    XYPlot plot(OneSeries({0, 10}));
    plot.Options().Tick(PlotOption::Scatter, false);
    plot.PlotIt();
    QImage image = RenderXYPlot(plot, {.size = QSize(1008, 960), .axisTexts = false});
    // The line from (720, 6720) to (7200, 480) passes the centre of the plot.
    QPoint centre(int(3960 / 7.5), int(3600 / 7.5));
    QVERIFY(CountColour(image, centre, 1, kBlue) >= 1);
  }
};

QTEST_MAIN(PlotDrawingTest)
#include "PlotDrawingTest.moc"
