#pragma once
// The evaluation benchmarks' workspaces: an example initialized with its
// algorithm file, and the runs as kalvex-batch makes them.
#include <string>

#include "algorithm/AlgorithmCommands.h"
#include "evaluation/LikelihoodProfile.h"
#include "evaluation/PosteriorIntegration.h"
#include "model/OskaneModel.h"
#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex::bench {

inline const char* const kExamples[] = {"one_species", "two_species", "three_species"};

// The example's data and algorithm file, with the constant 0.5 (the
// objective is -2 ln L).
inline bool SetUpExample(Workspace& ws, ui::Frontend& ui, int species) {
  const std::string name = std::string(KALVEX_EXAMPLES) + "/" + kExamples[species - 1];
  InitializeModel(ws, ModelInitOptions{species, name + ".dat"});
  if (LoadAlgorithmFile(ws, ui, name + ".alg").status != AlgorithmReadStatus::Read) return false;
  ws.ObjectiveScale = 2;
  return true;
}

// The 2-species example with only its first three parameters free: a
// posterior of parameter 1 integrates the other two.
inline bool SetUpPosteriorExample(Workspace& ws, ui::Frontend& ui) {
  if (!SetUpExample(ws, ui, 2)) return false;
  for (int i = 1; i <= ws.Alg.NumParameters; ++i) ws.Alg.Steps[i] = i <= 3 ? 0.02 : 0.0;
  return true;
}

// One 25-point Simplex profile of parameter 1, leaving the workspace as it found it.
inline EvaluationEnd ProfileRun(Workspace& ws, ui::Frontend& ui) {
  const std::vector<double> values = ws.Alg.Values;
  ws.ProfileEvaluationActive = kOn;
  EvaluationEnd end = RunLikelihoodProfile(ws, ui, {.parameter = 1, .pointCount = 25, .minimizer = 'S'});
  ws.ProfileEvaluationActive = kOff;
  ws.Alg.Values = values;
  return end;
}

// 25 profile points x 201 x 201 grid nodes: 1,010,025 evaluations.
inline EvaluationEnd PosteriorRun(Workspace& ws, ui::Frontend& ui) {
  ws.PosteriorEvaluationActive = kOn;
  EvaluationEnd end = RunPosterior(ws, ui, {.parameter = 1, .pointCount = 25, .gridPointCount = 201});
  ws.PosteriorEvaluationActive = kOff;
  return end;
}
inline constexpr double kPosteriorNodes = 25.0 * 201 * 201;

}  // namespace kalvex::bench
