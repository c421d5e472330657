#include "ranking/RankingText.h"

#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex::ranking {
namespace {

constexpr const char* kScientific = "0.0000E+00";

std::string Scientific(double value) { return FormatNumber(value, kScientific); }

std::string Defined(const std::optional<double>& value, const char* pattern) {
  return value ? FormatNumber(*value, pattern) : kUndefined;
}

}  // namespace

RankGridLine RankGridHeaders(const ModelTable& table) {
  const bool q = table.UsesQAICc();
  return {table.Ranked() ? "Ranked" : "Random", "-ln[L]", "K", q ? "QAICc" : "AICc", q ? "dQAICc" : "dAICc",
          q ? "QAIC Wt" : "AIC Wt", "Algorithm file name", "Covariance file name", "Priors file name", "Notes:"};
}

RankGridLine RankGridRow(const ModelTable& table, int position) {
  const ModelRow& row = table.Shown(position);
  return {RowLabel(position, row.ModelNumber),
          Scientific(row.ModelNegLnL),
          std::to_string(row.ParameterCount),
          Scientific(table.Criterion(row)),
          Defined(row.Delta, kScientific),
          Defined(row.Weight, kScientific),
          row.AlgorithmFile,
          row.CovarianceFile,
          row.PriorsFile,
          row.Notes};
}

std::string RowLabel(int position, int modelNumber) {
  return (position < 10 ? "   " : " ") + std::to_string(position) + (modelNumber < 10 ? ")    " : ")  ") +
         std::to_string(modelNumber);
}

std::string CHatText(double chat) { return "C-hat: " + FormatNumber(chat, "0.000"); }

std::string RankingFileText(const ModelTable& table, std::optional<std::string_view> averageText) {
  TextBuilder text;
  std::string count = RightJustify(FormatNumber(table.Count(), "####0"), 6) + " < Number of models ranked";
  if (table.UsesQAICc()) count += "; C-hat for QAICc calculation: " + FormatNumber(table.CHat(), "0.000");
  text.Line(count);
  text.Line(table.UsesQAICc()
                ? " Model     -nln[L] #Prms       QAICc      dQAICc     QAIC Wt                            Algorithm "
                  "file                           Covariance file  Notes>"
                : " Model     -nln[L] #Prms        AICc       dAICc      AIC Wt                            Algorithm "
                  "file                           Covariance file  Notes>");
  for (int j = 1; j <= table.Count(); ++j) {
    const ModelRow& row = table.Shown(j);
    text.Line(RightJustify(FormatNumber(j, "####0"), 6) + RightJustify(Scientific(row.ModelNegLnL), 12) +
              RightJustify(FormatNumber(row.ParameterCount, "####0"), 6) +
              RightJustify(Scientific(table.Criterion(row)), 12) + RightJustify(Defined(row.Delta, kScientific), 12) +
              RightJustify(Defined(row.Weight, "0.00000"), 12) + "  " + RightJustify(row.AlgorithmFile, 40) + "  " +
              RightJustify(row.CovarianceFile, 40) + "  " + row.Notes);
  }
  if (averageText) {
    text.Line();
    text.Append(*averageText);
    text.Line();
  }
  return text.Text();
}

}  // namespace kalvex::ranking
