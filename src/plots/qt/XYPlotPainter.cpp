#include "plots/qt/XYPlotPainter.h"

#include <algorithm>
#include <optional>

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include "plots/qt/OffscreenApplication.h"
#include "workspace/TextFile.h"

#ifdef KALVEX_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace kalvex::plots {
namespace {

QColor ToColor(int index) {
  Rgb c = PaletteColour(index);
  return QColor(c.r, c.g, c.b);
}

Qt::PenStyle ToPenStyle(Stroke stroke) {
  switch (stroke) {
    case Stroke::Dash: return Qt::DashLine;
    case Stroke::Dot: return Qt::DotLine;
    case Stroke::Solid: break;
  }
  return Qt::SolidLine;
}

// Where the twips of the drawing area land on the target: the whole
// surface stretched over it, or (with axis texts) the plot area inside
// margins that leave room for the tick labels, the axis title and the
// legend.
struct Mapping {
  QRectF plot;  // the plot area (twips 720..7200 x 480..6720) in pixels
  double sx = 1, sy = 1;  // pixels per twip
  QPointF Map(double x, double y) const {
    return {plot.left() + (x - kPlotLeft) * sx, plot.top() + (y - kPlotTop) * sy};
  }
};

Mapping SurfaceMapping(const QRectF& target) {
  Mapping m;
  m.sx = target.width() / kSurfaceWidth;
  m.sy = target.height() / kSurfaceHeight;
  m.plot = QRectF(target.left() + kPlotLeft * m.sx, target.top() + kPlotTop * m.sy,
                  (kPlotRight - kPlotLeft) * m.sx, (kPlotBottom - kPlotTop) * m.sy);
  return m;
}

void PaintItem(QPainter& painter, const Mapping& m, const DrawItem& item) {
  QPen pen(ToColor(item.colour));
  pen.setCosmetic(true);
  pen.setWidth(item.kind == DrawItem::Kind::Dot ? 2 : 1);
  pen.setStyle(ToPenStyle(item.stroke));
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  switch (item.kind) {
    case DrawItem::Kind::Segment:
      painter.drawLine(m.Map(item.x1, item.y1), m.Map(item.x2, item.y2));
      break;
    case DrawItem::Kind::Circle: {
      // Round whatever the target's aspect: one radius on the smaller scale.
      const double radius = std::max(2.0, item.radius * std::min(m.sx, m.sy));
      painter.drawEllipse(m.Map(item.x1, item.y1), radius, radius);
      break;
    }
    case DrawItem::Kind::Dot:
      painter.drawPoint(m.Map(item.x1, item.y1));
      break;
  }
}

// The texts around the plot, measured once for the layout and the painting.
class AxisTexts {
 public:
  AxisTexts(const XYPlot& plot, const QRectF& target)
      : plot_(plot), xTicks_(plot.XTicks()), yTicks_(plot.YTicks()) {
    // A small screen font that grows a little with a large picture.
    font_.setPixelSize(std::clamp(int(std::min(target.width(), target.height()) / 40), 10, 13));
    metrics_ = QFontMetricsF(font_);
    xTitle_ = QString::fromStdString(plot.XChoice() == 0 ? plot.Data().xLabel
                                                          : plot.Data().seriesLabels.at(plot.XChoice()));
  }

  // The plot area inside target, leaving room for every text.
  Mapping Layout(const QRectF& target) {
    // Room for the usual label at least, so that the plot does not move
    // sideways from one series to the next.
    double widest = Width("-0.0000");
    for (const AxisTick& tick : yTicks_) widest = std::max(widest, Width(tick.text));
    const double lastX = xTicks_.empty() ? 0 : Width(xTicks_.front().text);
    const double left = std::max(widest + kGap * 2, 24.0);
    const double right = std::max(lastX / 2, metrics_.height() / 2) + kGap;
    const double bottom = 2 * metrics_.height() + 3 * kGap;
    legendLines_ = LegendLines(target.width() - left - right);
    const double top = std::max(legendLines_.size() * metrics_.height() + 2 * kGap, metrics_.height() / 2 + kGap);
    QRectF plot = target.adjusted(left, top, -right, -bottom);
    if (plot.width() < 20 || plot.height() < 20) return SurfaceMapping(target);  // too small for texts
    Mapping m;
    m.plot = plot;
    m.sx = plot.width() / (kPlotRight - kPlotLeft);
    m.sy = plot.height() / (kPlotBottom - kPlotTop);
    return m;
  }

  void Paint(QPainter& painter, const Mapping& m) {
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const double h = metrics_.height();
    for (const AxisTick& tick : yTicks_) {
      QPointF at = m.Map(kPlotLeft, tick.twips);
      painter.drawText(QRectF(at.x() - kGap - 1000, at.y() - h / 2, 1000, h), Qt::AlignRight | Qt::AlignVCenter,
                       Q(tick.text));
    }
    // Every other X label when they would touch; both ends always show.
    double widest = 0;
    for (const AxisTick& tick : xTicks_) widest = std::max(widest, Width(tick.text));
    const int every = widest + 2 * kGap > m.plot.width() / 10 ? 2 : 1;
    for (std::size_t i = 0; i < xTicks_.size(); i += every) {
      QPointF at = m.Map(xTicks_[i].twips, kPlotBottom);
      painter.drawText(QRectF(at.x() - 500, at.y() + kGap, 1000, h), Qt::AlignHCenter | Qt::AlignTop,
                       Q(xTicks_[i].text));
    }
    if (!xTicks_.empty())
      painter.drawText(QRectF(m.plot.left(), m.plot.bottom() + kGap * 2 + h, m.plot.width(), h),
                       Qt::AlignHCenter | Qt::AlignTop, xTitle_);
    PaintLegend(painter, m);
  }

 private:
  static constexpr double kGap = 4;
  static constexpr double kSwatch = 22;  // the sample line before a label
  static QString Q(const std::string& text) { return QString::fromStdString(text); }
  double Width(const std::string& text) const { return metrics_.horizontalAdvance(Q(text)); }
  double EntryWidth(const LegendEntry& entry) const { return kSwatch + kGap + Width(entry.label); }

  // The legend's entries broken into lines no wider than width.
  std::vector<std::vector<const LegendEntry*>> LegendLines(double width) const {
    std::vector<std::vector<const LegendEntry*>> lines;
    double x = 0;
    for (const LegendEntry& entry : plot_.Legend()) {
      double w = EntryWidth(entry);
      if (lines.empty() || (x > 0 && x + w > width)) {
        lines.emplace_back();
        x = 0;
      }
      lines.back().push_back(&entry);
      x += w + 3 * kGap;
    }
    return lines;
  }

  // A sample of each drawn series' line and point in its colour, then its
  // label in black (light colours would not read as text).
  void PaintLegend(QPainter& painter, const Mapping& m) {
    const double h = metrics_.height();
    double y = m.plot.top() - kGap - h * legendLines_.size();
    for (const auto& line : legendLines_) {
      double x = m.plot.left();
      for (const LegendEntry* entry : line) {
        // White would vanish on the page: the fifteenth plot's black stays black.
        QPen pen(ToColor(entry->colour == kWhite ? kBlack : entry->colour));
        pen.setCosmetic(true);
        pen.setWidth(2);
        painter.setPen(pen);
        const double mid = y + h / 2;
        painter.drawLine(QPointF(x, mid), QPointF(x + kSwatch, mid));
        painter.drawEllipse(QPointF(x + kSwatch / 2, mid), 2.5, 2.5);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + kSwatch + kGap, y, Width(entry->label) + 2, h), Qt::AlignLeft | Qt::AlignVCenter,
                         Q(entry->label));
        x += EntryWidth(*entry) + 3 * kGap;
      }
      y += h;
    }
  }

  const XYPlot& plot_;
  std::vector<AxisTick> xTicks_, yTicks_;
  QFont font_;
  QFontMetricsF metrics_{QFont()};
  QString xTitle_;
  std::vector<std::vector<const LegendEntry*>> legendLines_;
};

}  // namespace

QSize DefaultPictureSize() { return QSize(int(kSurfaceWidth / 15), int(kSurfaceHeight / 15)); }

void PaintXYPlot(QPainter& painter, const QRect& target, const XYPlot& plot, bool axisTexts) {
  painter.save();
  painter.fillRect(target, Qt::white);
  std::optional<AxisTexts> texts;
  if (axisTexts) texts.emplace(plot, QRectF(target));
  const Mapping mapping = texts ? texts->Layout(QRectF(target)) : SurfaceMapping(QRectF(target));
  for (const DrawItem& item : plot.Picture()) PaintItem(painter, mapping, item);
  if (texts) texts->Paint(painter, mapping);
  painter.restore();
}

QImage RenderXYPlot(const XYPlot& plot, const PictureOptions& options) {
  return RenderXYPlotPanels({&plot}, options);
}

QImage RenderXYPlotPanels(const std::vector<const XYPlot*>& panels, const PictureOptions& options) {
  EnsureGuiApplication();
  const int count = std::max<int>(1, static_cast<int>(panels.size()));
  QImage image(options.size.width() * count, options.size.height(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, options.antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, options.antialias);
  for (int k = 0; k < static_cast<int>(panels.size()); ++k)
    PaintXYPlot(painter, QRect(QPoint(k * options.size.width(), 0), options.size), *panels[k], options.axisTexts);
  painter.end();
  return image;
}

bool SvgPictureAvailable() {
#ifdef KALVEX_HAVE_SVG
  return true;
#else
  return false;
#endif
}

std::optional<std::string> SaveXYPlotPicture(const XYPlot& plot, const std::string& path,
                                             const PictureOptions& options) {
  return SaveXYPlotPanels({&plot}, path, options);
}

std::optional<std::string> SaveXYPlotPanels(const std::vector<const XYPlot*>& panels, const std::string& path,
                                            const PictureOptions& options) {
  std::string bytes;
  if (std::optional<std::string> error = EncodeXYPlotPanels(panels, path, bytes, options)) return error;
  // The core's writer rather than QSaveFile: QSaveFile puts a plain file in
  // place of a pipe or (run as root) a device such as /dev/full, and as root
  // widens a read-only file's permissions; the core's writer keeps them.
  return SaveTextFile(path, bytes);
}

std::optional<std::string> EncodeXYPlotPanels(const std::vector<const XYPlot*>& panels, const std::string& path,
                                              std::string& encoded, const PictureOptions& options) {
  EnsureGuiApplication();
  const QString fileName = QString::fromStdString(path);
  const int count = std::max<int>(1, static_cast<int>(panels.size()));
  const QSize size(options.size.width() * count, options.size.height());
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (QFileInfo(fileName).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
#ifdef KALVEX_HAVE_SVG
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle("Data and prediction plots");
    QPainter painter(&svg);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int k = 0; k < static_cast<int>(panels.size()); ++k)
      PaintXYPlot(painter, QRect(QPoint(k * options.size.width(), 0), options.size), *panels[k], options.axisTexts);
    painter.end();
#else
    return std::string("SVG pictures are not available in this build");
#endif
  } else {
    QImage image = RenderXYPlotPanels(panels, options);
    if (!image.save(&buffer, "PNG")) return std::string("The picture could not be encoded");
  }
  buffer.close();
  encoded.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return std::nullopt;
}

std::optional<std::string> SaveSummaryPlotPicture(const XYPlotData& data, const std::string& path) {
  std::string bytes;
  if (std::optional<std::string> error = EncodeSummaryPlotPicture(data, path, bytes)) return error;
  return SaveTextFile(path, bytes);
}

std::optional<std::string> EncodeSummaryPlotPicture(const XYPlotData& data, const std::string& path,
                                                    std::string& encoded) {
  const XYPlot lnPlot = OverlayPlot(data, {1, 2, 3});
  const XYPlot indexPlot = OverlayPlot(data, {4, 5, 6});
  return EncodeXYPlotPanels({&lnPlot, &indexPlot}, path, encoded, {.antialias = true});
}

}  // namespace kalvex::plots
