#pragma once
// What the check windows share: a canvas that draws a figure at its own
// proportions, the save of a figure as a picture (PNG, SVG or PDF) with the
// program's save dialog, and their named buttons.
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "checks/ReportSave.h"
#include "plots/Figure.h"
#include "ui/qt/QtFrontend.h"

class QPushButton;

namespace kalvex::app {

// A push button with its object name and tooltip.
QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption, const char* tip);

// A figure drawn at its own proportions, centred in the space it is given:
// text and circles keep their shape however the window is sized.
class FigureCanvas : public QWidget {
 public:
  FigureCanvas(std::function<plots::Figure()> figure, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::function<plots::Figure()> figure_;
};

// "Save plot picture as..." proposing proposed; nullopt when cancelled.
std::optional<std::string> AskPicturePath(ui::qt::QtFrontend& ui, const std::string& proposed);

// The picture encoder the core's report saves are given: the figure painted
// at the default size in the format of the path's extension.
checks::PictureEncoder FigureEncoder();

// Writes figure to path as its extension says; false after the failure's box.
bool SaveFigureTo(ui::qt::QtFrontend& ui, const plots::Figure& figure, const std::string& path);

}  // namespace kalvex::app
