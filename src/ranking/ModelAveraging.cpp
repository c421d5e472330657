#include "ranking/ModelAveraging.h"

#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"

namespace kalvex::ranking {

AveragingResult AverageModels(const AveragingInput& input) {
  const int n = input.numParameters;
  const std::size_t models = input.models.size();
  std::array<bool, kGrids> missing{};
  for (const CovarianceEstimates& model : input.models)
    for (int g = 0; g < kGrids; ++g) missing[g] = missing[g] || model.gridMissing[g];
  AveragingResult result;
  result.average.assign(static_cast<std::size_t>(n) + 1, 0.0);
  result.averageSE.assign(static_cast<std::size_t>(n) + 1, {0.0, 0.0, 0.0});
  for (int p = 1; p <= n; ++p) {
    double& average = result.average[p];
    for (std::size_t i = 0; i < models; ++i) average += input.weights[i] * input.models[i].estimate[p];
    CheckFinite(average);
    for (int g = 0; g < kGrids; ++g) {
      double& se = result.averageSE[p][g];
      if (missing[g]) {
        se = -1;
        continue;
      }
      for (std::size_t i = 0; i < models; ++i) {
        const double own = input.models[i].se[p][g];
        const double spread = input.models[i].estimate[p] - average;
        se += input.weights[i] * SafeSqrt(input.chat * (own * own) + spread * spread);
      }
      CheckFinite(se);
    }
  }
  return result;
}

std::string AveragingText(const AveragingResult& result) {
  TextBuilder text;
  text.Line("Parameter estimates and their SEs resulting from averaging across all ranked models.");
  text.Line("Each model contributes to the reported averages according to its AIC Weight.");
  text.Line("SEs will report a value of -1 if any model is missing an estimate for SE.");
  text.Line();
  text.Line("Parameter_#  Parameter_Value     SEs_Grid_#1     SEs_Grid_#2     SEs_Grid_#3");
  auto field = [](double value) { return RightJustify(FormatNumber(value, "0.0000E+00"), 16); };
  for (std::size_t p = 1; p < result.average.size(); ++p) {
    const auto& se = result.averageSE[p];
    text.Line(RightJustify(FormatNumber(static_cast<double>(p), "##0"), 11) + " " + field(result.average[p]) +
              field(se[0]) + field(se[1]) + field(se[2]));
  }
  return text.Text();
}

}  // namespace kalvex::ranking
