#pragma once
// The jittered starts window (frmJitter), opened by the main menu's "Check
// the minimum...": the picture of the minima reached above the report
// pane, the interrupt while the starts are fitted, the save of the report
// with its picture and of the picture alone (PNG, SVG or PDF). The numbers, the
// text and the picture come from src/checks.
#include <QWidget>
#include <optional>

#include "checks/JitterCheck.h"
#include "ui/qt/QtFrontend.h"

class QPushButton;

namespace kalvex::app {

class Workbench;

class JitterWindow : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  static constexpr const char* kCaption = "Jittered starts: is the current fit the lowest minimum?";

  explicit JitterWindow(Workbench& workbench);

  // The picture of a finished run; nullptr: a run starts, no picture yet.
  void ShowMinima(const checks::JitterCheck* check);
  // "Save report as...": the report and its picture.
  void SaveReport();
  // "Save plot as...": the picture alone.
  void SavePlot();
  // Closing while the starts are fitted asks to interrupt them instead.
  bool UserClosing() override;

 private:
  plots::Figure Figure() const;

  Workbench& workbench_;
  std::optional<checks::JitterCheck> shown_;
  QWidget* canvas_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* savePlot_ = nullptr;
};

// Registers frmJitter with the Qt front end.
void InstallJitter(Workbench& workbench);
// The main menu's button: the questions, the run in the window, the offer of a lower minimum.
void ShowJitter(Workbench& workbench);

}  // namespace kalvex::app
