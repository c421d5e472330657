#pragma once
// A small workspace over a function model, and a scripted front end that
// keeps every text a pane was given.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "workspace/Objective.h"
#include "workspace/Workspace.h"

namespace kalvex::testing {

class RecordingFrontend : public ui::ScriptedFrontend {
 public:
  void SetPaneText(std::string_view form, std::string_view pane, std::string_view text) override {
    ScriptedFrontend::SetPaneText(form, pane, text);
    paneHistory[std::string(form) + "." + std::string(pane)].emplace_back(text);
  }
  const std::vector<std::string>& History(const std::string& key) { return paneHistory[key]; }
  std::map<std::string, std::vector<std::string>> paneHistory;
};

// A workspace with algorithm data over values and steps (1-based vectors
// built from the 0-based lists), links normalized and FreeParameters collected.
inline std::unique_ptr<Workspace> MakeWorkspace(FunctionModel::Objective objective, std::vector<double> values,
                                                std::vector<double> steps) {
  int n = static_cast<int>(values.size());
  auto ws = std::make_unique<Workspace>(std::make_unique<FunctionModel>(n, std::move(objective)));
  InitializeModel(*ws, {});
  SetDefaultAlgorithmData(*ws);
  ws->AlgorithmFileName = "test.alg";
  for (int i = 1; i <= n; ++i) {
    ws->Alg.Values[i] = values[i - 1];
    ws->Alg.Steps[i] = steps[i - 1];
  }
  NormalizeLinks(*ws);
  CollectFreeParameters(*ws);
  return ws;
}

inline FunctionModel& ModelOf(Workspace& ws) { return static_cast<FunctionModel&>(*ws.model); }

// sum (v_i - c_i)^2 + offset
inline FunctionModel::Objective Bowl(std::vector<double> centre, double offset = 0) {
  return [centre, offset](std::span<double> v) {
    double s = offset;
    for (std::size_t i = 0; i < centre.size(); ++i) s += (v[i + 1] - centre[i]) * (v[i + 1] - centre[i]);
    return s;
  };
}

// "Note: 4 iterations, ..." -> 4
inline int IterationsInReport(const std::string& text) {
  auto at = text.find("Note: ");
  return at == std::string::npos ? -1 : std::stoi(text.substr(at + 6));
}

}  // namespace kalvex::testing
