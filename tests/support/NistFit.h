#pragma once
// Fitting a NIST problem with either minimizer through a front end that
// never blocks: every question is answered No, every box OK.
#include <string>
#include <vector>

#include "minimize/MinimizeResult.h"
#include "support/NistProblem.h"
#include "support/ScriptedFrontend.h"

namespace kalvex::testing {

// A scripted front end without a script: records what was shown and
// answers Yes/No questions with No (stop at a limit, do not show derivatives).
class QuietFrontend : public ui::ScriptedFrontend {
 public:
  ui::Answer Message(std::string_view title, std::string_view text, int style) override;
};

enum class Minimizer { Simplex, Marquardt };

struct NistFitOptions {
  Minimizer minimizer = Minimizer::Marquardt;
  int start = 1;                  // NIST start 1 or 2
  double stepFraction = 0.1;      // step = fraction x |start value| (fraction for a start of 0)
  double tolerance = -1e-12;      // negative: relative
  int32_t maxFunctionCalls = 20000;  // Simplex calls, Marquardt iterations
  bool analytical = false;        // Marquardt on the model's exact derivatives ("A")
};

struct NistFitResult {
  MinimizeResult run;
  std::vector<double> values;     // 0-based fitted parameters
  std::vector<double> lre;        // per parameter, like terms of a sum in the certified order
                                  // (Lanczos, MGH17, Gauss)
  double minLre = 0;
  double rssLre = 0;
  std::vector<std::string> titles;  // the boxes shown
};

NistFitResult FitNist(const std::string& name, const NistFitOptions& options);

}  // namespace kalvex::testing
