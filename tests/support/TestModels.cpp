#include "support/TestModels.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kalvex::testing {

FunctionModel::FunctionModel(int numParameters, Objective objective)
    : numParameters_(numParameters), objective_(std::move(objective)) {}

ModelShape FunctionModel::Initialize(const ModelInitOptions&) {
  ModelShape shape;
  shape.numParameters = static_cast<int16_t>(numParameters_);
  shape.numEstimated = shape.numParameters;
  shape.descriptions.assign(numParameters_ + 1, "");
  for (int i = 1; i <= numParameters_; ++i) shape.descriptions[i] = "Parameter " + std::to_string(i);
  bestValues_.assign(numParameters_ + 1, 0.0);
  return shape;
}

double FunctionModel::Evaluate(std::span<double> values, int32_t nf) {
  callCodes.push_back(nf);
  double value = objective_(values);
  if (nf == 1 || value < best_) {
    best_ = value;
    bestValues_.assign(values.begin(), values.end());
  }
  return value;
}

std::string TestData(const std::string& name) { return std::string(KALVEX_TEST_DATA) + "/" + name; }

std::string TempDir() {
  static std::string dir = [] {
    std::string base = (std::filesystem::temp_directory_path() / "kalvex-test-XXXXXX").string();
    std::string created = mkdtemp(base.data()) ? base : std::string("/tmp");
    std::atexit([] {});
    return created;
  }();
  return dir;
}

}  // namespace kalvex::testing
