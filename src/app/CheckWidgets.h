#pragma once
// What the windows of the fit checks (diagnostics, hindcast) are built of:
// plots drawn at their own proportions, centred in the space they are given
// (text and circles keep their shape however the window is sized), which a
// right-click saves as PNG, SVG or PDF; named buttons with a tooltip.
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "checks/ReportSave.h"
#include "plots/Figure.h"
#include "ui/Frontend.h"

class QPushButton;

namespace kalvex::app {

QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption, const char* tip);

class FigureCanvas : public QWidget {
 public:
  // figure is asked for at every repaint; save runs on "Save this plot as...".
  FigureCanvas(std::function<plots::Figure()> figure, std::function<void()> save, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::function<plots::Figure()> figure_;
};

// "Save plot picture as...": a PNG, SVG or PDF path, or nullopt when cancelled.
std::optional<std::string> AskPicturePath(ui::Frontend& ui, const std::string& proposed);
// Writes the picture; a failure is shown in a "Save failed" box (false).
bool SaveFigureShowingFailure(ui::Frontend& ui, const plots::Figure& figure, const std::string& path);
// Both: asks for the path, then saves there.
void AskAndSaveFigure(ui::Frontend& ui, const plots::Figure& figure, const std::string& proposed);
// The picture encoder the core's report saves are given: the figure in the
// format of the path's extension.
checks::PictureEncoder FigureEncoder();

}  // namespace kalvex::app
