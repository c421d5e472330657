#pragma once
// Paints a plot's figure with QPainter: the figure's twips scaled onto the
// target at their own proportions, so a window, an image, an SVG and a PDF
// show the same primitives and texts.
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

struct PictureOptions {
  QSize size = QSize();    // pixels of an image; empty: 15 twips to a pixel
  bool antialias = false;  // exact pixels for checks; files switch it on
  bool axisTexts = true;   // the figure's texts (labels, ticks, titles, legend)
};

// Fills target white and paints the figure into it, centred at its own
// proportions.
void PaintFigure(QPainter& painter, const QRect& target, const Figure& figure, bool texts = true);

// The figure as an image on white.
QImage RenderFigure(const Figure& figure, const PictureOptions& options = {});

// The picture's file content for path into encoded, chosen by its
// extension: ".svg" a scalable drawing (when built with Qt SVG), ".pdf" a
// one-page PDF of the figure's size (20 twips to a point), anything else a
// PNG image (options.size, antialiased). The reason when it cannot be made.
std::optional<std::string> EncodeFigurePicture(const Figure& figure, const std::string& path, std::string& encoded,
                                               const PictureOptions& options = {.antialias = true});

// Writes that picture; an existing file is only replaced by a complete one.
std::optional<std::string> SaveFigurePicture(const Figure& figure, const std::string& path,
                                             const PictureOptions& options = {.antialias = true});

// Whether SVG pictures are built in.
bool SvgPictureAvailable();

// The picture formats a save offers, as a file dialog's filter:
// description and pattern pairs separated by "|", PNG first.
std::string PictureFileFilter();

}  // namespace kalvex::plots
