#pragma once
// Paints a distribution or bivariate plot's figure with QPainter: a window
// in twips (the figure's own coordinates) on whatever viewport the target
// gives, so a window, an image and an SVG show the same primitives.
#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>
#include <string>

#include "plots/Figure.h"

class QPainter;

namespace kalvex::plots {

// 15 twips to a pixel, as on a 96 dpi screen.
QSize FigurePixelSize(const Figure& figure);

// Fills target white and paints the figure (with its label texts when asked).
void PaintFigure(QPainter& painter, const QRect& target, const Figure& figure, bool texts = true);

// The figure as an image of its pixel size on white; exact pixels unless
// antialiased.
QImage RenderFigure(const Figure& figure, bool antialias = false);

// Writes the figure as ".svg" (when built with Qt SVG) or else as PNG; the
// reason on failure. An existing file is only replaced by a complete one.
std::optional<std::string> SaveFigurePicture(const Figure& figure, const std::string& path);

// Its file content only, into encoded, for a save that writes it with other files.
std::optional<std::string> EncodeFigurePicture(const Figure& figure, const std::string& path, std::string& encoded);

}  // namespace kalvex::plots
