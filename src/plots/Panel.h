#pragma once
// One plot drawn into a figure: data coordinates mapped onto a rectangle of
// twips, with a frame, round ticks and their labels, titles and a legend.
// Every plot's axes come from here: the analyses' panels, and the ticks,
// titles and legends of the x-y, distribution and bivariate plots.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plots/Figure.h"

namespace kalvex::plots {

struct AxisRange {
  double low = 0, high = 1;
};

// Round tick values (1, 2 or 5 times a power of ten, never a step below
// smallestStep) within low..high: 4 to 8 of them where such a step exists,
// as near target as can be.
std::vector<double> RoundTicks(double low, double high, int target = 6, double smallestStep = 0);

// The texts of an axis' evenly spaced tick values, all in one form: the
// fewest decimals (up to six) that show every value as it is, or to a
// twentieth of the spacing; an exponent form for very large or very small
// values; never "-0".
std::vector<std::string> TickTexts(std::span<const double> values);

// A number to four significant digits, for legends and captions.
std::string SignificantText(double value);

// About how wide a text is drawn, in twips (its widest line): pictures are
// laid out in the core, before any font is at hand, so the estimate errs
// wide.
double TextWidth(std::string_view text);

// An empty figure of width x height twips.
inline Figure BlankFigure(double width, double height) { return Figure{width, height, {}, {}}; }

// The rectangle of a panel in twips.
struct PanelBox {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// A panel's plot area inside a surface of width x height twips, leaving
// room for the titles above and the tick labels left and below.
PanelBox PlotArea(double width, double height);

// One line of a legend: a sample of how the series is drawn, then its label.
struct LegendKey {
  enum class Marker { None, Disc, Circle, Box, Shade };
  std::string label;
  int colour = kBlack;
  bool line = true;
  Stroke stroke = Stroke::Solid;
  Marker marker = Marker::None;
};

class Panel {
 public:
  // A range whose ends are equal (or not numbers) is widened by 1 each way;
  // a range may run downwards.
  Panel(Figure& figure, PanelBox box, AxisRange x, AxisRange y);

  double X(double x) const;
  double Y(double y) const;
  const PanelBox& Box() const { return box_; }
  const AxisRange& XRange() const { return x_; }
  const AxisRange& YRange() const { return y_; }

  // Everything below takes data coordinates.
  void Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke = Stroke::Solid);
  void Polyline(std::span<const double> xs, std::span<const double> ys, int colour, Stroke stroke = Stroke::Solid);
  void Disc(double x, double y, int colour, double radiusTwips = 40);
  // A filled box, cut to the plot area; pale for shading behind the data.
  void Fill(double x1, double y1, double x2, double y2, int colour, bool pale);
  // A pale column over the whole height of the plot area from x1 to x2.
  void Column(double x1, double x2, int colour);
  // A horizontal line across the whole plot area at y; a vertical one at x.
  void Level(double y, int colour, Stroke stroke);
  void Upright(double x, int colour, Stroke stroke);

  // The frame, then the ticks.
  void Frame(std::span<const double> xTicks, std::span<const double> yTicks);
  // Tick marks pointing out of the plot area, with their labels. A label
  // that would overlap a text already in the figure is left out (its mark
  // stays): the window's own labels keep their places.
  void Ticks(std::span<const double> xTicks, std::span<const double> yTicks);
  // Any of them may be empty.
  void Titles(const std::string& title, const std::string& subtitle, const std::string& xTitle,
              const std::string& yTitle);
  // A text at data coordinates (its top left).
  void Note(const std::string& name, const std::string& text, double x, double y, int colour = kBlack);

  // The keys in a framed white box: inside the plot area, in the corner
  // where it hides the fewest of the items drawn so far, or beside the plot
  // area on its right. Drawn last, so that nothing covers it. Returns how
  // many items it hides (points along lines, markers, bars).
  enum class LegendPlace { Inside, Right };
  int Legend(std::span<const LegendKey> keys, LegendPlace place = LegendPlace::Inside);
  // The height of the legend of count keys, twips, with the gap that keeps it off the frame.
  static double LegendRoom(std::size_t count);

 private:
  void Line(double x1, double y1, double x2, double y2, int colour = kBlack, Stroke stroke = Stroke::Solid);

  Figure& figure_;
  PanelBox box_;
  AxisRange x_, y_;
};

// Panels of the same size side by side, columns to a row, as one figure.
Figure Arrange(std::span<const Figure> panels, int columns);

}  // namespace kalvex::plots
