#include "plots/XYPlotFigure.h"

#include <cmath>
#include <vector>

#include "plots/Panel.h"

namespace kalvex::plots {
namespace {

bool SameRange(const PlotRange& a, const PlotRange& b) {
  return a.xMin == b.xMin && a.xMax == b.xMax && a.yMin == b.yMin && a.yMax == b.yMax;
}

bool Whole(double value) { return std::nearbyint(value) == value; }

void WindowAxes(Figure& figure) {
  auto line = [&](double x1, double y1, double x2, double y2) {
    figure.items.push_back({DrawItem::Kind::Segment, x1, y1, x2, y2, 0, kBlack, Stroke::Solid});
  };
  line(kPlotLeft, kPlotTop, kPlotLeft, kPlotBottom);
  line(kPlotLeft, kPlotBottom, kPlotRight, kPlotBottom);
}

void WindowTickMarks(Figure& figure) {
  for (int i = 0; i <= 9; ++i) {
    figure.items.push_back({DrawItem::Kind::Segment, kPlotLeft, kPlotTop + 624 * i, kPlotLeft + 100,
                            kPlotTop + 624 * i, 0, kBlack, Stroke::Solid});
    figure.items.push_back({DrawItem::Kind::Segment, kPlotRight - 648 * i, kPlotBottom, kPlotRight - 648 * i,
                            kPlotBottom - 100, 0, kBlack, Stroke::Solid});
  }
}

}  // namespace

Figure XYPlotFigure(const XYPlot& plot, FigureUse use, const std::string& yTitle) {
  Figure figure = BlankFigure(kSurfaceWidth, kSurfaceHeight);
  WindowAxes(figure);
  if (use == FigureUse::Screen) WindowTickMarks(figure);
  figure.items.insert(figure.items.end(), plot.Items().begin(), plot.Items().end());
  const std::vector<LegendEntry>& legend = plot.Legend();
  if (legend.empty()) return figure;  // no series, no ranges to label

  // Along the time counter the X axis shows label values, otherwise X values.
  const PlotRange& r = plot.LastRange();
  const bool timeCounter = plot.XChoice() == 0;
  const AxisRange x = timeCounter ? AxisRange{r.xStartLabel, r.xEndLabel} : AxisRange{r.xMin, r.xMax};
  Panel panel(figure, {kPlotLeft, kPlotTop, kPlotRight, kPlotBottom}, x, {r.yMin, r.yMax});
  if (use == FigureUse::Screen) {
    using Align = FigureText::Align;
    const double below = kPlotBottom + 100;
    figure.texts.push_back({"lblXStart", plot.Labels().xStart, panel.X(x.low), below, kBlack, Align::Centre});
    figure.texts.push_back({"lblXEnd", plot.Labels().xEnd, panel.X(x.high), below, kBlack, Align::Centre});
  }
  const double smallestStep = timeCounter && Whole(x.low) && Whole(x.high) ? 1 : 0;
  panel.Ticks(RoundTicks(x.low, x.high, 6, smallestStep), RoundTicks(r.yMin, r.yMax, 6));

  const XYPlotData& data = plot.Data();
  const std::string xTitle = timeCounter ? data.xLabel : data.seriesLabels.at(plot.XChoice());
  panel.Titles("", "", xTitle, !yTitle.empty() ? yTitle : legend.size() == 1 ? legend[0].label : "Y variate");
  if (legend.size() < 2) return figure;
  std::vector<LegendKey> keys;
  for (const LegendEntry& entry : legend) {
    // A series drawn on other limits than the axes show is labelled so.
    std::string label = entry.label + (SameRange(entry.range, r) ? "" : " (own scale)");
    keys.push_back({label, entry.colour, entry.lines, Stroke::Solid,
                    entry.points ? LegendKey::Marker::Circle : LegendKey::Marker::None});
  }
  panel.Legend(keys);
  return figure;
}

Figure SummaryPlotFigure(const XYPlotData& data) {
  const Figure panels[] = {XYPlotFigure(OverlayPlot(data, {1, 2, 3}), FigureUse::File, "ln[Harvest rate index]"),
                           XYPlotFigure(OverlayPlot(data, {4, 5, 6}), FigureUse::File, "Harvest rate index")};
  return Arrange(panels, 2);
}

}  // namespace kalvex::plots
