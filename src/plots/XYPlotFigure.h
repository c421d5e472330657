#pragma once
// The x-y plot's pictures: its two axes, the series drawn since Clear, round
// labelled ticks on both axes, the axis titles and a legend when several
// series are drawn. On screen the window's ten tick marks per axis and its
// X start and end labels at the axis ends stay.
#include <string>

#include "plots/Figure.h"
#include "plots/XYPlot.h"

namespace kalvex::plots {

// yTitle empty: the series' label when one is drawn, else "Y variate".
Figure XYPlotFigure(const XYPlot& plot, FigureUse use, const std::string& yTitle = "");

// The results summary's six series as one picture: the three ln series
// overlaid on the left, the three untransformed ones on the right.
Figure SummaryPlotFigure(const XYPlotData& data);

}  // namespace kalvex::plots
