#pragma once
// The picture of a distribution or bivariate plot as a list of primitives
// in twips, in drawing order, with the texts of its labels: a window, an
// image or an SVG file replays the same list.
#include <string>
#include <vector>

#include "plots/Drawing.h"

namespace kalvex::plots {

struct FigureItem {
  enum class Kind { Segment, Box, Disc } kind = Kind::Segment;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a Box fills x1..x2, y1..y2; a Disc is centred on x1, y1
  double radius = 0;
  int colour = 0;  // index into the 16-colour palette
  Stroke stroke = Stroke::Solid;
  bool pale = false;  // a light tint of the colour: shading behind the data
};

// A label's text and where a picture puts it (twips): left is its left
// edge, or its centre or right edge when aligned so (axis labels).
struct FigureText {
  enum class Align { Left, Centre, Right };
  std::string name;  // the window's label (lblXStart, ...)
  std::string text;  // lines separated by "\n"
  double left = 0, top = 0;
  int colour = 0;
  Align align = Align::Left;
};

struct Figure {
  double width = 0, height = 0;  // the drawing surface, twips
  std::vector<FigureItem> items;
  std::vector<FigureText> texts;
};

}  // namespace kalvex::plots
