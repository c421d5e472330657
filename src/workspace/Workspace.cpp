#include "workspace/Workspace.h"

#include <cmath>

#include "workspace/Format.h"

namespace kalvex {

Workspace::Workspace() = default;

Workspace::Workspace(std::unique_ptr<Model> m) : model(std::move(m)) {}

bool Workspace::AnyPriorSet() const {
  for (std::size_t i = 1; i < Priors.size(); ++i)
    if (Priors[i].TypeLetters != "U") return true;
  return false;
}

void SetDefaultAlgorithmData(Workspace& ws) {
  AlgorithmData& alg = ws.Alg;
  std::size_t size = static_cast<std::size_t>(alg.NumParameters) + 1;
  alg.Values.assign(size, 0.0);
  alg.Steps.assign(size, 0.0);
  alg.Links.assign(size, kUnlinked);
  alg.Descriptions.resize(size);
  alg.Tolerance = 1e-6;
  alg.MaxFunctionCalls = 9999;
  alg.TerminalFrequency = 10;
  alg.FileFrequency = 0;
  alg.OutputFileName = "minimize.kvl";
  alg.ReductionFraction = 0.1;
}

void NormalizeTolerance(AlgorithmData& alg) {
  if (alg.Tolerance != 0 && std::fabs(alg.Tolerance) < 1e-6)
    alg.Tolerance = alg.Tolerance < 0 ? -1e-6 : 1e-6;
}

std::string DateTimeFileName(int month, int day, int hour, int minute, std::string_view extension) {
  return FormatNumber(month, "00") + FormatNumber(day, "00") + FormatNumber(hour, "00") + FormatNumber(minute, "00") +
         std::string(extension);
}

void InitializeModel(Workspace& ws, const ModelInitOptions& options) {
  ModelShape shape = ws.model->Initialize(options);  // throws, leaving everything as it was

  AlgorithmData& alg = ws.Alg;
  alg.NumParameters = shape.numParameters;
  std::size_t size = static_cast<std::size_t>(shape.numParameters) + 1;
  alg.Descriptions = shape.descriptions;
  alg.Descriptions.resize(size);
  alg.Values.assign(size, 0.0);
  alg.Steps.assign(size, 0.0);
  alg.Links.assign(size, kLinkPlaceholder);
  ws.NumSpecies = static_cast<int16_t>(options.numSpecies);
  ws.NumEstimated = shape.numEstimated;
  ws.DataPointCount = shape.dataPointCount;
  if (!options.dataFileName.empty()) ws.DataFileName = options.dataFileName;
  std::string name = ws.DataFileName.substr(ws.DataFileName.find_last_of("/\\") + 1);
  ws.DataFileTitle = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();

  ws.PriorsFileName.clear();
  ws.PriorsActive = kOff;
  ws.CovarianceResultsValid = kOff;
  ws.SimplexStateKept = false;
  ws.Priors.assign(size, PriorEntry{});
  ws.PriorTerms.assign(size, 0.0);
  ws.PriorValue = 0;
  ws.LinkGroups.clear();
  ws.Free = FreeParameters{};
  ws.InitializeAlready = true;
}

}  // namespace kalvex
