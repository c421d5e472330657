#pragma once
// A workspace of n parameters on a sum-of-squares model, with algorithm
// data, for the priors tests.
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "support/TestModels.h"
#include "workspace/PriorTable.h"
#include "workspace/Workspace.h"

namespace kalvex::testing {

inline Workspace PriorsWorkspace(int n) {
  auto model = std::make_unique<FunctionModel>(n, [](std::span<double> v) {
    double s = 0;
    for (std::size_t i = 1; i < v.size(); ++i) s += v[i] * v[i];
    return s;
  });
  Workspace ws(std::move(model));
  InitializeModel(ws, {});
  SetDefaultAlgorithmData(ws);
  ws.AlgorithmFileName = "test.alg";
  return ws;
}

inline PriorEntry Prior(const char* letter, double first, double second, PriorVariant third = UnusedTerm(),
                        PriorVariant fourth = UnusedTerm()) {
  return PriorEntry{letter, first, second, std::move(third), std::move(fourth)};
}

// The bytes of a file.
inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kalvex::testing
