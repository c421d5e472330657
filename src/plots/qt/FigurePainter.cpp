#include "plots/qt/FigurePainter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPen>

#include <algorithm>

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

// Five parts white to one of the colour.
QColor Tint(const QColor& colour) {
  return QColor((colour.red() + 5 * 255) / 6, (colour.green() + 5 * 255) / 6, (colour.blue() + 5 * 255) / 6);
}

void PaintItem(QPainter& painter, const FigureItem& item) {
  const QColor colour = item.pale ? Tint(ToColor(item.colour)) : ToColor(item.colour);
  switch (item.kind) {
    case FigureItem::Kind::Segment: {
      QPen pen(colour);
      pen.setCosmetic(true);
      pen.setStyle(item.stroke == Stroke::Dot ? Qt::DotLine : item.stroke == Stroke::Dash ? Qt::DashLine : Qt::SolidLine);
      painter.setPen(pen);
      painter.drawLine(QPointF(item.x1, item.y1), QPointF(item.x2, item.y2));
      break;
    }
    case FigureItem::Kind::Box:
      painter.fillRect(QRectF(QPointF(item.x1, item.y1), QPointF(item.x2, item.y2)), colour);
      break;
    case FigureItem::Kind::Disc:
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawEllipse(QPointF(item.x1, item.y1), item.radius, item.radius);
      painter.setBrush(Qt::NoBrush);
      break;
  }
}

void PaintTexts(QPainter& painter, const Figure& figure) {
  QFont font = painter.font();
  font.setPixelSize(140);  // twips: about 9 pixels at the picture size
  painter.setFont(font);
  for (const FigureText& text : figure.texts) {
    if (text.text.empty()) continue;
    painter.setPen(ToColor(text.colour));
    const double height = figure.height - text.top;
    QRectF box(text.left, text.top, figure.width - text.left, height);
    Qt::Alignment align = Qt::AlignLeft;
    if (text.align == FigureText::Align::Right) {
      box = QRectF(0, text.top, text.left, height);
      align = Qt::AlignRight;
    } else if (text.align == FigureText::Align::Centre) {
      const double half = std::min(text.left, figure.width - text.left);
      box = QRectF(text.left - half, text.top, 2 * half, height);
      align = Qt::AlignHCenter;
    }
    painter.drawText(box, align | Qt::AlignTop, QString::fromStdString(text.text));
  }
}

}  // namespace

QSize FigurePixelSize(const Figure& figure) { return QSize(int(figure.width / 15), int(figure.height / 15)); }

void PaintFigure(QPainter& painter, const QRect& target, const Figure& figure, bool texts) {
  painter.save();
  painter.fillRect(target, Qt::white);
  painter.setViewport(target);
  painter.setWindow(0, 0, int(figure.width), int(figure.height));
  painter.setClipRect(QRectF(0, 0, figure.width, figure.height));
  for (const FigureItem& item : figure.items) PaintItem(painter, item);
  if (texts) PaintTexts(painter, figure);
  painter.restore();
}

QImage RenderFigure(const Figure& figure, bool antialias) {
  EnsureGuiApplication();
  const QSize size = FigurePixelSize(figure);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, antialias);
  PaintFigure(painter, QRect(QPoint(0, 0), size), figure);
  painter.end();
  return image;
}

std::optional<std::string> SaveFigurePicture(const Figure& figure, const std::string& path) {
  std::string bytes;
  if (std::optional<std::string> error = EncodeFigurePicture(figure, path, bytes)) return error;
  return SaveTextFile(path, bytes);
}

std::optional<std::string> EncodeFigurePicture(const Figure& figure, const std::string& path, std::string& encoded) {
  EnsureGuiApplication();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (QFileInfo(QString::fromStdString(path)).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
#ifdef KALVEX_HAVE_SVG
    const QSize size = FigurePixelSize(figure);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    QPainter painter(&svg);
    painter.setRenderHint(QPainter::Antialiasing, true);
    PaintFigure(painter, QRect(QPoint(0, 0), size), figure);
    painter.end();
#else
    return std::string("SVG pictures are not available in this build");
#endif
  } else if (!RenderFigure(figure, true).save(&buffer, "PNG")) {
    return std::string("The picture could not be encoded");
  }
  buffer.close();
  encoded.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return std::nullopt;
}

}  // namespace kalvex::plots
