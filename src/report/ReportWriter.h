#pragma once
// The whole report made and saved: the analyses' files and the page, all
// staged beside their targets and moved into place together, none when one
// fails. kalvex-batch report writes what its run computed; the workbench's
// "Save report..." writes what the session has computed.
#include <optional>
#include <string>
#include <vector>

#include "report/HtmlReport.h"
#include "report/ReportDocument.h"
#include "report/ReportFiles.h"

namespace kalvex::ui {
class Frontend;
}

namespace kalvex::report {

struct MadeReport {
  ReportDocument document;
  std::vector<ReportFile> files;  // the analyses' files, then the page
};

MadeReport MakeReport(const SessionResults& results, const ReportNames& names, const ReportStamp& stamp,
                      const SvgEncoder& encode);

// "The covariances could not be saved to PATH: reason", or nullopt when
// every file was saved. A file that is one of inputs (the data, algorithm
// and priors files the report was made from) is not replaced: nothing is
// saved and the message says which.
std::optional<std::string> SaveReportFiles(const std::vector<ReportFile>& files,
                                           const std::vector<std::string>& inputs = {});

// "2024-05-01 14:03" of the front end's clock.
std::string ReportDate(const ui::Frontend& ui);

}  // namespace kalvex::report
