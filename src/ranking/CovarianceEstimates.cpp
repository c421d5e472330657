#include "ranking/CovarianceEstimates.h"

#include <cmath>
#include <optional>

#include "workspace/Format.h"

namespace kalvex::ranking {
namespace {

// The number in columns first..first + width - 1 (1-based) of a line.
std::optional<double> Field(const std::string& line, int first, int width) {
  if (static_cast<int>(line.size()) < first) return std::nullopt;
  return LeadingNumber(std::string_view(line).substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(width)));
}

std::string Columns(int first, int width, int line) {
  return "columns " + std::to_string(first) + "-" + std::to_string(first + width - 1) + " of line " +
         std::to_string(line);
}

}  // namespace

CovarianceParse ParseCovarianceEstimates(const std::vector<std::string>& lines, int numParameters, int freeCount) {
  CovarianceParse parse;
  CovarianceEstimates& e = parse.estimates;
  e.estimate.assign(static_cast<std::size_t>(numParameters) + 1, 0.0);
  e.se.assign(static_cast<std::size_t>(numParameters) + 1, {0.0, 0.0, 0.0});
  auto fail = [&parse](int line, std::string fault) {
    parse.faultLine = line;
    parse.fault = std::move(fault);
    return parse;
  };
  const int needed = CovarianceLayoutLines(numParameters, freeCount);
  if (static_cast<int>(lines.size()) < needed)
    return fail(static_cast<int>(lines.size()) + 1, "ends after line " + std::to_string(lines.size()) +
                                                        ", where its layout needs " + std::to_string(needed) +
                                                        " lines");
  int line = kCovarianceHeadLines;
  for (int p = 1; p <= numParameters; ++p) {
    ++line;
    std::optional<double> value = Field(lines[line - 1], 7, 14);
    if (!value) return fail(line, "has no estimate in " + Columns(7, 14, line));
    e.estimate[p] = *value;
  }
  line += kCovarianceMiddleLines;
  for (int k = 1; k <= freeCount; ++k) {
    ++line;
    const std::string& text = lines[line - 1];
    std::optional<double> number = Field(text, 1, 3);
    if (!number) return fail(line, "has no parameter number in " + Columns(1, 3, line));
    const double q = std::nearbyint(*number);
    if (q < 1 || q > numParameters)
      return fail(line, "names parameter " + GeneralNumber(q) + " in line " + std::to_string(line) +
                            ", but the model has " + std::to_string(numParameters) + " parameters");
    for (int g = 0; g < kGrids; ++g) {
      const int first = 25 + 18 * g;
      std::optional<double> se = Field(text, first, 14);
      if (!se) return fail(line, "has no standard error in " + Columns(first, 14, line));
      e.se[static_cast<std::size_t>(q)][g] = *se;
      if (*se == -1) e.gridMissing[g] = true;
    }
  }
  parse.ok = true;
  return parse;
}

}  // namespace kalvex::ranking
