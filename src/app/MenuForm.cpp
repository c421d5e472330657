#include "app/MenuForm.h"

#include <functional>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/JitterWindow.h"
#include "app/Workbench.h"

namespace kalvex::app {

MenuForm::MenuForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("Main menu");
  auto* layout = new QVBoxLayout(this);

  auto* title = new QLabel(kModelTitle, this);
  title->setObjectName("lblModelName");
  QFont titleFont = title->font();
  titleFont.setPointSize(titleFont.pointSize() + 4);
  titleFont.setBold(true);
  title->setFont(titleFont);
  title->setAlignment(Qt::AlignCenter);
  layout->addWidget(title);

  auto* welcome = new QLabel(
      "Welcome to Kalvex: a parameter estimation and evaluation infrastructure for non-linear models", this);
  welcome->setObjectName("lblWelcome");
  welcome->setWordWrap(true);
  welcome->setAlignment(Qt::AlignCenter);
  layout->addWidget(welcome);

  MainMenu& menu = workbench_.menu;
  auto button = [this](MenuCommand command, std::function<void()> action) {
    auto* b = new QPushButton(MainMenu::Caption(command), this);
    b->setObjectName(ControlName(command));
    b->setToolTip(MainMenu::ToolTip(command));
    connect(b, &QPushButton::clicked, this, std::move(action));
    return b;
  };
  layout->addWidget(button(MenuCommand::Initialize, [&menu] { menu.Initialize(); }));
  layout->addWidget(button(MenuCommand::LoadAlg, [&menu] { menu.LoadAlgorithm(); }));
  layout->addWidget(button(MenuCommand::EditAlg, [&menu] { menu.EditAlgorithm(); }));
  layout->addWidget(button(MenuCommand::SaveAlg, [&menu] { menu.SaveAlgorithm(); }));

  auto* minimize = new QLabel("Minimize with...", this);
  minimize->setObjectName("lblMinimize");
  layout->addWidget(minimize);
  auto* minimizers = new QHBoxLayout;
  minimizers->addWidget(button(MenuCommand::Simplex, [&menu] { menu.Simplex(); }));
  minimizers->addWidget(button(MenuCommand::Marquardt, [&menu] { menu.Marquardt(); }));
  layout->addLayout(minimizers);
  layout->addWidget(button(MenuCommand::CheckMinimum, [this] { ShowJitter(workbench_); }));

  layout->addWidget(button(MenuCommand::UserSummary, [&menu] { menu.ResultsSummary(); }));
  layout->addWidget(button(MenuCommand::OneFunction, [&menu] { menu.OneFunctionCall(); }));
  layout->addWidget(button(MenuCommand::Covariance, [&menu] { menu.Covariance(); }));
  layout->addWidget(button(MenuCommand::Bayesian, [&menu] { menu.Priors(); }));
  layout->addWidget(button(MenuCommand::ParEstimate, [&menu] { menu.Evaluate(); }));
  layout->addWidget(button(MenuCommand::Rank, [&menu] { menu.MultiModel(); }));

  auto* quit = new QPushButton("&Quit", this);
  quit->setObjectName("cmdQuit");
  quit->setToolTip("Quit Kalvex");
  connect(quit, &QPushButton::clicked, this, [this] { workbench_.RequestQuit(); });
  layout->addSpacing(8);
  layout->addWidget(quit);
  layout->addStretch(1);
  Reopen();
}

void MenuForm::Reopen() {
  MainMenu& menu = workbench_.menu;
  std::array<bool, kWorkflowCommandCount> states = menu.RuleStates();
  for (std::size_t i = 0; i < states.size(); ++i)
    findChild<QPushButton*>(ControlName(kWorkflowCommands[i]))->setEnabled(states[i]);
  QPushButton* results = findChild<QPushButton*>(ControlName(MenuCommand::UserSummary));
  results->setText(menu.ResultsCaption());
  results->setToolTip(menu.ResultsToolTip());
}

bool MenuForm::UserClosing() {
  workbench_.menu.MenuUnloaded();
  return true;
}

}  // namespace kalvex::app
