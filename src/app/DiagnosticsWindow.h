#pragma once
// The residual diagnostics window (frmDiagnostics), opened by the results
// summary's "Diagnostics..." button: the four plots on one page, each of
// which can be saved as PNG, SVG or PDF (all four together too), and the report
// pane on another, with the save of report and picture. The numbers, the
// text and the pictures come from src/checks.
#include <QWidget>
#include <array>
#include <optional>

#include "checks/Diagnostics.h"

namespace kalvex::app {

class Workbench;

class DiagnosticsWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kCaption = "Residual diagnostics";

  explicit DiagnosticsWindow(Workbench& workbench);

  // The plots of the diagnostics the pane shows.
  void ShowPlots(checks::Diagnostics diagnostics);
  // "Save diagnostics as...": the report and its picture.
  void SaveDiagnostics();
  // "Save plots as...": the four plots as one picture, PNG, SVG or PDF.
  void SavePlots();
  // One plot (0..3, in the order of checks::kDiagnosticsPlots) to path.
  bool SavePlot(int plot, const std::string& path);

 private:
  plots::Figure PlotFigure(int plot) const;

  Workbench& workbench_;
  std::optional<checks::Diagnostics> shown_;
  std::array<QWidget*, 4> canvases_{};
};

// Registers frmDiagnostics with the Qt front end.
void InstallDiagnostics(Workbench& workbench);
// The summary's button: the diagnostics of the current values in their window.
void ShowDiagnostics(Workbench& workbench);

}  // namespace kalvex::app
