#pragma once
// The priors windows: frmPriorsLoader ("Load Bayesian priors"), frmPriors
// ("Set prior distributions", the prior editor), the two savable reports
// frmPriorProfile and frmReviewPriors, and frmHelp. The commands live in
// src/workflow (reached through the main menu); these windows show what the
// commands leave and forward the clicks.
#include <functional>

#include <QWidget>

#include "ui/qt/QtFrontend.h"

class QTableWidget;

namespace kalvex::app {

class Workbench;

class PriorsLoaderForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit PriorsLoaderForm(Workbench& workbench);
  bool UserClosing() override;

 private:
  Workbench& workbench_;
};

class PriorEditorForm : public QWidget, public ui::qt::UserClosable {
  Q_OBJECT
 public:
  explicit PriorEditorForm(Workbench& workbench);
  bool UserClosing() override;
  // Redraws every cell from the editor's state.
  void Refresh();

 private:
  void BuildMenus();
  Workbench& workbench_;
  QTableWidget* grid_ = nullptr;
};

// A report pane under a button that saves it (the button is left out when
// save is empty).
// Kept when closed and handed out again, empty, with the next report (an
// evaluation's report window opens with every run).
class PriorReportForm : public QWidget, public ui::qt::ReusableForm {
  Q_OBJECT
 public:
  PriorReportForm(const QString& caption, const char* pane, const char* button, const QString& buttonCaption,
                  std::function<void()> save);
  void Reopen() override {}  // (the front end empties the pane)
};

// Registers the windows with the Qt front end and lets the editor's grid
// follow its commands.
void InstallPriors(Workbench& workbench);

}  // namespace kalvex::app
