#pragma once
// The hindcast window (frmHindcast), opened by the results summary's
// "Hindcast..." button: the peel count, the minimizer and the derivatives
// above, "Run hindcast" and "Stop"; then the forecasts against the observed
// index, the estimates by peel (each plot saved as PNG, SVG or PDF by a
// right-click) and the report pane, saved as .hnd with both plots as one
// picture beside it. The numbers, the text and the pictures come from
// src/checks.
#include <QWidget>
#include <array>
#include <optional>

#include "checks/Hindcast.h"
#include "ui/qt/QtFrontend.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace kalvex::app {

class Workbench;

class HindcastWindow : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  static constexpr const char* kCaption = "Hindcast";

  explicit HindcastWindow(Workbench& workbench);

  // The settings as the controls show them.
  checks::HindcastSettings Settings() const;
  // Sets the controls' ranges from the workspace: at most the peels its
  // periods and free parameters allow.
  void Prepare();
  // "Run hindcast": the run through the run context, then its report and plots.
  void Run();
  bool Running() const { return running_; }
  // "Save hindcast as...": the report and, beside it, both plots as one picture.
  void SaveHindcast();
  // One plot (0: the forecasts, 1: the estimates by peel) to path.
  bool SavePlot(int plot, const std::string& path);

  // A close while the hindcast runs raises its interrupt instead.
  bool UserClosing() override;

 private:
  plots::Figure PlotFigure(int plot) const;
  void ShowRunning(bool running);

  Workbench& workbench_;
  std::optional<checks::HindcastOutcome> shown_;
  bool running_ = false;
  QSpinBox* peels_ = nullptr;
  QComboBox* minimizer_ = nullptr;
  QCheckBox* analytical_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* savePlots_ = nullptr;
  std::array<QWidget*, 2> canvases_{};
};

// Registers frmHindcast with the Qt front end.
void InstallHindcast(Workbench& workbench);
// The summary's button: the hindcast window, ready to run.
void ShowHindcast(Workbench& workbench);

}  // namespace kalvex::app
