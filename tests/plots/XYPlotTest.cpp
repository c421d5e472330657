#include "plots/XYPlot.h"

#include <gtest/gtest.h>

#include <cmath>

#include "plots/Panel.h"
#include "plots/PlotStatistics.h"
#include "plots/XYPlotFigure.h"
#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

// n periods of one or more series given column by column.
XYPlotData MakeData(const std::vector<std::vector<double>>& series) {
  XYPlotData data;
  int n = static_cast<int>(series.at(0).size());
  int m = static_cast<int>(series.size());
  data.values.Resize(n, m);
  data.seriesMinimum.assign(m + 1, 0);
  data.seriesMaximum.assign(m + 1, 0);
  data.seriesLabels.assign(m + 1, "");
  for (int s = 1; s <= m; ++s) {
    data.seriesLabels[s] = "series " + std::to_string(s);
    for (int i = 1; i <= n; ++i) data.values(i, s) = series[s - 1][i - 1];
  }
  data.xMinimum = data.xStartLabel = 1;
  data.xMaximum = data.xEndLabel = n;
  data.pageText = "1";
  return data;
}

int CountItems(const Drawing& items, DrawItem::Kind kind, int colour) {
  int count = 0;
  for (const DrawItem& item : items) count += item.kind == kind && item.colour == colour;
  return count;
}

TEST(XYPlot, OpensWithLinesAndPointsAndTheLimitsOfTheFirstSeries) {
  XYPlot plot(MakeData({{2, 4, 3}, {-1, 5, 0}}));
  EXPECT_TRUE(plot.Options()[PlotOption::Line]);
  EXPECT_TRUE(plot.Options()[PlotOption::Scatter]);
  EXPECT_FALSE(plot.Options()[PlotOption::Drop]);
  EXPECT_EQ(plot.XList(), (std::vector<std::string>{"Time Counter", "series 1", "series 2"}));
  EXPECT_EQ(plot.YList().size(), 2u);
  EXPECT_EQ(plot.Labels().graphPage, "Page:  1");
  EXPECT_EQ(plot.Limits().xMin, "1 (1)");
  EXPECT_EQ(plot.Limits().xMax, "3 (3)");
  EXPECT_TRUE(plot.Items().empty());
}

TEST(XYPlot, LimitBoxesShowSixDecimalsAndFollowTheSeriesUnlessTyped) {
  XYPlotData data = MakeData({{0.12345678, 1}, {-2.0000004, 7}, {-50, 50}});
  data.seriesMinimum = {0, 0.12345678, -2.0000004, -50};
  data.seriesMaximum = {0, 1, 7, 50};
  XYPlot plot(data);
  EXPECT_EQ(plot.Limits().yMin, "0.123457");
  plot.Limits().yMax = "3";  // typed by the user
  plot.SelectY(2);
  EXPECT_EQ(plot.Limits().yMin, "-2");  // -2000000.4 + 0.5 floors to -2000000
  EXPECT_EQ(plot.Limits().yMax, "3");   // kept: typed
  plot.PlotIt();                        // widened to the series: 7
  plot.SelectY(3);                      // what the plot put there follows the new series
  EXPECT_EQ(plot.Limits().yMin, "-50");
  EXPECT_EQ(plot.Limits().yMax, "50");
  EXPECT_EQ(SixDecimalText(2.5e-7), "0");
  EXPECT_EQ(SixDecimalText(5e-7), "1E-06");
  EXPECT_EQ(SixDecimalText(0.0000125), "0.000013");
}

TEST(XYPlot, TickTextsTellTheTicksApart) {
  struct Case {
    std::vector<double> values;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {{11, 10, 9}, {"11", "10", "9"}},
      {{30, 27.1, 24.2}, {"30.0", "27.1", "24.2"}},
      {{0.1, -0.23, -0.56}, {"0.10", "-0.23", "-0.56"}},
      {{0.00002, -1e-20, -0.00002}, {"0.00002", "0.00000", "-0.00002"}},
      {{2e6, 1e6, 0}, {"2.0E+06", "1.0E+06", "0.0E+00"}},
      {{1.0 / 3, 0.2, 1.0 / 15}, {"0.333", "0.200", "0.067"}},
  };
  for (const Case& c : cases) EXPECT_EQ(TickTexts(c.values), c.texts);

  // Round ticks: four to eight where a step of 1, 2 or 5 allows it.
  struct Range {
    double low, high, smallestStep;
    std::vector<std::string> texts;
  };
  const Range ranges[] = {
      {0, 1, 0, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
      {0.16, -3.2, 0, {"-3.0", "-2.5", "-2.0", "-1.5", "-1.0", "-0.5", "0.0"}},
      {1, 48, 1, {"10", "20", "30", "40"}},
      {1953, 1999, 1, {"1960", "1970", "1980", "1990"}},
      {-0.5655, -0.1385, 0, {"-0.5", "-0.4", "-0.3", "-0.2"}},
      {0.00041, 0.00107, 0, {"0.0005", "0.0006", "0.0007", "0.0008", "0.0009", "0.0010"}},
      {0, 7.5e6, 0, {"0.0E+00", "2.0E+06", "4.0E+06", "6.0E+06"}},
      {1, 3, 1, {"1", "2", "3"}},  // no step of a year or more gives four
      {5, 5, 0, {"5"}},
  };
  for (const Range& r : ranges) EXPECT_EQ(TickTexts(RoundTicks(r.low, r.high, 6, r.smallestStep)), r.texts) << r.low;
}

// Every text of the window's picture and of a file's, with where it stands:
// the round ticks, the X start and end labels on screen, the titles, the
// legend of two series drawn on different limits.
TEST(XYPlot, PicturesLabelBothAxesAndTheSeries) {
  XYPlotData data = MakeData({{0.12, 0.31, 0.27, 0.05, 0.2}, {1, 3, 2, 4, 2}});
  data.seriesMinimum = {0, 0.05, 1};
  data.seriesMaximum = {0, 0.31, 4};
  data.xStartLabel = 1990;
  data.xEndLabel = 1994;
  XYPlot plot = OverlayPlot(data, {1, 2});
  auto dump = [](const Figure& figure) {
    std::string text;
    for (const FigureText& t : figure.texts)
      if (!t.text.empty())
        text += t.name + " " + t.text + " @" + ShortestText(t.left) + "," + ShortestText(t.top) + "\n";
    return text;
  };
  // Y 1.0 gives way to the label below the origin.
  const std::string yTicks =
      "tick 1.5 @600,5590\ntick 2.0 @600,4550\ntick 2.5 @600,3510\ntick 3.0 @600,2470\ntick 3.5 @600,1430\n"
      "tick 4.0 @600,390\nytitle Y variate @120,264\nxtitle Time Counter @3960,7034\n";
  EXPECT_EQ(dump(XYPlotFigure(plot, FigureUse::Screen)),
            "lblXStart 1990 @720,6820\nlblXEnd 1994 @7200,6820\n"
            "tick 1991 @2340,6820\ntick 1992 @3960,6820\ntick 1993 @5580,6820\n" +
                yTicks + "legend series 1 (own scale) @5626.305,630\nlegend series 2 @5626.305,810\n");
  EXPECT_EQ(dump(XYPlotFigure(plot, FigureUse::File)),
            "tick 1990 @720,6820\ntick 1991 @2340,6820\ntick 1992 @3960,6820\ntick 1993 @5580,6820\n"
            "tick 1994 @7200,6820\n" +
                yTicks + "legend series 1 (own scale) @5626.305,6210\nlegend series 2 @5626.305,6390\n");
}

TEST(XYPlot, PointsLandWhereTheScalesPutThem) {
  XYPlotData data = MakeData({{0, 10, 5}});
  data.seriesMinimum = {0, 0};
  data.seriesMaximum = {0, 10};
  XYPlot plot(data);
  plot.PlotIt();
  const PlotRange& r = plot.LastRange();
  EXPECT_DOUBLE_EQ(TwipsX(r, 1), 720);
  EXPECT_DOUBLE_EQ(TwipsX(r, 3), 7200);
  EXPECT_DOUBLE_EQ(TwipsY(r, 0), 6720);
  EXPECT_DOUBLE_EQ(TwipsY(r, 10), 480);
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Circle, 1), 3);
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Segment, 1), 2);
  EXPECT_EQ(plot.Labels().graphMax, "Y-Max =  10\nY-Min =  0\nX-Max =  3\nX-Min =  1");
  EXPECT_EQ(plot.Labels().yZero, "");  // 0 is the edge, not inside the range
}

TEST(XYPlot, AllEqualSeriesIsDrawnOnMinusOneToOne) {
  XYPlot zeros(MakeData({{0, 0, 0}}));
  zeros.PlotIt();
  EXPECT_EQ(zeros.LastRange().yMin, -1);
  EXPECT_EQ(zeros.LastRange().yMax, 1);
  EXPECT_EQ(zeros.Labels().yZero, "Horizontal dashed line shows Y=0");
  // A flat series outside the unit band keeps the band's width around its level.
  XYPlotData fives = MakeData({{5, 5, 5}});
  fives.seriesMinimum = {0, 5};
  fives.seriesMaximum = {0, 5};
  XYPlot flat(fives);
  flat.PlotIt();
  EXPECT_EQ(flat.LastRange().yMin, 4);
  EXPECT_EQ(flat.LastRange().yMax, 6);
}

TEST(XYPlot, MissingMarkerNeverWidensTheRangeNorIsJoined) {
  XYPlotData data = MakeData({{kMissingValue, 2, 3, kMissingValue, 4}});
  data.seriesMinimum = {0, 2.5};
  data.seriesMaximum = {0, 2.5};
  XYPlot plot(data);
  plot.PlotIt();
  EXPECT_EQ(plot.LastRange().yMin, 2);
  EXPECT_EQ(plot.LastRange().yMax, 4);
  EXPECT_EQ(plot.Limits().yMin, "2");
  EXPECT_EQ(plot.Limits().yMax, "4");
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Circle, 1), 3);
  // 2-3 is joined; 3-missing and missing-4 are not.
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Segment, 1), 1);
  // The marker sits below the range here, so no white dot is placed on the plot.
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Dot, kWhite), 0);

  XYPlot around(MakeData({{-1, kMissingValue, 1}}));
  around.PlotIt();
  EXPECT_EQ(CountItems(around.Items(), DrawItem::Kind::Dot, kWhite), 1);
  EXPECT_EQ(CountItems(around.Items(), DrawItem::Kind::Segment, 1), 0);
}

TEST(XYPlot, ColoursFollowThePlotCounterAndTheSixteenthReusesTheFirst) {
  XYPlot plot(MakeData({{1, 2}}));
  std::vector<int> colours;
  for (int k = 1; k <= 16; ++k) {
    plot.PlotIt();
    colours.push_back(plot.ColourIndex());
  }
  EXPECT_EQ(colours.front(), 1);
  EXPECT_EQ(colours[14], 0);  // the fifteenth plot is black
  EXPECT_EQ(colours.back(), colours.front());
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Circle, 1), 4);
}

TEST(XYPlotOptions, TickingClearsTheExcludedOptions) {
  XYPlot plot(MakeData({{1, 2}}));
  plot.Options().Tick(PlotOption::Grid8);
  for (PlotOption o : {PlotOption::LineLtoR, PlotOption::LineRtoL, PlotOption::Line, PlotOption::Scatter,
                       PlotOption::Drop, PlotOption::Grid10})
    EXPECT_FALSE(plot.Options()[o]);
  EXPECT_TRUE(plot.Options()[PlotOption::Grid8]);
  plot.Options().Tick(PlotOption::Grid10);
  EXPECT_FALSE(plot.Options()[PlotOption::Grid8]);
  plot.Options().Tick(PlotOption::Scatter);
  EXPECT_FALSE(plot.Options()[PlotOption::Grid10]);
  EXPECT_TRUE(plot.Options()[PlotOption::Scatter]);

  PlotOptions lines;
  lines.Tick(PlotOption::Scatter);
  lines.Tick(PlotOption::LineLtoR);
  EXPECT_TRUE(lines[PlotOption::Scatter]);  // lines and points go together
  lines.Tick(PlotOption::Line);
  EXPECT_FALSE(lines[PlotOption::LineLtoR]);
  lines.Tick(PlotOption::Drop);
  EXPECT_FALSE(lines[PlotOption::Line]);
  EXPECT_FALSE(lines[PlotOption::Scatter]);
  EXPECT_EQ(OptionToolTip(PlotOption::Line), "Connects all points with a line");
  EXPECT_EQ(OptionToolTip(PlotOption::Drop), "");
}

TEST(XYPlotGrid, PlotItTwiceDrawsTheGridThenErasesIt) {
  XYPlot plot(MakeData({{1, 2}}));
  plot.Options().Tick(PlotOption::Grid8);
  plot.PlotIt();
  EXPECT_TRUE(plot.Grid8On());
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Segment, kBlack), 14);
  EXPECT_EQ(plot.Items()[0].x1, 720 + 810);
  EXPECT_EQ(plot.Items()[1].y1, 480 + 780);
  EXPECT_EQ(plot.Items()[0].stroke, Stroke::Dot);
  plot.PlotIt();
  EXPECT_FALSE(plot.Grid8On());
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Segment, kWhite), 14);
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Circle, 0) + CountItems(plot.Items(), DrawItem::Kind::Circle, 1) +
                CountItems(plot.Items(), DrawItem::Kind::Circle, 2),
            0);  // no series is drawn while a grid is ticked

  plot.Options().Tick(PlotOption::Grid10);
  plot.PlotIt();
  EXPECT_TRUE(plot.Grid10On());
  plot.Clear();
  EXPECT_FALSE(plot.Grid10On());
  EXPECT_TRUE(plot.Items().empty());
}

TEST(XYPlot, SeriesAgainstSeriesDrawsTheVerticalZeroLineAndOneWayLines) {
  XYPlotData data = MakeData({{-2, 1, 3, 2}, {1, 2, 3, 4}});
  data.seriesMinimum = {0, -2, 1};
  data.seriesMaximum = {0, 3, 4};
  XYPlot plot(data);
  plot.SelectX(1);
  plot.SelectY(2);
  plot.Clear();
  EXPECT_EQ(plot.Limits().xMin, "-2");
  plot.Options().Tick(PlotOption::LineLtoR);
  plot.PlotIt();
  EXPECT_EQ(plot.Labels().xZero, "Vertical dashed line shows X=0");
  // x runs -2, 1, 3, 2: only the first two steps go left to right.
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Segment, 1), 2);
  plot.Options().Tick(PlotOption::LineRtoL);
  plot.PlotIt();
  EXPECT_EQ(CountItems(plot.Items(), DrawItem::Kind::Segment, 2), 1);
}

TEST(PlotStatistics, CorrelationAndItsStandardError) {
  PlotSums sums;
  const double x[] = {1, 2, 3, 4, 5};
  const double y[] = {2, 4, 5, 4, 5};
  for (int i = 0; i < 5; ++i) sums.Add(x[i], y[i]);
  // Independent figures: Sxy = 6, Sxx = 10, Syy = 6 -> r = 6 / sqrt(60).
  double r = 6 / std::sqrt(60.0);
  EXPECT_NEAR(sums.Correlation(), r, 1e-15);
  EXPECT_NEAR(sums.CorrelationError(), std::sqrt((1 - r * r) / 3), 1e-15);
  EXPECT_NEAR(sums.MeanY(), 4, 1e-15);
  EXPECT_NEAR(sums.VarianceY(), 1.5, 1e-15);
  EXPECT_EQ(StatisticsText(sums, false),
            "r  = 0.7746\ns\u00B0 = 0.3651\nScatter of Y:\n      Mean = 4.0000\n      SD = 1.2247\n      Var = 1.5000");

  PlotSums perfect;
  perfect.Add(1, 1);
  perfect.Add(2, 2);
  perfect.Add(3, 3);
  EXPECT_NEAR(perfect.Correlation(), 1, 1e-15);
  EXPECT_EQ(perfect.CorrelationError(), 0);  // 1 - r^2 not positive

  PlotSums flat;
  flat.Add(1, 2);
  flat.Add(2, 2);
  EXPECT_EQ(flat.Correlation(), 0);
  // A histogram: X weighted by Y.
  PlotSums histogram;
  histogram.Add(1, 1);
  histogram.Add(2, 2);
  histogram.Add(3, 1);
  EXPECT_DOUBLE_EQ(histogram.WeightedMean(), 2);
  EXPECT_DOUBLE_EQ(histogram.WeightedVariance(), 0.5);
}

}  // namespace
}  // namespace kalvex::plots
