#pragma once
// One plot drawn into a figure: data coordinates mapped onto a rectangle of
// twips, with a frame, round ticks and their labels, a title and axis
// titles. The analyses' pictures (residual diagnostics, minima, hindcasts)
// are made of panels; every painter replays them as any other figure.
#include <span>
#include <string>
#include <vector>

#include "plots/Figure.h"

namespace kalvex::plots {

struct AxisRange {
  double low = 0, high = 1;
};

// Steps of 1, 2 or 5 times a power of ten (never below smallestStep), about
// target of them over low..high; the ticks that fall within.
std::vector<double> RoundTicks(double low, double high, int target = 5, double smallestStep = 0);
// A tick's text with as many decimals as the step between ticks needs.
std::string TickText(double value, double step);

// An empty figure of width x height twips.
inline Figure BlankFigure(double width, double height) { return Figure{width, height, {}, {}}; }

// The rectangle of a panel in twips.
struct PanelBox {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// A panel's plot area inside a surface of width x height twips, leaving
// room for the titles above and the tick labels left and below.
PanelBox PlotArea(double width, double height);

class Panel {
 public:
  Panel(Figure& figure, PanelBox box, AxisRange x, AxisRange y);

  double X(double x) const;
  double Y(double y) const;
  const PanelBox& Box() const { return box_; }

  // Everything below takes data coordinates.
  void Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke = Stroke::Solid);
  void Polyline(std::span<const double> xs, std::span<const double> ys, int colour, Stroke stroke = Stroke::Solid);
  void Disc(double x, double y, int colour, double radiusTwips = 40);
  // A filled box, cut to the plot area; pale for shading behind the data.
  void Fill(double x1, double y1, double x2, double y2, int colour, bool pale);
  // A pale column over the whole height of the plot area from x1 to x2.
  void Column(double x1, double x2, int colour);
  // A horizontal line across the whole plot area at y.
  void Level(double y, int colour, Stroke stroke);

  // The frame, the ticks with their labels, the titles (any may be empty).
  void Frame(std::span<const double> xTicks, std::span<const double> yTicks);
  void Titles(const std::string& title, const std::string& subtitle, const std::string& xTitle,
              const std::string& yTitle);
  // A text at data coordinates (its top left).
  void Note(const std::string& name, const std::string& text, double x, double y, int colour = kBlack);

 private:
  Figure& figure_;
  PanelBox box_;
  AxisRange x_, y_;
};

// Panels of the same size side by side, columns to a row, as one figure.
Figure Arrange(std::span<const Figure> panels, int columns);

}  // namespace kalvex::plots
