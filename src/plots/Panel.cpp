#include "plots/Panel.h"

#include <algorithm>
#include <cmath>

#include "workspace/Format.h"

namespace kalvex::plots {
namespace {

constexpr double kTick = 80;  // tick length, twips

struct Rect {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  bool Meets(const Rect& o, double margin) const {
    return left < o.right + margin && o.left < right + margin && top < o.bottom + margin && o.top < bottom + margin;
  }
};

Rect TextRect(const FigureText& text) {
  const double width = TextWidth(text.text);
  const double lines = 1 + static_cast<double>(std::count(text.text.begin(), text.text.end(), '\n'));
  double left = text.left;
  if (text.align == FigureText::Align::Centre) left -= width / 2;
  if (text.align == FigureText::Align::Right) left -= width;
  return {left, text.top, left + width, text.top + lines * kLineHeight};
}

bool Crowded(const Figure& figure, const FigureText& text) {
  const Rect box = TextRect(text);
  for (const FigureText& other : figure.texts)
    if (!other.text.empty() && TextRect(other).Meets(box, 40)) return true;
  return false;
}

// How much of what is drawn a legend at r would hide: points along lines,
// markers, and solid boxes (bars, cells) it touches.
int Hidden(const Figure& figure, const Rect& r) {
  int hidden = 0;
  for (const FigureItem& item : figure.items) {
    switch (item.kind) {
      case FigureItem::Kind::Segment:
        for (int k = 0; k <= 8; ++k)
          hidden += r.Contains(item.x1 + (item.x2 - item.x1) * k / 8, item.y1 + (item.y2 - item.y1) * k / 8);
        break;
      case FigureItem::Kind::Box:
        hidden += !item.pale && item.colour != kWhite &&
                  r.Meets({std::min(item.x1, item.x2), std::min(item.y1, item.y2), std::max(item.x1, item.x2),
                           std::max(item.y1, item.y2)},
                          0);
        break;
      default:
        hidden += r.Contains(item.x1, item.y1);
    }
  }
  return hidden;
}

}  // namespace

std::vector<double> RoundTicks(double low, double high, int target, double smallestStep) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {};
  if (low > high) std::swap(low, high);
  if (!(high > low) || target < 1) return {low};
  const double raw = (high - low) / target;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 0, bestScore = 0;
  long long first = 0, last = -1;
  for (double scale : {magnitude / 10, magnitude, magnitude * 10})
    for (double factor : {1.0, 2.0, 5.0}) {
      const double candidate = std::max(scale * factor, smallestStep);
      const auto from = static_cast<long long>(std::ceil(low / candidate - 1e-9));
      const auto to = static_cast<long long>(std::floor(high / candidate + 1e-9));
      const long long count = to - from + 1;
      // Four to eight ticks first, then the nearest to target; on a tie the larger step.
      const double score = count < 4   ? 100.0 + static_cast<double>(4 - count)
                           : count > 8 ? 100.0 + static_cast<double>(count - 8)
                                       : std::fabs(static_cast<double>(count - target));
      if (step == 0 || score < bestScore || (score == bestScore && candidate > step)) {
        step = candidate, bestScore = score, first = from, last = to;
      }
    }
  std::vector<double> ticks;
  for (long long k = first; k <= last; ++k) ticks.push_back(static_cast<double>(k) * step + 0.0);  // never -0
  return ticks;
}

std::vector<std::string> TickTexts(std::span<const double> values) {
  double largest = 0, step = 0;
  for (std::size_t k = 0; k < values.size(); ++k) {
    largest = std::max(largest, std::fabs(values[k]));
    if (k > 0) step = std::max(step, std::fabs(values[k] - values[k - 1]));
  }
  std::vector<std::string> texts;
  if (largest >= 1e6 || (step > 0 && step < 1e-5)) {
    for (double value : values) texts.push_back(FormatNumber(value, "0.0##E+00"));
    return texts;
  }
  // Decimals enough that every value shows as it is, or to a twentieth of
  // the spacing.
  int decimals = 0;
  for (; decimals < 6; ++decimals) {
    const double unit = std::pow(10.0, -decimals);
    if (step > 0 && unit <= step / 20) break;
    bool exact = true;
    for (double value : values) exact = exact && std::fabs(value / unit - std::nearbyint(value / unit)) < 1e-6;
    if (exact) break;
  }
  const std::string pattern = decimals == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(decimals), '0');
  for (double value : values) {
    std::string text = FormatNumber(value, pattern);
    if (decimals == 0 && !text.empty() && text.back() == '.') text.pop_back();
    if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);  // no "-0.00"
    texts.push_back(text);
  }
  return texts;
}

std::string SignificantText(double value) {
  const double size = std::fabs(value);
  if (value == 0 || !std::isfinite(value)) return FormatNumber(value, "0");
  if (size >= 1e6 || size < 1e-4) return FormatNumber(value, "0.000E+00");
  const int decimals = std::clamp(3 - static_cast<int>(std::floor(std::log10(size))), 0, 8);
  return FormatNumber(value, decimals == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(decimals), '0'));
}

double TextWidth(std::string_view text) {
  // Advances in ems of a sans-serif face of the Arial metrics.
  auto advance = [](unsigned char c) {
    if (c >= '0' && c <= '9') return 0.556;
    if (std::string_view(" .,:;!|'ijl").find(static_cast<char>(c)) != std::string_view::npos) return 0.278;
    if (std::string_view("ftrI[]()-/").find(static_cast<char>(c)) != std::string_view::npos) return 0.333;
    if (std::string_view("mwMW%@").find(static_cast<char>(c)) != std::string_view::npos) return 0.9;
    if (c >= 'A' && c <= 'Z') return 0.722;
    if (c >= 0x80) return 0.6;
    return 0.584;
  };
  double widest = 0, line = 0;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      widest = std::max(widest, line);
      line = 0;
    } else if (c < 0x80 || c >= 0xC0) {  // a UTF-8 continuation byte adds nothing
      line += advance(c);
    }
  }
  return 1.05 * kTextSize * std::max(widest, line);
}

PanelBox PlotArea(double width, double height) { return {1000, 900, width - 300, height - 650}; }

Panel::Panel(Figure& figure, PanelBox box, AxisRange x, AxisRange y) : figure_(figure), box_(box), x_(x), y_(y) {
  auto widen = [](AxisRange& r) {
    if (!(r.high != r.low) || !std::isfinite(r.high - r.low)) r = {r.low - 1, r.low + 1};
  };
  widen(x_);
  widen(y_);
}

double Panel::X(double x) const { return box_.left + (x - x_.low) * (box_.right - box_.left) / (x_.high - x_.low); }

double Panel::Y(double y) const { return box_.bottom - (y - y_.low) * (box_.bottom - box_.top) / (y_.high - y_.low); }

void Panel::Line(double x1, double y1, double x2, double y2, int colour, Stroke stroke) {
  figure_.items.push_back({FigureItem::Kind::Segment, x1, y1, x2, y2, 0, colour, stroke});
}

void Panel::Segment(double x1, double y1, double x2, double y2, int colour, Stroke stroke) {
  Line(X(x1), Y(y1), X(x2), Y(y2), colour, stroke);
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

void Panel::Upright(double x, int colour, Stroke stroke) { Segment(x, y_.low, x, y_.high, colour, stroke); }

void Panel::Frame(std::span<const double> xTicks, std::span<const double> yTicks) {
  const PanelBox& b = box_;
  Line(b.left, b.top, b.right, b.top);
  Line(b.right, b.top, b.right, b.bottom);
  Line(b.right, b.bottom, b.left, b.bottom);
  Line(b.left, b.bottom, b.left, b.top);
  Ticks(xTicks, yTicks);
}

void Panel::Ticks(std::span<const double> xTicks, std::span<const double> yTicks) {
  const PanelBox& b = box_;
  using Align = FigureText::Align;
  auto label = [this](FigureText text) {
    if (!Crowded(figure_, text)) figure_.texts.push_back(std::move(text));
  };
  const std::vector<std::string> xTexts = TickTexts(xTicks), yTexts = TickTexts(yTicks);
  for (std::size_t k = 0; k < xTicks.size(); ++k) {
    const double x = X(xTicks[k]);
    Line(x, b.bottom, x, b.bottom + kTick);
    label({"tick", xTexts[k], x, b.bottom + kTick + 20, kBlack, Align::Centre});
  }
  for (std::size_t k = 0; k < yTicks.size(); ++k) {
    const double y = Y(yTicks[k]);
    Line(b.left - kTick, y, b.left, y);
    label({"tick", yTexts[k], b.left - kTick - 40, y - kLineHeight / 2, kBlack, Align::Right});
  }
}

void Panel::Titles(const std::string& title, const std::string& subtitle, const std::string& xTitle,
                   const std::string& yTitle) {
  const PanelBox& b = box_;
  const double centre = (b.left + b.right) / 2;
  using Align = FigureText::Align;
  figure_.texts.push_back({"title", title, centre, b.top - 3.4 * kLineHeight, kBlack, Align::Centre});
  figure_.texts.push_back({"subtitle", subtitle, centre, b.top - 2.3 * kLineHeight, kBlack, Align::Centre});
  figure_.texts.push_back({"ytitle", yTitle, std::min(120.0, b.left), b.top - 1.2 * kLineHeight, kBlack, Align::Left});
  figure_.texts.push_back({"xtitle", xTitle, centre, b.bottom + kTick + 1.3 * kLineHeight, kBlack, Align::Centre});
}

void Panel::Note(const std::string& name, const std::string& text, double x, double y, int colour) {
  figure_.texts.push_back({name, text, X(x), Y(y), colour, FigureText::Align::Left});
}

namespace {
constexpr double kPad = 70, kSample = 300, kInset = 80;  // legend box, twips
}  // namespace

double Panel::LegendRoom(std::size_t count) { return static_cast<double>(count) * kLineHeight + 2 * kPad + 2 * kInset; }

int Panel::Legend(std::span<const LegendKey> keys, LegendPlace place) {
  if (keys.empty()) return 0;
  double widest = 0;
  for (const LegendKey& key : keys) widest = std::max(widest, TextWidth(key.label));
  const double width = kPad + kSample + kPad + widest + kPad;
  const double height = static_cast<double>(keys.size()) * kLineHeight + 2 * kPad;
  const PanelBox& b = box_;
  Rect at{b.right + 150, b.top, b.right + 150 + width, b.top + height};
  int fewest = 0;
  if (place == LegendPlace::Inside) {
    const double left = b.left + kInset, right = b.right - kInset - width;
    const double top = b.top + kInset, bottom = b.bottom - kInset - height;
    fewest = -1;
    // Top right first: on a tie the usual place.
    for (auto [x, y] : {std::pair{right, top}, {left, top}, {right, bottom}, {left, bottom}}) {
      const Rect candidate{x, y, x + width, y + height};
      const int hidden = Hidden(figure_, candidate);
      if (fewest < 0 || hidden < fewest) fewest = hidden, at = candidate;
    }
  }
  FigureItem back{FigureItem::Kind::Box, at.left, at.top, at.right, at.bottom, 0, kWhite, Stroke::Solid};
  figure_.items.push_back(back);
  Line(at.left, at.top, at.right, at.top, kGrey);
  Line(at.right, at.top, at.right, at.bottom, kGrey);
  Line(at.right, at.bottom, at.left, at.bottom, kGrey);
  Line(at.left, at.bottom, at.left, at.top, kGrey);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const LegendKey& key = keys[k];
    const double top = at.top + kPad + kLineHeight * static_cast<double>(k), middle = top + kLineHeight / 2;
    const double left = at.left + kPad, centre = left + kSample / 2;
    using Marker = LegendKey::Marker;
    if (key.marker == Marker::Box || key.marker == Marker::Shade) {
      FigureItem box{FigureItem::Kind::Box, left, middle - 60, left + kSample, middle + 60, 0, key.colour, Stroke::Solid};
      box.pale = key.marker == Marker::Shade;
      figure_.items.push_back(box);
    }
    if (key.line) Line(left, middle, left + kSample, middle, key.colour, key.stroke);
    if (key.marker == Marker::Disc || key.marker == Marker::Circle) {
      const auto kind = key.marker == Marker::Disc ? FigureItem::Kind::Disc : FigureItem::Kind::Circle;
      figure_.items.push_back({kind, centre, middle, centre, middle, 40, key.colour, Stroke::Solid});
    }
    figure_.texts.push_back({"legend", key.label, left + kSample + kPad, top, kBlack, FigureText::Align::Left});
  }
  return fewest;
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
