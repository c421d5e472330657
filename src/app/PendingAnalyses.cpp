#include "app/PendingAnalyses.h"

#include <cmath>

#include "app/Workbench.h"

namespace kalvex::app {
namespace {

std::string WithoutAccelerator(std::string_view caption) {
  std::string text;
  for (char c : caption)
    if (c != '&') text += c;
  return text;
}

// Until the algorithm file reader is in the build: the defaults branch of
// the load command, and a message for the file branch.
LoadOutcome LoadStandIn(Workbench& wb) {
  ui::Answer answer = wb.ui.Message("Load algorithm data",
                                    "Load an existing algorithm data file?\r\n\r\n     Choose NO for default values",
                                    ui::style::kYesNoCancel + ui::style::kQuestion);
  if (answer == ui::Answer::Cancel) return LoadOutcome::Cancelled;
  if (answer == ui::Answer::Yes) {
    ReportNotAvailable(wb, "Reading algorithm files");
    return LoadOutcome::Failed;
  }
  SetDefaultAlgorithmData(wb.ws);
  ui::LocalDateTime now = wb.ui.Now();
  std::string name = DateTimeFileName(now.month, now.day, now.hour, now.minute, ".alg");
  wb.ws.AlgorithmFileName = name;
  wb.ws.AlgorithmShortName = name;
  wb.ui.Message("Default Algorithm Values",
                "                     Algorithm data set to default values.\r\n\r\n"
                "Algorithm file given the date-time based name: " +
                    name,
                ui::style::kInformation);
  return LoadOutcome::Loaded;
}

// Until the Oskane model is in the build: its parameter count with a
// quadratic objective, so that the windows can be exercised.
class PendingModel : public Model {
 public:
  ModelShape Initialize(const ModelInitOptions& options) override {
    ModelShape shape;
    int species = options.numSpecies;
    shape.numParameters = static_cast<int16_t>(3 * species + 7);
    shape.numEstimated = static_cast<int16_t>(2 * species + 5);
    shape.descriptions.assign(shape.numParameters + 1, "");
    for (int i = 1; i <= shape.numParameters; ++i) shape.descriptions[i] = "Parameter " + std::to_string(i);
    best_.assign(shape.numParameters + 1, 0.0);
    return shape;
  }
  double Evaluate(std::span<double> values, int32_t nf) override {
    double sum = 0;
    for (std::size_t i = 1; i < values.size(); ++i) sum += (values[i] - 1) * (values[i] - 1);
    if (nf == 1 || sum < bestValue_) {
      bestValue_ = sum;
      best_.assign(values.begin(), values.end());
    }
    return sum;
  }
  void ResultsSummary(Workspace&, ui::Frontend& frontend) override {
    frontend.Message("Not available", "Results Summary is not available in this build.", ui::style::kInformation);
  }
  double BestObjective() const override { return bestValue_; }
  const std::vector<double>& BestValues() const override { return best_; }

 private:
  double bestValue_ = 0;
  std::vector<double> best_;
};

}  // namespace

void ReportNotAvailable(Workbench& wb, std::string_view caption) {
  wb.ui.Message("Not available", WithoutAccelerator(caption) + " is not available in this build.",
                ui::style::kInformation);
}

void InstallPendingAnalyses(Workbench& wb) {
  MainMenuActions& actions = wb.menu.Actions();
  actions.notAvailable = [&wb](std::string_view caption) { ReportNotAvailable(wb, caption); };
  if (!actions.loadAlgorithm) actions.loadAlgorithm = [&wb] { return LoadStandIn(wb); };
  // Simplex, Marquardt, covariances, priors, evaluation and the model
  // ranking stay empty: the menu answers them with ReportNotAvailable.
}

std::unique_ptr<Model> MakeWorkbenchModel() { return std::make_unique<PendingModel>(); }

}  // namespace kalvex::app
