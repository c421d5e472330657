// Renders x-y plots offscreen and checks pixels at known twips positions.
#include <QFile>
#include <QImage>
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
    // The axes and ticks survive the erasing.
    QCOMPARE(off.pixelColor(Pixel(720, 3000)), kBlackColour);
    QCOMPARE(off.pixelColor(Pixel(770, 480 + 624)), kBlackColour);
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

  void picturesAreSavedAsPngAndSvg() {
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

  void tickLabelsAndALegendAreDrawnAroundThePlot() {
    XYPlot plot(OneSeries({-1, 2, 0.5}));
    plot.Options().Tick(PlotOption::Line, false);
    plot.PlotIt();
    QImage image = RenderXYPlot(plot, {.size = QSize(700, 420)});  // not the surface's aspect
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    auto darkIn = [&](QRect box) {
      int count = 0;
      for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) count += dark(x, y);
      return count;
    };
    // The axes: the first column and the last row that are dark over most of the picture.
    int axisX = 0, axisY = image.height() - 1;
    while (axisX < image.width() && darkIn(QRect(axisX, 0, 1, image.height())) < image.height() / 2) ++axisX;
    while (axisY > 0 && darkIn(QRect(0, axisY, image.width(), 1)) < image.width() / 2) --axisY;
    int top = axisY;
    while (top > 0 && dark(axisX, top - 1)) --top;
    QVERIFY(axisX > 10 && axisX < image.width() / 4);
    QVERIFY(axisY > image.height() * 3 / 4 && axisY < image.height() - 10);
    QVERIFY(top > 5);
    QVERIFY(darkIn(QRect(0, top - 8, axisX - 2, axisY - top + 16)) > 100);                      // Y tick labels
    QVERIFY(darkIn(QRect(axisX - 8, axisY + 2, image.width() - axisX + 8, image.height() - axisY - 2)) > 150);  // X
    QRect legend(axisX, 0, image.width() - axisX, top - 2);
    QVERIFY(darkIn(legend) > 30);  // the series' label
    int blue = 0;
    for (int y = legend.top(); y <= legend.bottom(); ++y)
      for (int x = legend.left(); x <= legend.right(); ++x) blue += image.pixelColor(x, y) == kBlue;
    QVERIFY(blue >= 10);  // its sample line in the series' colour
    // Point markers stay round on a wide picture: period 2 of 3, at the top of the range.
    int right = image.width() - 1;
    while (right > axisX && !dark(right, axisY)) --right;
    QRect box;
    const QPoint second((axisX + right) / 2, top);
    for (int y = second.y() - 10; y <= second.y() + 10; ++y)
      for (int x = second.x() - 10; x <= second.x() + 10; ++x)
        if (image.rect().contains(x, y) && image.pixelColor(x, y) == kBlue) box |= QRect(x, y, 1, 1);
    QVERIFY(box.width() >= 4);
    QVERIFY(qAbs(box.width() - box.height()) <= 1);
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
