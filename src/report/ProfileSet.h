#pragma once
// The likelihood profiles of several parameters at once, quietly: each is
// the profile the "ML parameter estimate evaluation" runs (the parameter
// held at an odd number of points centred on its value, the other free
// parameters re-minimized by Marquardt at every point from where the
// previous point left them), on a clone of the model of its own, the
// profiles spread over a thread pool. Tables and statistics are the
// evaluation's own, bit for bit, for any number of threads.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "minimize/MarquardtKernel.h"
#include "report/SessionResults.h"

namespace kalvex {
struct Workspace;
}

namespace kalvex::report {

struct ProfileSetSettings {
  int pointCount = 25;  // odd, 3..1001
  Derivatives derivatives = Derivatives::Numerical;
  int threads = 1;
};

struct ProfileOutcome {
  int parameter = 0;
  std::optional<ProfileRecord> profile;
  std::string failure;  // why there is none
};

// The profiles of parameters (each with a non-zero step) around ws's
// values with ws's steps, constant and priors; ws's links normalized. ws is
// only read. pointsDone hears, on the calling thread, how many points of
// all the profiles are done. Results in the order of parameters.
std::vector<ProfileOutcome> ComputeProfiles(const Workspace& ws, const std::vector<int>& parameters,
                                            const ProfileSetSettings& settings,
                                            const std::function<void(int64_t pointsDone)>& pointsDone = {});

}  // namespace kalvex::report
