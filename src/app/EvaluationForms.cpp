#include "app/EvaluationForms.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/MainWindow.h"
#include "app/PriorForms.h"
#include "app/Workbench.h"
#include "evaluation/LikelihoodProfile.h"
#include "evaluation/PosteriorIntegration.h"
#include "workflow/EvaluationWindows.h"
#include "plots/qt/EvaluationPlotWindows.h"

namespace kalvex::app {
namespace {

namespace names = ui::names;

QLabel* Label(QWidget* parent, const char* name, const char* text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

// A report with its save button; closing it brings the main menu back.
class EvaluationReportForm : public PriorReportForm, public ui::qt::UserClosable {
 public:
  EvaluationReportForm(Workbench& wb, const QString& caption, const char* pane, const char* button,
                       const QString& buttonCaption, std::function<void()> save, bool clearsActivity)
      : PriorReportForm(caption, pane, button, buttonCaption, std::move(save)),
        workbench_(wb),
        clearsActivity_(clearsActivity) {}
  bool UserClosing() override {
    if (clearsActivity_) workbench_.ui.SetStatus(5, 1, "");
    workbench_.menu.ShowMenu();
    return true;
  }

 private:
  Workbench& workbench_;
  bool clearsActivity_;
};

// Shows a plot in the main window's area: in the plot window of its kind
// that is still open, where it is, else in a new one (a window is built
// once, not with every evaluation), wholly inside the area and beside the
// report it draws (on the first of sides where it fits), not over its text,
// also when the report opens after it.
template <typename Window, typename Data>
void ShowPlotWindow(Workbench& wb, QPointer<QMdiSubWindow>& shown, const Data& data, QSize size, QPoint at,
                    std::string_view report, std::initializer_list<ui::qt::Side> sides) {
  wb.ui.Flush();
  if (auto* open = shown ? qobject_cast<Window*>(shown->widget()) : nullptr) {
    open->SetData(data);
    if (wb.Main().Area()->activeSubWindow() != shown) wb.Main().Area()->setActiveSubWindow(shown);
    return;
  }
  auto* window = new Window(data);
  window->setAttribute(Qt::WA_DeleteOnClose);
  shown = wb.Main().Area()->addSubWindow(window);
  shown->setAttribute(Qt::WA_DeleteOnClose);
  const QSize space = wb.Main().Area()->viewport()->size(), minimum = ui::qt::MinimumOf(shown);
  QRect place = ui::qt::FitInArea(QRect(at, size), minimum, space);
  if (std::optional<QRect> anchor = wb.ui.AreaGeometry(report)) {
    for (ui::qt::Side side : sides) {
      if (std::optional<QRect> beside = ui::qt::BesideInArea(*anchor, side, size, minimum, space)) {
        place = *beside;
        break;
      }
    }
  }
  shown->setGeometry(place);
  shown->show();
}

}  // namespace

ParEvalsForm::ParEvalsForm(Workbench& workbench) : workbench_(workbench) {
  setWindowTitle("Evaluation of estimates");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label(this, "lblChoice", "For any free parameter you have the choice to generate:"));
  QPushButton* ml = Button(this, "cmdML", "&Maximium likelihood (ML) confidence distributions");
  QPushButton* bp = Button(this, "cmdBP", "&Bayesian posterior (BP) distributions");
  layout->addWidget(ml);
  layout->addWidget(bp);
  layout->addWidget(
      Label(this, "lblNote1", "Results are valid only if the objective function is the Sum of Squares or the -ln[L]"));
  layout->addWidget(Label(this, "lblNote3",
                          "These routines can automatically edit your algorithm file so take care not to "
                          "inadvertently save these edits"));
  layout->addWidget(Label(this, "lblNote4", "Only the lowest ordinal linked parameter can be evaluated"));
  QPushButton* cancel = Button(this, "cmdCancel", "&Cancel");
  layout->addWidget(cancel);
  // The runs close this window: they start once its click has been handled.
  MainMenu& menu = workbench_.menu;
  QWidget* main = &workbench_.Main();
  auto later = [main](void (MainMenu::*command)(), MainMenu& menu) {
    return [main, command, &menu] { QTimer::singleShot(0, main, [command, &menu] { (menu.*command)(); }); };
  };
  connect(ml, &QPushButton::clicked, this, later(&MainMenu::EvaluateByProfile, menu));
  connect(bp, &QPushButton::clicked, this, later(&MainMenu::EvaluateByPosterior, menu));
  connect(cancel, &QPushButton::clicked, this, later(&MainMenu::CancelEvaluation, menu));
}

bool ParEvalsForm::UserClosing() {
  workbench_.menu.AnalysisEnded();
  return true;
}

void InstallEvaluation(Workbench& wb) {
  wb.ui.RegisterForm(names::kParEvalsForm.data(), [&wb] { return new ParEvalsForm(wb); },
                     {QSize(440, 330), QPoint(200, 80)});
  wb.ui.RegisterForm(names::kMaxLikeForm.data(), [&wb] {
    return new EvaluationReportForm(wb, "Maximum likelihood statistics", names::kMaxLikePane.data(), "cmdSaveML",
                                    "&Save maximum-likelihood data as...", [&wb] { SaveLikelihoodProfile(wb.ws, wb.ui); },
                                    false);
  }, {QSize(900, 420), QPoint(440, 0)});
  wb.ui.RegisterForm(names::kBayesianForm.data(), [&wb] {
    return new EvaluationReportForm(wb, "Bayesian statistics", names::kBayesianPane.data(), "cmdSaveBayesian",
                                    "&Save Bayesian posterior distribution data as...", [&wb] { SavePosterior(wb.ws, wb.ui); },
                                    true);
  }, {QSize(900, 420), QPoint(440, 0)});
  wb.ui.distributionViewer = [&wb, shown = QPointer<QMdiSubWindow>()](const plots::DistributionPlotData& data) mutable {
    std::string_view report = data.series2Title == plots::kPriorTitle       ? names::kPriorProfileForm
                              : data.series2Title == plots::kPosteriorTitle ? names::kBayesianForm
                                                                            : names::kMaxLikeForm;
    ShowPlotWindow<plots::DistPlotWindow>(wb, shown, data, QSize(760, 520), QPoint(440, 300), report,
                                          {ui::qt::Side::Below, ui::qt::Side::Right});
  };
  wb.ui.bivariateViewer = [&wb, shown = QPointer<QMdiSubWindow>()](const BivariateGrid& grid) mutable {
    // Below too: the main menu comes back at the left when the run ends.
    ShowPlotWindow<plots::BivarPlotWindow>(wb, shown, grid, QSize(840, 560), QPoint(740, 200), names::kBayesianForm,
                                           {ui::qt::Side::Below});
  };
}

}  // namespace kalvex::app
