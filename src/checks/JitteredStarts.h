#pragma once
// The starts of a jitter analysis: each free parameter's start is its value
// + J x u x max(|value|, |step|), u uniform on (-1, 1), drawn from start k's
// own stream of the seed, so start k is the same whichever thread draws it
// and however many starts there are.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checks/FitMinimizer.h"

namespace kalvex {
class Model;
struct FreeParameters;
}  // namespace kalvex

namespace kalvex::checks {

inline constexpr int kMaxJitterStarts = 100000;

struct JitterSettings {
  int starts = 50;
  double spread = 0.1;  // J
  std::uint64_t seed = 1;
  // How each start is fitted: analytical derivatives are Marquardt's only.
  FitMinimizer minimizer = FitMinimizer::Simplex;
  bool analytical = false;
  // nullopt, or the reason the settings cannot run.
  std::optional<std::string> Validate() const;
};

// A free parameter that must stay within low..high (Omega within 0..1).
struct ParameterRange {
  int freeIndex = 0;  // 1-based, as FreeValues
  double low = 0, high = 1;
};

// The ranges of the free parameters of a model: the Oskane model's Omega,
// when free, within 0..1.
std::vector<ParameterRange> FreeParameterRanges(const Model& model, const FreeParameters& free);

// Start k (1-based) for the free values and steps (1-based, element 0
// unused, as FreeParameters keeps them). A start beyond a range is mirrored
// back into it at the bound it crossed (and held at the bound should the
// mirror overshoot too), so the starts keep their spread near a bound.
std::vector<double> JitteredStart(const std::vector<double>& freeValues, const std::vector<double>& freeSteps,
                                  const std::vector<ParameterRange>& ranges, const JitterSettings& settings, int k);

}  // namespace kalvex::checks
