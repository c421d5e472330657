#include "workflow/SessionReport.h"

#include "report/ReportWriter.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

std::optional<std::string> SaveSessionReport(const Workspace& ws, ui::Frontend& ui, report::SessionResults session,
                                             const report::SvgEncoder& encode, const std::string& program) {
  namespace style = ui::style;
  if (!ws.InitializeAlready) {
    ui.Message(kSaveReportTitle, "There is nothing to report yet: initialize the model and run an analysis first",
               style::kExclamation);
    return std::nullopt;
  }
  ui::FileDialog dialog;
  dialog.title = "Save report as...";
  dialog.filter = "All files (*.*)|*.*|Reports (*.html)|*.html";
  dialog.filterIndex = 2;
  dialog.fileName = "report.html";
  dialog.overwritePrompt = true;
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return std::nullopt;
  session.sources = {ws.DataFileName, ws.AlgorithmFileName, ws.PriorsActive == kOn ? ws.PriorsFileName : ""};
  session.descriptions = ws.Alg.Descriptions;
  const report::ReportNames names(*path);
  const report::MadeReport made = report::MakeReport(session, names, {report::ReportDate(ui), program}, encode);
  if (std::optional<std::string> error =
          report::SaveReportFiles(made.files, {ws.DataFileName, ws.AlgorithmFileName, ws.PriorsFileName})) {
    ui.Message("Save failed", *error, style::kCritical);
    return std::nullopt;
  }
  std::string text = "The report and the files of its analyses were saved:\r\n\r\n" + *path;
  if (!made.document.warnings.empty())
    text += "\r\n\r\nIt begins with " + std::to_string(made.document.warnings.size()) + " warning" +
            (made.document.warnings.size() == 1 ? "" : "s") + ".";
  ui.Message(kSaveReportTitle, text, style::kInformation);
  return path;
}

}  // namespace kalvex
