#include "app/PendingAnalyses.h"

#include "app/SummaryWindow.h"
#include "app/Workbench.h"
#include "model/OskaneModel.h"

namespace kalvex::app {
namespace {

std::string WithoutAccelerator(std::string_view caption) {
  std::string text;
  for (char c : caption)
    if (c != '&') text += c;
  return text;
}

}  // namespace

void ReportNotAvailable(Workbench& wb, std::string_view caption) {
  wb.ui.Message("Not available", WithoutAccelerator(caption) + " is not available in this build.",
                ui::style::kInformation);
}

void InstallPendingAnalyses(Workbench& wb) {
  MainMenuActions& actions = wb.menu.Actions();
  actions.notAvailable = [&wb](std::string_view caption) { ReportNotAvailable(wb, caption); };
  InstallResultsSummary(wb);
  // Every analysis is built: notAvailable answers only a missing load or save hook.
}

std::unique_ptr<Model> MakeWorkbenchModel() { return MakeOskaneModel(); }

}  // namespace kalvex::app
