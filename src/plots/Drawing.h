#pragma once
// The primitives every plot is drawn with, in twips, in drawing order:
// whatever paints them (a window, an image, an SVG or PDF file) replays the
// list, so every surface shows the same picture.
#include <cstdint>
#include <vector>

namespace kalvex::plots {

// The drawing area in twips: the plot occupies x 720..7200, y 480 (top)
// to 6720 (bottom); the surface around it leaves room for the tick marks.
inline constexpr double kPlotLeft = 720, kPlotRight = 7200;
inline constexpr double kPlotTop = 480, kPlotBottom = 6720;
inline constexpr double kSurfaceWidth = 7560, kSurfaceHeight = 7200;

enum class Stroke { Solid, Dash, Dot };

struct FigureItem {
  // A Segment joins x1, y1 to x2, y2; a Box fills x1..x2, y1..y2; a Disc
  // (filled), a Circle (its outline) and a Dot (a point) are centred on x1, y1.
  enum class Kind { Segment, Box, Disc, Circle, Dot } kind = Kind::Segment;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double radius = 0;
  int colour = 0;  // index into the 16-colour palette
  Stroke stroke = Stroke::Solid;
  bool pale = false;  // a light tint of the colour: shading behind the data
};

// The x-y plot's names for the same primitives.
using DrawItem = FigureItem;
using Drawing = std::vector<FigureItem>;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// The standard 16-colour palette: 0 black, 1 blue, ... 7 light grey,
// 8 dark grey, ... 15 white.
inline constexpr int kBlack = 0;
inline constexpr int kGrey = 8;
inline constexpr int kWhite = 15;
Rgb PaletteColour(int index);

}  // namespace kalvex::plots
