#pragma once
// The report windows of the two single-parameter evaluations, the likelihood
// profile's (frmMaxLike) and the posterior's (frmBayesian): the main
// window's status bars and menus a run shows and takes away again, the
// report pane and its save, the editor opened before a run, and the main
// menu brought back after it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "evaluation/EvaluationRun.h"
#include "ui/Frontend.h"
#include "workflow/EditorWindow.h"

namespace kalvex {

struct Workspace;

class EvaluationReportWindow : public EvaluationWindow {
 public:
  void ShowReport(const std::string& text) override;
  void EditValuesAndSteps() override;
  void Ended() override;

 protected:
  // showMenu brings the main menu back; empty: frmMenu is shown.
  EvaluationReportWindow(ui::Frontend& ui, EditorWindow& editor, std::function<void()> showMenu,
                         std::string_view form, std::string_view pane);
  void ShowMainControl(std::string_view control, bool visible);
  // What a run showed on the main window is taken away at the end.
  virtual void HideRunControls() = 0;

  ui::Frontend& ui_;

 private:
  EditorWindow& editor_;
  std::function<void()> showMenu_;
  std::string_view form_, pane_;
};

class ProfileWindow final : public EvaluationReportWindow {
 public:
  ProfileWindow(ui::Frontend& ui, EditorWindow& editor, std::function<void()> showMenu = {});
  // The remaining-time bar; the menu bar's interrupt only when no minimizer
  // (with its own) runs at the points.
  void PointsStarting(bool minimizing) override;
  MinimizerWindow* MinimizerAtPoints(bool marquardt) override { return marquardt ? marquardt_ : simplex_; }
  // The minimizer windows a profile's points show their fits in.
  void ShowMinimizersIn(MinimizerWindow& simplex, MinimizerWindow& marquardt) {
    simplex_ = &simplex;
    marquardt_ = &marquardt;
  }

 private:
  void HideRunControls() override;
  MinimizerWindow* simplex_ = nullptr;
  MinimizerWindow* marquardt_ = nullptr;
};

class PosteriorWindow final : public EvaluationReportWindow {
 public:
  PosteriorWindow(ui::Frontend& ui, EditorWindow& editor, std::function<void()> showMenu = {});
  // The totals and remaining-time bars and the interrupt; the main menu and
  // the menus that would lead away are hidden while the grid is summed.
  void PointsStarting(bool minimizing) override;
  // The grid positions' bar.
  void IntegrationStarted() override;

 private:
  void HideRunControls() override;
};

// "&Save maximum-likelihood data as...": the profile's report pane.
std::optional<std::string> SaveLikelihoodProfile(const Workspace& ws, ui::Frontend& ui);
// "&Save Bayesian posterior distribution data as...": the posterior's report pane.
std::optional<std::string> SavePosterior(const Workspace& ws, ui::Frontend& ui);

}  // namespace kalvex
