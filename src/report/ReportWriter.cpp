#include "report/ReportWriter.h"

#include <filesystem>

#include "ui/Frontend.h"
#include "workspace/Format.h"
#include "workspace/RunFiles.h"

namespace kalvex::report {

MadeReport MakeReport(const SessionResults& results, const ReportNames& names, const ReportStamp& stamp,
                      const SvgEncoder& encode) {
  MadeReport made;
  made.files = AnalysisFiles(results, names);
  made.document = BuildReportDocument(results, names, made.files, stamp);
  made.files.push_back({names.Report(), HtmlReport(made.document, encode), "The report"});
  return made;
}

std::optional<std::string> SaveReportFiles(const std::vector<ReportFile>& files,
                                           const std::vector<std::string>& inputs) {
  // The files beside the report take its name, so a report named after its
  // algorithm file would silently overwrite the start values with the fit.
  for (const ReportFile& file : files)
    for (const std::string& input : inputs) {
      std::error_code error;
      if (!input.empty() && std::filesystem::equivalent(file.path, input, error))
        return "The report's file " + file.path + " would replace " + input +
               ", which the report was made from: save the report under another name. Nothing was saved.";
    }
  RunFiles run;
  for (const ReportFile& file : files) run.Add(file.path, file.content, file.what);
  return run.Save();
}

std::string ReportDate(const ui::Frontend& ui) {
  const ui::LocalDateTime now = ui.Now();
  return FormatNumber(now.year, "0000") + "-" + FormatNumber(now.month, "00") + "-" + FormatNumber(now.day, "00") +
         " " + FormatNumber(now.hour, "00") + ":" + FormatNumber(now.minute, "00");
}

}  // namespace kalvex::report
