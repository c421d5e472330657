#pragma once
// Paints an x-y plot's picture with QPainter. The painter gets a window in
// twips (the drawing area's own coordinates), so the primitives are replayed
// exactly as the plot logic placed them, on a widget, an image or an SVG.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "plots/XYPlot.h"

class QPainter;

namespace kalvex::plots {

// 15 twips to a pixel, as on a 96 dpi screen: 504 x 480 pixels.
QSize DefaultPictureSize();

struct PictureOptions {
  QSize size = DefaultPictureSize();
  bool antialias = false;  // exact pixels for checks; exports switch it on
  bool axisTexts = true;   // range and axis label values around the plot
};

// Fills target white and paints the picture into it.
void PaintXYPlot(QPainter& painter, const QRect& target, const XYPlot& plot, bool axisTexts);

// The plot as an image of options.size pixels on white.
QImage RenderXYPlot(const XYPlot& plot, const PictureOptions& options = {});

// Several plots side by side, each options.size wide.
QImage RenderXYPlotPanels(const std::vector<const XYPlot*>& panels, const PictureOptions& options = {});

// Writes the plot as a picture chosen by the file's extension: ".svg" gives
// a scalable drawing (when built with Qt SVG), anything else a PNG image.
// Returns the reason on failure; an existing file is only replaced by a
// complete new one.
std::optional<std::string> SaveXYPlotPicture(const XYPlot& plot, const std::string& path,
                                             const PictureOptions& options = {.antialias = true});

std::optional<std::string> SaveXYPlotPanels(const std::vector<const XYPlot*>& panels, const std::string& path,
                                            const PictureOptions& options = {.antialias = true});

// The picture's file content as SaveXYPlotPanels would write it, into
// encoded; the reason when it cannot be made.
std::optional<std::string> EncodeXYPlotPanels(const std::vector<const XYPlot*>& panels, const std::string& path,
                                              std::string& encoded,
                                              const PictureOptions& options = {.antialias = true});

// The results summary's six series as one picture: the three ln series
// overlaid on the left, the three untransformed ones on the right. Works
// without a running GUI (an offscreen one is started when needed).
std::optional<std::string> SaveSummaryPlotPicture(const XYPlotData& data, const std::string& path);
// Its file content only, for a save that writes it with other files.
std::optional<std::string> EncodeSummaryPlotPicture(const XYPlotData& data, const std::string& path,
                                                    std::string& encoded);

// Whether SVG export is built in.
bool SvgPictureAvailable();

}  // namespace kalvex::plots
