#pragma once
// The x-y plot's pictures for files and checks: its figure for a file
// (XYPlotFigure) replayed by the figure painter.
#include <QImage>
#include <QSize>

#include <optional>
#include <string>
#include <vector>

#include "plots/XYPlot.h"
#include "plots/qt/FigurePainter.h"

namespace kalvex::plots {

// 15 twips to a pixel, as on a 96 dpi screen: 504 x 480 pixels.
QSize DefaultPictureSize();

// The plot as an image; several side by side, each options.size (or the
// default size) wide.
QImage RenderXYPlot(const XYPlot& plot, const PictureOptions& options = {});
QImage RenderXYPlotPanels(const std::vector<const XYPlot*>& panels, const PictureOptions& options = {});

// Writes the plot, or several side by side, as a picture chosen by the
// file's extension (PNG, SVG or PDF); the reason on failure. An existing
// file is only replaced by a complete new one.
std::optional<std::string> SaveXYPlotPicture(const XYPlot& plot, const std::string& path,
                                             const PictureOptions& options = {.antialias = true});
std::optional<std::string> SaveXYPlotPanels(const std::vector<const XYPlot*>& panels, const std::string& path,
                                            const PictureOptions& options = {.antialias = true});

// The results summary's picture (SummaryPlotFigure) as its file content.
// Works without a running GUI (an offscreen one is started when needed).
std::optional<std::string> EncodeSummaryPlotPicture(const XYPlotData& data, const std::string& path,
                                                    std::string& encoded);

}  // namespace kalvex::plots
