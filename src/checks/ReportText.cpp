#include "checks/ReportText.h"

#include "workspace/Format.h"

namespace kalvex::checks {

void SourceLines(TextBuilder& text, const ReportSources& sources) {
  text.Line("This name of the data file is:           " + sources.dataFile);
  text.Line("The algorithm data file name is:         " + sources.algorithmFile);
  if (!sources.priorsFile.empty()) text.Line("The Bayesian prior information file name is:   " + sources.priorsFile);
}

std::string Row(std::string label, const std::string& value, int width) {
  label.resize(52, ' ');
  return label + RightJustify(value, width);
}

std::string ProbabilityText(double p) { return p >= 0.0001 ? FormatNumber(p, "0.0000") : FormatNumber(p, "0.00E+00"); }

std::string DescriptionOf(const std::vector<std::string>& descriptions, int parameter) {
  return parameter >= 0 && parameter < static_cast<int>(descriptions.size()) ? descriptions[parameter] : "";
}

std::string ParameterLine(int parameter, const std::string& label, double value, const std::string& description) {
  return "Parameter # " + FormatNumber(parameter, "00") + " " + label + ": " +
         RightJustify(FormatNumber(value, "###########0.0000000  "), 24) + description;
}

}  // namespace kalvex::checks
