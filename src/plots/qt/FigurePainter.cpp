#include "plots/qt/FigurePainter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "plots/qt/OffscreenApplication.h"
#include "workspace/TextFile.h"

#ifdef KALVEX_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace kalvex::plots {
namespace {

constexpr double kLineWidth = 15;     // twips: a pixel at the natural size, 0.75 point on paper
constexpr double kTwipsPerPoint = 20;

QColor ToColor(int index) {
  Rgb c = PaletteColour(index);
  return QColor(c.r, c.g, c.b);
}

// Five parts white to one of the colour.
QColor Tint(const QColor& colour) {
  return QColor((colour.red() + 5 * 255) / 6, (colour.green() + 5 * 255) / 6, (colour.blue() + 5 * 255) / 6);
}

Qt::PenStyle ToPenStyle(Stroke stroke) {
  switch (stroke) {
    case Stroke::Dash: return Qt::DashLine;
    case Stroke::Dot: return Qt::DotLine;
    case Stroke::Solid: break;
  }
  return Qt::SolidLine;
}

// pixel: one device pixel in twips. Lines are whole pixels wide, at least
// one: a line of a pixel and a quarter would be drawn one or two wide.
void PaintItem(QPainter& painter, const FigureItem& item, double pixel) {
  const QColor colour = item.pale ? Tint(ToColor(item.colour)) : ToColor(item.colour);
  const QPointF centre(item.x1, item.y1);
  const double width = std::max(1.0, std::round(kLineWidth / pixel)) * pixel;
  switch (item.kind) {
    case FigureItem::Kind::Segment: {
      QPen pen(colour, width);
      pen.setStyle(ToPenStyle(item.stroke));
      painter.setPen(pen);
      painter.drawLine(centre, QPointF(item.x2, item.y2));
      break;
    }
    case FigureItem::Kind::Box:
      // Outlined in its own colour: neighbouring cells meet without a seam.
      painter.setPen(QPen(colour, width));
      painter.setBrush(colour);
      painter.drawRect(QRectF(centre, QPointF(item.x2, item.y2)));
      painter.setBrush(Qt::NoBrush);
      break;
    case FigureItem::Kind::Circle: {
      painter.setPen(QPen(colour, width));
      painter.setBrush(Qt::NoBrush);
      const double radius = std::max(item.radius, 2 * pixel);
      painter.drawEllipse(centre, radius, radius);
      break;
    }
    case FigureItem::Kind::Disc:
    case FigureItem::Kind::Dot: {
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      const double radius = item.kind == FigureItem::Kind::Dot ? width : std::max(item.radius, 1.5 * pixel);
      painter.drawEllipse(centre, radius, radius);
      painter.setBrush(Qt::NoBrush);
      break;
    }
  }
}

void PaintTexts(QPainter& painter, const Figure& figure) {
  QFont font("Liberation Sans");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(int(kTextSize));  // twips
  painter.setFont(font);
  for (const FigureText& text : figure.texts) {
    if (text.text.empty()) continue;
    painter.setPen(ToColor(text.colour));
    const double height = std::max(figure.height - text.top, kLineHeight);
    QRectF box(text.left, text.top, std::max(figure.width - text.left, 0.0), height);
    Qt::Alignment align = Qt::AlignLeft;
    if (text.align == FigureText::Align::Right) {
      box = QRectF(0, text.top, text.left, height);
      align = Qt::AlignRight;
    } else if (text.align == FigureText::Align::Centre) {
      const double half = std::max(std::min(text.left, figure.width - text.left), 0.0);
      box = QRectF(text.left - half, text.top, 2 * half, height);
      align = Qt::AlignHCenter;
    }
    painter.drawText(box, align | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(text.text));
  }
}

enum class PictureFormat { Png, Svg, Pdf };

PictureFormat FormatOf(const std::string& path) {
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix();
  if (suffix.compare("svg", Qt::CaseInsensitive) == 0) return PictureFormat::Svg;
  if (suffix.compare("pdf", Qt::CaseInsensitive) == 0) return PictureFormat::Pdf;
  return PictureFormat::Png;
}

QSize ImageSize(const Figure& figure, const PictureOptions& options) {
  return options.size.isEmpty() ? FigurePixelSize(figure) : options.size;
}

}  // namespace

QSize FigurePixelSize(const Figure& figure) { return QSize(int(figure.width / 15), int(figure.height / 15)); }

void PaintFigure(QPainter& painter, const QRect& target, const Figure& figure, bool texts) {
  painter.save();
  painter.fillRect(target, Qt::white);
  if (figure.width > 0 && figure.height > 0 && !target.isEmpty()) {
    const double scale = std::min(target.width() / figure.width, target.height() / figure.height);
    painter.translate(target.left() + (target.width() - figure.width * scale) / 2,
                      target.top() + (target.height() - figure.height * scale) / 2);
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(0, 0, figure.width, figure.height));
    for (const FigureItem& item : figure.items) PaintItem(painter, item, 1 / scale);
    if (texts) PaintTexts(painter, figure);
  }
  painter.restore();
}

QImage RenderFigure(const Figure& figure, const PictureOptions& options) {
  EnsureGuiApplication();
  const QSize size = ImageSize(figure, options);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, options.antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, options.antialias);
  PaintFigure(painter, QRect(QPoint(0, 0), size), figure, options.axisTexts);
  painter.end();
  return image;
}

std::optional<std::string> EncodeFigurePicture(const Figure& figure, const std::string& path, std::string& encoded,
                                               const PictureOptions& options) {
  EnsureGuiApplication();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (FormatOf(path)) {
    case PictureFormat::Svg: {
#ifdef KALVEX_HAVE_SVG
      const QSize size = FigurePixelSize(figure);
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      QPainter painter(&svg);
      painter.setRenderHint(QPainter::Antialiasing, true);
      PaintFigure(painter, QRect(QPoint(0, 0), size), figure, options.axisTexts);
      painter.end();
      break;
#else
      return std::string("SVG pictures are not available in this build");
#endif
    }
    case PictureFormat::Pdf: {
      // One page of the figure's own size, painted in twips (1440 to the inch).
      QPdfWriter pdf(&buffer);
      pdf.setCreator("Kalvex");
      pdf.setResolution(1440);
      pdf.setPageSize(QPageSize(QSizeF(figure.width / kTwipsPerPoint, figure.height / kTwipsPerPoint),
                                QPageSize::Point, QString(), QPageSize::ExactMatch));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      QPainter painter;
      if (!painter.begin(&pdf)) return std::string("The PDF could not be started");
      painter.setRenderHint(QPainter::Antialiasing, true);
      PaintFigure(painter, QRect(0, 0, pdf.width(), pdf.height()), figure, options.axisTexts);
      painter.end();
      break;
    }
    case PictureFormat::Png:
      if (!RenderFigure(figure, options).save(&buffer, "PNG")) return std::string("The picture could not be encoded");
      break;
  }
  buffer.close();
  encoded.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return std::nullopt;
}

std::optional<std::string> SaveFigurePicture(const Figure& figure, const std::string& path,
                                             const PictureOptions& options) {
  std::string bytes;
  if (std::optional<std::string> error = EncodeFigurePicture(figure, path, bytes, options)) return error;
  // The core's writer rather than QSaveFile: QSaveFile puts a plain file in
  // place of a pipe or (run as root) a device such as /dev/full, and as root
  // widens a read-only file's permissions; the core's writer keeps them.
  return SaveTextFile(path, bytes);
}

bool SvgPictureAvailable() {
#ifdef KALVEX_HAVE_SVG
  return true;
#else
  return false;
#endif
}

std::string PictureFileFilter() {
  std::string filter = "PNG pictures (*.png)|*.png";
  if (SvgPictureAvailable()) filter += "|SVG drawings (*.svg)|*.svg";
  return filter + "|PDF documents (*.pdf)|*.pdf";
}

}  // namespace kalvex::plots
