#pragma once
// The picture of an x-y plot as a list of primitives in twips, in drawing
// order: whatever paints it (a window, an image, an SVG file) replays the
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

struct DrawItem {
  enum class Kind { Segment, Circle, Dot } kind = Kind::Segment;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Circle and Dot use x1, y1
  double radius = 0;
  int colour = 0;  // index into the 16-colour palette
  Stroke stroke = Stroke::Solid;
};

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// The standard 16-colour palette: 0 black, 1 blue, ... 7 light grey,
// 8 dark grey, ... 15 white.
inline constexpr int kBlack = 0;
inline constexpr int kWhite = 15;
Rgb PaletteColour(int index);

using Drawing = std::vector<DrawItem>;

}  // namespace kalvex::plots
