#include "plots/qt/XYPlotPainter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPen>
#include <QSaveFile>

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

// The range and axis label values, placed in the margins of the drawing area.
void PaintAxisTexts(QPainter& painter, const XYPlot& plot) {
  if (plot.PlotCounter() == 0 || plot.Labels().graphMax.empty()) return;
  const PlotRange& range = plot.LastRange();
  QFont font = painter.font();
  font.setPixelSize(150);  // twips: about 10 pixels at the default size
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
  int y = plot.YChoice();
  if (y >= 1)
    painter.drawText(QRectF(kPlotLeft, 40, kPlotRight - kPlotLeft, kPlotTop - 80), Qt::AlignHCenter | Qt::AlignVCenter,
                     QString::fromStdString(plot.Data().seriesLabels.at(y)));
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
  QImage image(options.size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, options.antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, options.antialias);
  PaintXYPlot(painter, QRect(QPoint(0, 0), options.size), plot, options.axisTexts);
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
  const QString fileName = QString::fromStdString(path);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (QFileInfo(fileName).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
#ifdef KALVEX_HAVE_SVG
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(options.size);
    svg.setViewBox(QRect(QPoint(0, 0), options.size));
    svg.setTitle("Data and prediction plots");
    QPainter painter(&svg);
    painter.setRenderHint(QPainter::Antialiasing, true);
    PaintXYPlot(painter, QRect(QPoint(0, 0), options.size), plot, options.axisTexts);
    painter.end();
#else
    return std::string("SVG pictures are not available in this build");
#endif
  } else {
    QImage image = RenderXYPlot(plot, options);
    if (!image.save(&buffer, "PNG")) return std::string("The picture could not be encoded");
  }
  buffer.close();
  // Written whole to a temporary and renamed, so a failed save keeps the old file.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
  if (file.write(bytes) != bytes.size()) return file.errorString().toStdString();
  if (!file.commit()) return file.errorString().toStdString();
  return std::nullopt;
}

}  // namespace kalvex::plots
