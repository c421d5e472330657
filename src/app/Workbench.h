#pragma once
// Everything one run of the workbench owns: the workspace, the Qt front end,
// the main-menu workflow, the editor's commands and the main window. Tests
// build one with a small model and scripted dialogs.
//
// An analysis window joins the workbench by registering its form; its
// command lives in src/workflow (MainMenu), where the button leads:
//   wb.ui.RegisterForm("frmSimplex", [&wb] { return new SimplexForm(wb); }, {QSize(700, 500), QPoint(440, 0)});
// An analysis that is not built yet has a hook in MainMenuActions (see
// InstallPendingAnalyses).
// A window that runs on after its button returns calls wb.menu.AnalysisEnded()
// when it is done; one that opens the editor does so through
// wb.menu.Editor(), which gives its window back when the edit ends.
#include <functional>
#include <memory>

#include "workflow/AlgorithmEditor.h"
#include "ui/qt/QtFrontend.h"
#include "workflow/MainMenu.h"
#include "workspace/Workspace.h"

namespace kalvex::app {

class MainWindow;

class Workbench {
 public:
  // dialogs == nullptr: real dialogs.
  explicit Workbench(std::unique_ptr<Model> model, ui::qt::DialogProvider* dialogs = nullptr);
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  Workspace ws;
  ui::qt::QtFrontend ui;
  MainMenu menu;
  AlgorithmEditor editor;

  MainWindow& Main() { return *main_; }

  // Shows the main window with the main menu.
  void Start();
  // The quit sequence of the Quit button, "E&xit" and closing the main
  // window; true when the program ends.
  bool RequestQuit();
  bool Quitting() const { return quitting_; }
  // What ending the program does (QCoreApplication::quit by default).
  std::function<void()> onQuit;

  // Opens the editor filled from the workspace, focus on "&Finish editing".
  void OpenEditor();
  // Redraws the editor's grid after a command changed the workspace.
  void RefreshEditor();

  // The information windows of the main window's menus.
  void ShowInformationWindow(const char* form);

 private:
  void RegisterForms();
  MainWindow* main_ = nullptr;
  bool quitting_ = false;
};

}  // namespace kalvex::app
