#include "app/MenuForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
  auto button = [this](MenuCommand command) {
    auto* b = new QPushButton(MainMenu::Caption(command), this);
    b->setObjectName(ControlName(command));
    b->setToolTip(MainMenu::ToolTip(command));
    return b;
  };
  auto add = [&](MenuCommand command, void (MainMenu::*action)()) {
    QPushButton* b = button(command);
    connect(b, &QPushButton::clicked, this, [&menu, action] { (menu.*action)(); });
    layout->addWidget(b);
    return b;
  };
  auto addReturning = [&](MenuCommand command, auto action) {
    QPushButton* b = button(command);
    connect(b, &QPushButton::clicked, this, [&menu, action] { (void)(menu.*action)(); });
    layout->addWidget(b);
    return b;
  };

  add(MenuCommand::Initialize, &MainMenu::Initialize);
  addReturning(MenuCommand::LoadAlg, &MainMenu::LoadAlgorithm);
  add(MenuCommand::EditAlg, &MainMenu::EditAlgorithm);
  addReturning(MenuCommand::SaveAlg, &MainMenu::SaveAlgorithm);

  auto* minimize = new QLabel("Minimize with...", this);
  minimize->setObjectName("lblMinimize");
  layout->addWidget(minimize);
  auto* minimizers = new QHBoxLayout;
  for (auto [command, action] : {std::pair{MenuCommand::Simplex, &MainMenu::Simplex},
                                 std::pair{MenuCommand::Marquardt, &MainMenu::Marquardt}}) {
    QPushButton* b = button(command);
    connect(b, &QPushButton::clicked, this, [&menu, action = action] { (menu.*action)(); });
    minimizers->addWidget(b);
  }
  layout->addLayout(minimizers);

  add(MenuCommand::UserSummary, &MainMenu::ResultsSummary);
  add(MenuCommand::OneFunction, &MainMenu::OneFunctionCall);
  add(MenuCommand::Covariance, &MainMenu::Covariance);
  add(MenuCommand::Bayesian, &MainMenu::Priors);
  add(MenuCommand::ParEstimate, &MainMenu::Evaluate);
  add(MenuCommand::Rank, &MainMenu::MultiModel);

  auto* quit = new QPushButton("&Quit", this);
  quit->setObjectName("cmdQuit");
  quit->setToolTip("Quit Kalvex");
  connect(quit, &QPushButton::clicked, this, [this] { workbench_.RequestQuit(); });
  layout->addSpacing(8);
  layout->addWidget(quit);
  layout->addStretch(1);

  // Until the workflow applies its rules only Initialize and Quit can be used.
  for (MenuCommand command : kWorkflowCommands)
    findChild<QPushButton*>(ControlName(command))->setEnabled(command == MenuCommand::Initialize);
}

bool MenuForm::UserClosing() {
  workbench_.menu.MenuUnloaded();
  return true;
}

}  // namespace kalvex::app
