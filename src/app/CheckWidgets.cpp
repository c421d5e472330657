#include "app/CheckWidgets.h"

#include <QAction>
#include <QPainter>
#include <QPushButton>

#include "plots/qt/FigurePainter.h"
#include "plots/qt/XYPlotPainter.h"

namespace kalvex::app {

QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption, const char* tip) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(tip);
  return button;
}

FigureCanvas::FigureCanvas(std::function<plots::Figure()> figure, std::function<void()> save, QWidget* parent)
    : QWidget(parent), figure_(std::move(figure)) {
  setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* saveOne = new QAction("Save this plot as...", this);
  connect(saveOne, &QAction::triggered, this, std::move(save));
  addAction(saveOne);
  setToolTip("Right-click to save this plot as a PNG, SVG or PDF picture");
}

void FigureCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const plots::Figure figure = figure_();
  if (figure.width <= 0 || figure.height <= 0) return;
  const double scale = std::min(width() / figure.width, height() / figure.height);
  const QSize size(int(figure.width * scale), int(figure.height * scale));
  painter.setRenderHint(QPainter::Antialiasing, true);
  plots::PaintFigure(painter, QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                     figure);
}

std::optional<std::string> AskPicturePath(ui::Frontend& ui, const std::string& proposed) {
  ui::FileDialog dialog;
  dialog.title = "Save plot picture as...";
  dialog.filter = plots::PictureFileFilter();
  dialog.fileName = proposed;
  dialog.overwritePrompt = true;
  return ui.SaveFile(dialog);
}

bool SaveFigureShowingFailure(ui::Frontend& ui, const plots::Figure& figure, const std::string& path) {
  if (std::optional<std::string> error = plots::SaveFigurePicture(figure, path)) {
    ui.Message("Save failed", "The picture could not be saved to " + path + ": " + *error, ui::style::kCritical);
    return false;
  }
  return true;
}

void AskAndSaveFigure(ui::Frontend& ui, const plots::Figure& figure, const std::string& proposed) {
  if (std::optional<std::string> path = AskPicturePath(ui, proposed)) SaveFigureShowingFailure(ui, figure, *path);
}

checks::PictureEncoder FigureEncoder() {
  return [](const plots::Figure& figure, const std::string& path, std::string& bytes) {
    return plots::EncodeFigurePicture(figure, path, bytes);
  };
}

}  // namespace kalvex::app
