#include "workspace/Objective.h"

#include <limits>
#include <span>

#include "workspace/ComputePriorValue.h"
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

int FirstLinked(int count, const std::vector<std::string>& links) {
  int first = 1;
  while (first <= count && IsUnlinked(links[first])) ++first;
  return first;
}

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
  if (FirstLinked(alg.NumParameters, alg.Links) > alg.NumParameters) return;
  thread_local LinkScratch scratch;
  const bool evaluating = ws.PosteriorEvaluationActive == kOn || ws.ProfileEvaluationActive == kOn;
  ExpandLinks(alg.NumParameters, alg.Links, alg.Steps, evaluating ? ws.EvaluatedParameter : 0, vector, scratch);
}

void ExpandLinks(int count, const std::vector<std::string>& links, std::vector<double>& steps,
                 int drivingParameter, std::vector<double>& vector, LinkScratch& scratch) {
  const int firstLinked = FirstLinked(count, links);
  if (firstLinked > count) return;
  // Groups are few; a linear search over the codes seen keeps this
  // allocation-free once the scratch has grown.
  std::vector<LinkScratch::Seen>& seen = scratch.seen;
  seen.clear();
  for (int a = firstLinked; a <= count; ++a) {
    if (IsUnlinked(links[a])) continue;
    LinkScratch::Seen* group = nullptr;
    for (LinkScratch::Seen& s : seen)
      if (*s.code == links[a]) group = &s;
    bool drivesGroup = drivingParameter != 0 && steps[a] == 0 && a == drivingParameter;
    if (drivesGroup) {
      if (group)
        group->value = vector[a];
      else
        seen.push_back({&links[a], vector[a]});
    } else if (group) {
      vector[a] = group->value;
      steps[a] = 0;
    } else {
      seen.push_back({&links[a], vector[a]});
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
