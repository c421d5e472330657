#pragma once
// A plot's picture as a list of primitives in twips, in drawing order, with
// the texts of its labels: a window, an image, an SVG or a PDF file replays
// the same list.
#include <string>
#include <vector>

#include "plots/Drawing.h"

namespace kalvex::plots {

// The height of the figures' letters in twips (7 points); a line of text
// takes kLineHeight.
inline constexpr double kTextSize = 140;
inline constexpr double kLineHeight = 180;

// A label's text and where a picture puts it (twips): left is its left
// edge, or its centre or right edge when aligned so (axis labels); top is
// the top of its first line.
struct FigureText {
  enum class Align { Left, Centre, Right };
  std::string name;  // the window's label (lblXStart, ...), or what the text is ("tick", "legend")
  std::string text;  // lines separated by "\n"
  double left = 0, top = 0;
  int colour = 0;
  Align align = Align::Left;
};

// Where a picture goes: a plot window keeps its own layout (its tick marks
// and labels) with the ticks, titles and legend added; a file (PNG, SVG,
// PDF) gets a picture for a paper.
enum class FigureUse { Screen, File };

struct Figure {
  double width = 0, height = 0;  // the drawing surface, twips
  std::vector<FigureItem> items;
  std::vector<FigureText> texts;
};

}  // namespace kalvex::plots
