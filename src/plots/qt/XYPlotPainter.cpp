#include "plots/qt/XYPlotPainter.h"

#include <cstdio>

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>

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

void PaintItem(QPainter& painter, const DrawItem& item) {
  QPen pen(ToColor(item.colour));
  pen.setCosmetic(true);  // one device pixel wide, whatever the twips scale
  pen.setWidth(item.kind == DrawItem::Kind::Dot ? 2 : 1);
  pen.setStyle(ToPenStyle(item.stroke));
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  switch (item.kind) {
    case DrawItem::Kind::Segment:
      painter.drawLine(QPointF(item.x1, item.y1), QPointF(item.x2, item.y2));
      break;
    case DrawItem::Kind::Circle:
      painter.drawEllipse(QPointF(item.x1, item.y1), item.radius, item.radius);
      break;
    case DrawItem::Kind::Dot:
      painter.drawPoint(QPointF(item.x1, item.y1));
      break;
  }
}

// The drawn series' labels in their colours, wrapped over the top margin.
void PaintLegend(QPainter& painter, const XYPlot& plot) {
  const double gap = 120, lineHeight = 190, right = kPlotRight;
  double x = kPlotLeft, y = 30;
  for (const LegendEntry& entry : plot.Legend()) {
    const QString label = QString::fromStdString(entry.label);
    const double width = painter.boundingRect(QRectF(0, 0, 1e6, lineHeight), Qt::AlignLeft, label).width();
    if (x > kPlotLeft && x + width > right) {
      x = kPlotLeft;
      y += lineHeight;
    }
    // White would vanish on the page: the fifteenth plot's black stays black.
    painter.setPen(ToColor(entry.colour == kWhite ? kBlack : entry.colour));
    painter.drawText(QRectF(x, y, width + 10, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, label);
    x += width + gap;
  }
}

// The range and axis label values, placed in the margins of the drawing area.
void PaintAxisTexts(QPainter& painter, const XYPlot& plot) {
  if (plot.Legend().empty()) return;
  const PlotRange& range = plot.LastRange();
  QFont font = painter.font();
  font.setPixelSize(140);  // twips: about 9 pixels at the default size
  painter.setFont(font);
  painter.setPen(Qt::black);
  auto text = [&](double value) { return QString::fromStdString(SixDecimalText(value)); };
  painter.drawText(QRectF(0, kPlotTop - 200, kPlotLeft - 40, 400), Qt::AlignRight | Qt::AlignVCenter,
                   text(range.yMax));
  painter.drawText(QRectF(0, kPlotBottom - 200, kPlotLeft - 40, 400), Qt::AlignRight | Qt::AlignVCenter,
                   text(range.yMin));
  double below = kPlotBottom + 40;
  painter.drawText(QRectF(kPlotLeft - 700, below, 1400, 300), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(plot.Labels().xStart));
  painter.drawText(QRectF(kPlotRight - 700, below, 1400, 300), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(plot.Labels().xEnd));
  painter.drawText(QRectF(kPlotLeft, below, kPlotRight - kPlotLeft, 300), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(plot.XChoice() == 0 ? plot.Data().xLabel
                                                              : plot.Data().seriesLabels.at(plot.XChoice())));
  PaintLegend(painter, plot);
}

// Standard error of a program without windows carries that program's own
// messages, one per line; Qt's notes on the environment (no runtime
// directory, no session) are not among them. Critical and fatal ones pass.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Pictures can be written from a program without windows (the batch front
// end): text needs a GUI application, so one is made offscreen when missing.
void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  qInstallMessageHandler(QuietQtMessages);
  static int argc = 3;
  static char name[] = "kalvex", option[] = "-platform", platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

}  // namespace

QSize DefaultPictureSize() { return QSize(int(kSurfaceWidth / 15), int(kSurfaceHeight / 15)); }

void PaintXYPlot(QPainter& painter, const QRect& target, const XYPlot& plot, bool axisTexts) {
  painter.save();
  painter.fillRect(target, Qt::white);
  painter.setViewport(target);
  painter.setWindow(0, 0, int(kSurfaceWidth), int(kSurfaceHeight));
  for (const DrawItem& item : plot.Picture()) PaintItem(painter, item);
  if (axisTexts) PaintAxisTexts(painter, plot);
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
