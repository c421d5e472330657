#include "app/Workbench.h"

#include <QApplication>
#include <QMdiArea>
#include <QScreen>

#include "algorithm/AlgorithmCommands.h"
#include "app/CovarianceForms.h"
#include "app/EditorForm.h"
#include "app/EvaluationForms.h"
#include "app/InfoWindows.h"
#include "app/InitializeForm.h"
#include "app/JitterWindow.h"
#include "app/MainWindow.h"
#include "app/MenuForm.h"
#include "app/MinimizerForms.h"
#include "app/OneFunctionForm.h"
#include "app/PendingAnalyses.h"
#include "app/PriorForms.h"
#include "app/RankForm.h"
#include "workspace/ThreadPool.h"

namespace kalvex::app {

Workbench::Workbench(std::unique_ptr<Model> model, ui::qt::DialogProvider* dialogs)
    : ws(std::move(model)), ui(dialogs), menu(ws, ui), editor(ws, ui) {
  onQuit = [] { QCoreApplication::quit(); };
  ws.WorkerThreads = EveryCore();
  // Captions and reports are Latin text: shaping only where a script needs
  // it keeps window titles and report panes from dominating a short fit.
  QFont font = QApplication::font();
  font.setStyleStrategy(QFont::PreferNoShaping);
  QApplication::setFont(font);
  main_ = new MainWindow(*this);
  ui.SetMainWindow(main_, main_->Area());
  RegisterForms();
  InstallPendingAnalyses(*this);
  InstallMinimizers(*this);
  InstallCovariance(*this);
  InstallPriors(*this);
  InstallEvaluation(*this);
  InstallRanking(*this);
  InstallJitter(*this);
  MainMenuActions& actions = menu.Actions();
  actions.openEditor = [this] { OpenEditor(); };
  editor.closed = [this] { menu.Editor().Closed(); };
  menu.Editor().returnToMenu = [this] { menu.ShowMenu(); };
  actions.loadAlgorithm = [this] {
    switch (LoadAlgorithmDataFromMenu(ws, ui)) {
      case AlgorithmLoadOutcome::Loaded:
      case AlgorithmLoadOutcome::Defaulted: return LoadOutcome::Loaded;
      case AlgorithmLoadOutcome::Failed: return LoadOutcome::Failed;
      case AlgorithmLoadOutcome::Cancelled: break;
    }
    return LoadOutcome::Cancelled;
  };
  actions.saveAlgorithm = [this] { return SaveAlgorithmDataFromMenu(ws, ui) == AlgorithmSaveOutcome::Saved; };
}

Workbench::~Workbench() {
  // Forms call back into the workbench while they are destroyed.
  delete main_;
}

void Workbench::RegisterForms() {
  using ui::qt::FormPlacement;
  ui.RegisterForm(forms::kMenu, [this] { return new MenuForm(*this); }, {QSize(430, 560), QPoint(0, 0)});
  ui.RegisterForm(forms::kInitialize, [this] { return new InitializeForm(*this); }, {QSize(640, 560), QPoint(440, 0)});
  ui.RegisterForm(forms::kEditor, [this] { return new EditorForm(*this); }, {QSize(900, 700), QPoint(0, 0)});
  ui.RegisterForm(forms::kEditAll, [this] { return new EditAllForm(*this); }, {QSize(370, 280), QPoint(905, 40)});
  ui.RegisterForm(forms::kOneFunction, [this] { return new OneFunctionForm(*this); },
                  {QSize(830, 560), QPoint(440, 0)});
  for (const char* form : {kDefaultsForm, kWisdomForm, kCreditsForm}) {
    FormPlacement placement;
    placement.mdiChild = false;
    ui.RegisterForm(form, [form] { return MakeInformationWindow(form); }, placement);
  }
}

void Workbench::Start() {
  // Most of the screen, so that the menu and an analysis window fit side by
  // side. A screen not larger than that either way is filled: a maximized window
  // is the one size the window manager fits, frame and all.
  QScreen* screen = main_->screen();
  QRect space = screen ? screen->availableGeometry() : QRect();
  if (space.isEmpty() || space.width() <= 1600 || space.height() <= 1000) {
    main_->showMaximized();
  } else {
    main_->resize(1600, 1000);
    main_->move(space.topLeft());
    main_->show();
  }
  menu.ShowMenu();
}

bool Workbench::RequestQuit() {
  if (quitting_) return true;
  if (!menu.Quit()) return false;
  quitting_ = true;
  main_->close();
  if (onQuit) onQuit();
  return true;
}

void Workbench::OpenEditor() {
  ui.ShowWindow(editor::kForm);
  editor.Fill();
  RefreshEditor();
  ui.SetFocus(editor::kForm, "cmdFinish");
}

void Workbench::RefreshEditor() {
  if (auto* form = dynamic_cast<EditorForm*>(ui.Form(editor::kForm))) form->Refresh();
}

void Workbench::ShowInformationWindow(const char* form) {
  main_->setEnabled(false);
  ui.ShowWindow(form);
  QWidget* window = ui.Form(form);
  if (!window) {
    main_->setEnabled(true);
    return;
  }
  QRect frame = window->frameGeometry();
  frame.moveCenter(main_->frameGeometry().center());
  window->move(frame.topLeft());
  QObject::connect(window, &QObject::destroyed, main_, [this] { main_->setEnabled(true); });
}

}  // namespace kalvex::app
