#pragma once
// The model behind MODEL: NF = 0 initializes, NF > 0 evaluates, NF = -2
// gives analytical derivatives. NF = -1, the results summary, is the Oskane
// model's own computation (model/Summary.h).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "workspace/Matrix.h"
#include "workspace/Results.h"

namespace kalvex {
namespace ui {
class Frontend;
}
struct Workspace;

// What NF = 0 asks of a model.
struct ModelInitOptions {
  int numSpecies = 1;        // the number chosen in the initialization form
  std::string dataFileName;  // the path box of the form
};

// What NF = 0 publishes.
struct ModelShape {
  int16_t numParameters = 0;
  std::vector<std::string> descriptions;  // 1..numParameters, [0] unused
  int16_t numEstimated = 0;               // parameters the model estimates
  int32_t dataPointCount = 0;             // > 0 for a sum-of-squares objective
};

// An initialization that cannot complete: shown as a message box; the model
// and the workspace keep their previous state.
class InitializationError : public std::runtime_error {
 public:
  InitializationError(std::string title, std::string text, int style = 64)
      : std::runtime_error(text), title_(std::move(title)), style_(style) {}
  const std::string& Title() const { return title_; }
  int Style() const { return style_; }

 private:
  std::string title_;
  int style_;
};

class Model {
 public:
  virtual ~Model() = default;

  // NF = 0. Either completes and replaces the model's data, or throws
  // InitializationError and changes nothing.
  virtual ModelShape Initialize(const ModelInitOptions& options) = 0;
  // A question to put to the user before Initialize with these options,
  // when the data may not suit them (Yes goes on); nullopt: nothing to ask.
  // Data that cannot be read are left for Initialize to report.
  virtual std::optional<std::string> InitializeQuestion(const ModelInitOptions& options) const {
    (void)options;
    return std::nullopt;
  }

  // NF > 0: the objective at values (1-based). The model may correct values
  // in place. Throws NumericFault on a floating-point fault.
  virtual double Evaluate(std::span<double> values, int32_t nf) = 0;

  // A copy with the same data that evaluates on its own, so that a worker
  // thread can hold one; nullptr: the model evaluates on the calling thread
  // only, and grids run there.
  virtual std::unique_ptr<Model> Clone() const { return nullptr; }

  // A copy initialized on the first periods periods of its data only, as
  // from a data file cut after them (a hindcast refits it); nullptr: the
  // model cannot be cut. Throws InitializationError when the cut data
  // cannot be initialized.
  virtual std::unique_ptr<Model> CloneFirstPeriods(int periods) const {
    (void)periods;
    return nullptr;
  }

  // NF > 0 on a clone: the value and the corrections of Evaluate, bit for
  // bit, without keeping the best-fit record (a clone's is never read).
  virtual double EvaluateUnrecorded(std::span<double> values) { return Evaluate(values, 2); }

  // NF = -2: analytical derivatives into gradient and secondDerivatives:
  // the partial derivatives of Evaluate's objective at the (link-expanded)
  // values. EvaluateObjectiveDerivatives turns them into those the analyses
  // use (link groups gathered, priors added). A model without them leaves
  // both as the caller passed them.
  virtual void Derivatives(std::span<const double> values, std::span<double> gradient,
                           Matrix& secondDerivatives) {
    (void)values;
    (void)gradient;
    (void)secondDerivatives;
  }

  // The smallest objective of the current run (the best-fit record).
  virtual double BestObjective() const = 0;
  virtual const std::vector<double>& BestValues() const = 0;

  // A single-precision -ln[L] constant the model suggests at the "Enter
  // constant" prompt; 0: none.
  virtual float SuggestedConstant() const { return 0.0f; }

  // The model ranking reads a sample size when a model reports one.
  virtual int32_t SampleSize() const { return 0; }
};

}  // namespace kalvex
