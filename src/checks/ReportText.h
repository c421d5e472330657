#pragma once
// Pieces the check reports share: the files a fit belongs to, labelled rows
// with a right-justified value, probabilities and parameter lines.
#include <string>
#include <vector>

#include "workspace/TextFile.h"

namespace kalvex::checks {

struct ReportSources {
  std::string dataFile, algorithmFile, priorsFile;  // priorsFile empty: no priors
};

// The data, algorithm (and priors) file lines as the results summary writes them.
void SourceLines(TextBuilder& text, const ReportSources& sources);

// A label padded to 52 characters, then the value right-justified in width.
std::string Row(std::string label, const std::string& value, int width = 12);

// A probability: four decimals, or in E form below 0.0001.
std::string ProbabilityText(double p);

// A parameter's description ("" past the list).
std::string DescriptionOf(const std::vector<std::string>& descriptions, int parameter);

// The size of the jitter's and the hindcast's pictures, twips.
inline constexpr double kCheckPictureWidth = 9000, kCheckPictureHeight = 6000;

// "Parameter # 03 estimate: " and the value as the results summary prints
// it, then the description.
std::string ParameterLine(int parameter, const std::string& label, double value, const std::string& description);

}  // namespace kalvex::checks
