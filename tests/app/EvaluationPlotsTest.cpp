// The distribution and bivariate plots: what a series or a grid draws, at
// known twips positions, checked on the figure and on rendered pixels.
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "plots/BivariatePlot.h"
#include "plots/DistributionPlot.h"
#include "plots/qt/EvaluationPlotWindows.h"
#include "plots/qt/FigurePainter.h"

using namespace kalvex;
using namespace kalvex::plots;

namespace {

QPoint Pixel(double twipsX, double twipsY) { return QPoint(int(twipsX / 15), int(twipsY / 15)); }

QColor Palette(int index) {
  Rgb c = PaletteColour(index);
  return QColor(c.r, c.g, c.b);
}

// Dark pixels along a column (vertical) or a row between two twips positions.
int DarkAlong(const QImage& image, double fixed, double from, double to, bool vertical) {
  int dark = 0;
  for (double t = from; t <= to; t += 15) {
    QPoint p = vertical ? Pixel(fixed, t) : Pixel(t, fixed);
    if (image.rect().contains(p) && image.pixelColor(p).lightness() < 100) ++dark;
  }
  return dark;
}

// Nine points from -0.5 to 1.5 with a bell of -ln[L] values about 0.5.
DistributionPlotData Bell() {
  DistributionPlotData data;
  data.table = EvaluationTable(9);
  for (int k = 1; k <= 9; ++k) {
    data.table.GridValue[k] = -0.5 + 0.25 * (k - 1);
    data.table.NegLnL[k] = 2 * std::pow(data.table.GridValue[k] - 0.5, 2);
    data.table.CiMode[k] = std::fabs(k - 5) / 4.0;
  }
  data.parameter = 3;
  return data;
}

// A density exp(-d^2 / 2) with d in units of the grid step about the centre.
BivariateGrid Normal(int n, int m, double spread) {
  BivariateGrid grid(n, m);
  grid.ProfileParameter = 1;
  grid.IntegratedParameter = 2;
  for (int k = 1; k <= n; ++k) grid.X[k] = k;
  for (int j = 1; j <= m; ++j) grid.Y[j] = -1 + 0.5 * j;
  for (int k = 1; k <= n; ++k)
    for (int j = 1; j <= m; ++j) {
      double dx = (k - (n + 1) / 2) / spread, dy = (j - (m + 1) / 2) / spread;
      grid.At(k, j) = std::exp(-(dx * dx + dy * dy) / 2);
    }
  grid.MaxDensity = 1;
  return grid;
}

}  // namespace

class EvaluationPlotsTest : public QObject {
  Q_OBJECT
 private slots:
  void aConfidenceRegionDrawsBothReferenceLinesAndTheNinetyFivePercentLine() {
    DistributionPlot plot(Bell());
    plot.Plot(3);
    QCOMPARE(plot.Labels().verticalLine, std::string("Left vertical line locates 0\nRight vertical line locates 1"));
    QCOMPARE(plot.Labels().confidenceInterval, std::string("< 95% CI >"));
    QCOMPARE(plot.Labels().var, std::string("Y: Confidence Region on mode\nX: Values for parameter # 3"));
    QImage image = RenderFigure(plot.Picture());
    // x = 0 and x = 1 at 720 + (x + 0.5) x 6480 / 2; dotted, so about half dark.
    QVERIFY(DarkAlong(image, 2340, 600, 6600, true) > 100);
    QVERIFY(DarkAlong(image, 5580, 600, 6600, true) > 100);
    QVERIFY(DarkAlong(image, 3960, 600, 6600, true) < 20);  // x = 0.5: no line there
    QVERIFY(DarkAlong(image, 792, 900, 7100, false) > 100);
    // The series' end point (1.5, 1) at the top right corner, in its colour.
    QCOMPARE(image.pixelColor(Pixel(7200, 480)), Palette(DistributionSeriesColour(3)));
  }

  void anAllZeroSeriesIsDrawnAgainstMinusOneToOneAndDropLinesExcludeTheOthers() {
    DistributionPlot plot(Bell());
    plot.SetDropLines(true);
    QVERIFY(!plot.DrawLines() && !plot.DrawPoints());
    plot.SetDrawPoints(true);
    QVERIFY(!plot.DropLines() && plot.DrawPoints() && !plot.DrawLines());
    plot.Plot(2);  // Pdf: all zero in this table
    QCOMPARE(plot.Labels().graphMax, std::string("Max =  1.0\nMin =  -1.0"));
    QCOMPARE(plot.Labels().plotInfoValues.substr(0, 9), std::string("0.000E+00"));
    plot.Clear();
    QVERIFY(plot.Labels().graphMax.empty());
    QCOMPARE(plot.Picture().items.size(), std::size_t(22));  // the axes and the tick marks only
  }

  void bivariateCellsAreColouredByTheirDistanceBelowThePeak() {
    QCOMPARE(BivariateBandColour(1), 12);
    QCOMPARE(BivariateBandColour(0.5), 2);
    QCOMPARE(BivariateBandColour(0.9), 6);
    QCOMPARE(BivariateBandColour(std::exp(-4.5) * 0.99), 15);

    BivariatePlot three(Normal(3, 3, 1));
    three.Draw();
    int boxes = 0;
    for (const FigureItem& item : three.Picture().items) boxes += item.kind == FigureItem::Kind::Box;
    QCOMPARE(boxes, 1);

    BivariatePlot plot(Normal(11, 11, 1.2));
    plot.Draw();
    QImage image = RenderFigure(plot.Picture());
    auto centre = [&](int k, int j) {
      const BivariateGrid& g = plot.Grid();
      double xlo = g.X[1] - 0.5, xhi = g.X[11] + 0.5, ylo = g.Y[1] - 0.25, yhi = g.Y[11] + 0.25;
      return Pixel(plot.Left() + (g.X[k] - xlo) * (plot.Right() - plot.Left()) / (xhi - xlo),
                   plot.Bottom() - (g.Y[j] - ylo) * (plot.Bottom() - plot.Top()) / (yhi - ylo));
    };
    QCOMPARE(image.pixelColor(centre(6, 6)), Palette(12));  // the peak
    QCOMPARE(image.pixelColor(centre(6, 7)), Palette(14));  // d = 0.83: yellow
    QCOMPARE(image.pixelColor(centre(2, 2)), Palette(15));  // d = 4.7: white
    QCOMPARE(plot.Labels().peak, std::string("X-Peak = 0.000E+00\nY-Peak = 0.000E+00"));
    QVERIFY(plot.Labels().corr.empty() == false);
  }

  // A file's distribution picture: the series on one scale, the mode, the
  // expected value and the equal-tailed 95 % interval marked and named.
  void filePicturesMarkTheDistributionAndSaveAsPngSvgAndPdf() {
    DistributionPlotData data;  // a cumulative rising evenly from 0 at x = 0 to 1 at x = 10
    data.table = EvaluationTable(11);
    for (int k = 1; k <= 11; ++k) {
      data.table.GridValue[k] = k - 1;
      data.table.Cumulative[k] = (k - 1) / 10.0;
      data.table.Pdf[k] = 0.1;
    }
    data.summary.ModeIndex = 6;
    data.summary.ModeValue = 5;
    data.summary.ExpectedValue = 5.2;
    DistributionPlot plot(data);
    plot.Plot(2);
    plot.Plot(5);
    std::vector<std::string> legend;
    std::string yTitle;
    const Figure figure = plot.FilePicture();
    for (const FigureText& text : figure.texts) {
      if (text.name == "legend") legend.push_back(text.text);
      if (text.name == "ytitle") yTitle = text.text;
    }
    QCOMPARE(legend, (std::vector<std::string>{"Parameter Confidence Distribution", "Cumulative L to R Distribution",
                                               "95 % interval 0.2500 to 9.750", "Mode 5.000",
                                               "Expected value 5.200"}));
    QCOMPARE(yTitle, std::string("Probability density / Cumulative probability"));
    data.table.Cumulative[1] = 0.05;  // the lower point lies before the grid
    QVERIFY(!CentralInterval(data.table, 0.95));

    QTemporaryDir dir;
    QVERIFY(!SaveFigurePicture(figure, (dir.path() + "/d.png").toStdString()));
    QCOMPARE(QImage(dir.path() + "/d.png").size(), QSize(600, 400));
    QVERIFY(!SaveFigurePicture(figure, (dir.path() + "/d.pdf").toStdString()));
    QFile pdf(dir.path() + "/d.pdf");
    QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
    BivariatePlot bivariate(Normal(11, 11, 2));
    bivariate.Draw();
    QVERIFY(!SaveFigurePicture(bivariate.FilePicture(), (dir.path() + "/b.svg").toStdString()));
    QVERIFY(QFileInfo(dir.path() + "/b.svg").size() > 0);
  }

  // "&Done" inside the main window's area must take the frame with it.
  void doneClosesTheSubWindowFrame() {
    QMdiArea area;
    area.addSubWindow(new DistPlotWindow(Bell()))->setAttribute(Qt::WA_DeleteOnClose);
    area.addSubWindow(new BivarPlotWindow(Normal(11, 11, 2)))->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    for (QMdiSubWindow* frame : area.subWindowList()) frame->widget()->findChild<QPushButton*>("cmdDone")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(area.subWindowList().isEmpty());
  }
};

QTEST_MAIN(EvaluationPlotsTest)
#include "EvaluationPlotsTest.moc"
