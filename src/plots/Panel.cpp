#include "plots/Panel.h"

#include <algorithm>
#include <cmath>

#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

constexpr double kTick = 80;         // tick length, twips
constexpr double kTextHeight = 180;  // a line of label text, twips

}  // namespace

std::vector<double> RoundTicks(double low, double high, int target, double smallestStep) {
  if (!(high > low) || target < 1) return {low};
  const double raw = (high - low) / target;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double ratio = raw / magnitude;
  double step = magnitude * (ratio < 1.5 ? 1 : ratio < 3.5 ? 2 : ratio < 7.5 ? 5 : 10);
  step = std::max(step, smallestStep);
  std::vector<double> ticks;
  const auto first = static_cast<long long>(std::ceil(low / step - 1e-9));
  const auto last = static_cast<long long>(std::floor(high / step + 1e-9));
  for (long long k = first; k <= last; ++k) ticks.push_back(static_cast<double>(k) * step + 0.0);  // never -0
  return ticks;
}

std::string TickText(double value, double step) {
  int decimals = 0;
  if (step > 0 && step < 1) decimals = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  return FormatNumber(value, decimals == 0 ? "0" : "0." + std::string(decimals, '0'));
}

PanelBox PlotArea(double width, double height) { return {1000, 900, width - 300, height - 650}; }

Panel::Panel(Figure& figure, PanelBox box, AxisRange x, AxisRange y) : figure_(figure), box_(box), x_(x), y_(y) {
  if (!(x_.high > x_.low)) x_ = {x_.low - 1, x_.low + 1};
  if (!(y_.high > y_.low)) y_ = {y_.low - 1, y_.low + 1};
}

double Panel::X(double x) const { return box_.left + (x - x_.low) * (box_.right - box_.left) / (x_.high - x_.low); }

double Panel::Y(double y) const { return box_.bottom - (y - y_.low) * (box_.bottom - box_.top) / (y_.high - y_.low); }

void Panel::Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke) {
  figure_.items.push_back({FigureItem::Kind::Segment, X(x1), Y(y1), X(x2), Y(y2), 0, colour, stroke});
}

void Panel::Polyline(std::span<const double> xs, std::span<const double> ys, int colour, Stroke stroke) {
  for (std::size_t k = 1; k < xs.size() && k < ys.size(); ++k)
    Segment(xs[k - 1], ys[k - 1], xs[k], ys[k], colour, stroke);
}

void Panel::Disc(double x, double y, int colour, double radiusTwips) {
  figure_.items.push_back({FigureItem::Kind::Disc, X(x), Y(y), X(x), Y(y), radiusTwips, colour, Stroke::Solid});
}

void Panel::Fill(double x1, double y1, double x2, double y2, int colour, bool pale) {
  auto clampX = [this](double t) { return std::clamp(t, box_.left, box_.right); };
  auto clampY = [this](double t) { return std::clamp(t, box_.top, box_.bottom); };
  const double left = clampX(std::min(X(x1), X(x2))), right = clampX(std::max(X(x1), X(x2)));
  const double top = clampY(std::min(Y(y1), Y(y2))), bottom = clampY(std::max(Y(y1), Y(y2)));
  if (right <= left || bottom <= top) return;
  FigureItem item{FigureItem::Kind::Box, left, top, right, bottom, 0, colour, Stroke::Solid};
  item.pale = pale;
  figure_.items.push_back(item);
}

void Panel::Column(double x1, double x2, int colour) { Fill(x1, y_.low, x2, y_.high, colour, true); }

void Panel::Level(double y, int colour, Stroke stroke) { Segment(x_.low, y, x_.high, y, colour, stroke); }

void Panel::Frame(std::span<const double> xTicks, std::span<const double> yTicks) {
  const PanelBox& b = box_;
  auto line = [this](double x1, double y1, double x2, double y2) {
    figure_.items.push_back({FigureItem::Kind::Segment, x1, y1, x2, y2, 0, kBlack, Stroke::Solid});
  };
  line(b.left, b.top, b.right, b.top);
  line(b.right, b.top, b.right, b.bottom);
  line(b.right, b.bottom, b.left, b.bottom);
  line(b.left, b.bottom, b.left, b.top);
  const double xStep = xTicks.size() > 1 ? xTicks[1] - xTicks[0] : 1;
  const double yStep = yTicks.size() > 1 ? yTicks[1] - yTicks[0] : 1;
  for (double t : xTicks) {
    line(X(t), b.bottom, X(t), b.bottom + kTick);
    figure_.texts.push_back(
        {"tick", TickText(t, xStep), X(t), b.bottom + kTick + 20, kBlack, FigureText::Align::Centre});
  }
  for (double t : yTicks) {
    line(b.left - kTick, Y(t), b.left, Y(t));
    figure_.texts.push_back(
        {"tick", TickText(t, yStep), b.left - kTick - 40, Y(t) - kTextHeight / 2, kBlack, FigureText::Align::Right});
  }
}

void Panel::Titles(const std::string& title, const std::string& subtitle, const std::string& xTitle,
                   const std::string& yTitle) {
  const PanelBox& b = box_;
  const double centre = (b.left + b.right) / 2;
  using Align = FigureText::Align;
  figure_.texts.push_back({"title", title, centre, b.top - 3.4 * kTextHeight, kBlack, Align::Centre});
  figure_.texts.push_back({"subtitle", subtitle, centre, b.top - 2.3 * kTextHeight, kBlack, Align::Centre});
  figure_.texts.push_back({"ytitle", yTitle, 120, b.top - 1.2 * kTextHeight, kBlack, Align::Left});
  figure_.texts.push_back({"xtitle", xTitle, centre, b.bottom + kTick + 1.3 * kTextHeight, kBlack, Align::Centre});
}

void Panel::Note(const std::string& name, const std::string& text, double x, double y, int colour) {
  figure_.texts.push_back({name, text, X(x), Y(y), colour, FigureText::Align::Left});
}

Figure Arrange(std::span<const Figure> panels, int columns) {
  Figure all;
  if (panels.empty() || columns < 1) return all;
  const double width = panels[0].width, height = panels[0].height;
  const int count = static_cast<int>(panels.size());
  const int rows = (count + columns - 1) / columns;
  all.width = width * std::min(count, columns);
  all.height = height * rows;
  for (int k = 0; k < count; ++k) {
    const double dx = width * (k % columns), dy = height * (k / columns);
    for (FigureItem item : panels[k].items) {
      item.x1 += dx, item.x2 += dx, item.y1 += dy, item.y2 += dy;
      all.items.push_back(item);
    }
    for (FigureText text : panels[k].texts) {
      text.left += dx, text.top += dy;
      all.texts.push_back(text);
    }
  }
  return all;
}

}  // namespace kalvex::plots
