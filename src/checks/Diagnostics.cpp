#include "checks/Diagnostics.h"

#include "model/OskaneModel.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::checks {
DiagnosticsOutcome DiagnoseCurrentFit(Workspace& ws) {
  const auto* model = dynamic_cast<const OskaneModel*>(ws.model.get());
  if (!model) return {std::nullopt, "This model keeps no innovations to diagnose."};
  if (model->NumPeriods() - 1 < kMinimumResiduals)
    return {std::nullopt, "The diagnostics need at least " + std::to_string(kMinimumResiduals) +
                              " residuals: a data file of at least " + std::to_string(kMinimumResiduals + 1) +
                              " periods."};
  std::vector<double> values = ws.Alg.Values;
  EvaluateObjectiveWithCode(ws, values, 1);
  Diagnostics d;
  d.series = StandardizedResiduals(model->Data(), model->LastEvaluation());
  d.stats = DiagnoseResiduals(d.series.standardized);
  d.report = DiagnosticsReportText(ReportSources{model->DataFileName(), ws.AlgorithmFileName, ws.PriorsFileName},
                                   d.series, d.stats);
  return {std::move(d), {}};
}

}  // namespace kalvex::checks
