#include "workspace/Objective.h"

#include <limits>
#include <span>

#include "priors/ComputePriorValue.h"
#include "workspace/NumericFault.h"

namespace kalvex {
namespace {

LinkGroup* FindGroup(std::vector<LinkGroup>& groups, const std::string& code) {
  for (LinkGroup& g : groups)
    if (g.Code == code) return &g;
  return nullptr;
}

// The same test as code == kUnlinked without a call: the link expansion
// asks it of every parameter before every evaluation.
bool IsUnlinked(const std::string& code) { return code.size() == 2 && code[0] == '~' && code[1] == '~'; }

}  // namespace

void NormalizeLinks(Workspace& ws) {
  AlgorithmData& alg = ws.Alg;
  ws.LinkGroups.clear();
  for (int i = 1; i <= alg.NumParameters; ++i) {
    if (alg.Links[i] == kUnlinked) continue;
    if (LinkGroup* group = FindGroup(ws.LinkGroups, alg.Links[i])) {
      ++group->MemberCount;
      alg.Steps[i] = 0;
      alg.Values[i] = group->LeaderValue;
    } else {
      ws.LinkGroups.push_back({alg.Links[i], 1, alg.Values[i]});
    }
  }
  for (const LinkGroup& group : ws.LinkGroups) {
    if (group.MemberCount != 1) continue;
    for (int i = 1; i <= alg.NumParameters; ++i) {
      if (alg.Links[i] == group.Code) {
        alg.Links[i] = kUnlinked;
        break;
      }
    }
  }
}

void ExpandLinks(Workspace& ws, std::vector<double>& vector) {
  AlgorithmData& alg = ws.Alg;
  // Most parameter sets link nothing: then one quick pass is all there is to do.
  int firstLinked = 1;
  while (firstLinked <= alg.NumParameters && IsUnlinked(alg.Links[firstLinked])) ++firstLinked;
  if (firstLinked > alg.NumParameters) return;
  bool evaluating = ws.PosteriorEvaluationActive == kOn || ws.ProfileEvaluationActive == kOn;
  // Groups are few; a linear search over the codes seen keeps this allocation-free
  // in the common case of no links.
  struct Seen {
    const std::string* code;
    double value;
  };
  thread_local std::vector<Seen> seen;
  seen.clear();
  for (int a = firstLinked; a <= alg.NumParameters; ++a) {
    if (IsUnlinked(alg.Links[a])) continue;
    Seen* group = nullptr;
    for (Seen& s : seen)
      if (*s.code == alg.Links[a]) group = &s;
    bool drivesGroup = evaluating && alg.Steps[a] == 0 && a == ws.EvaluatedParameter;
    if (drivesGroup) {
      if (group)
        group->value = vector[a];
      else
        seen.push_back({&alg.Links[a], vector[a]});
    } else if (group) {
      vector[a] = group->value;
      alg.Steps[a] = 0;
    } else {
      seen.push_back({&alg.Links[a], vector[a]});
    }
  }
}

void CollectFreeParameters(Workspace& ws) {
  const AlgorithmData& alg = ws.Alg;
  FreeParameters& free = ws.Free;
  free = FreeParameters{};
  for (int i = 1; i <= alg.NumParameters; ++i) {
    if (alg.Steps[i] == 0) continue;
    free.FreeValues.push_back(alg.Values[i]);
    free.FreeSteps.push_back(alg.Steps[i]);
    free.FreeIndex.push_back(static_cast<int16_t>(i));
    ++free.FreeCount;
  }
  ws.EvaluationResultsOutOfDate = true;
}

double EvaluateObjective(Workspace& ws, std::vector<double>& vector) {
  if (ws.FunctionCallCount == std::numeric_limits<int32_t>::max()) throw NumericFault(kOverflow);
  ++ws.FunctionCallCount;
  return EvaluateObjectiveWithCode(ws, vector, ws.FunctionCallCount);
}

double EvaluateObjectiveWithCode(Workspace& ws, std::vector<double>& vector, int32_t nf) {
  ExpandLinks(ws, vector);
  double value = ws.model->Evaluate(std::span<double>(vector), nf);
  if (ws.PriorsActive == kOn) {
    ComputePriorValue(ws, vector);
    value += ws.PriorValue;
  }
  return CheckFinite(value);
}

}  // namespace kalvex
