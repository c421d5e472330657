#include "support/NistProblem.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <regex>
#include <stdexcept>

#include "workspace/ForwardDerivatives.h"
#include "workspace/Format.h"
#include "workspace/NumericFault.h"
#include "workspace/TextFile.h"

namespace kalvex::testing {
namespace {

double ParseDouble(const std::string& text) {
  if (std::optional<double> value = ParseNumber(text)) return *value;
  throw std::runtime_error("not a number: " + text);
}

// The blank-separated numbers of a line; empty when any field is not one.
std::vector<double> Numbers(const std::string& line) {
  std::vector<double> numbers;
  for (std::size_t at = line.find_first_not_of(" \t"); at != std::string::npos;
       at = line.find_first_not_of(" \t", at)) {
    std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    std::optional<double> value = ParseNumber(line.substr(at, end - at));
    if (!value) return {};
    numbers.push_back(*value);
    at = end;
  }
  return numbers;
}

}  // namespace

std::string NistPath(const std::string& name) { return std::string(KALVEX_NIST) + "/" + name + ".dat"; }

NistProblem ReadNistProblem(const std::string& path) {
  ReadResult read = ReadTextLines(path);
  if (!read.ok) throw std::runtime_error("cannot read " + path + ": " + read.error);
  NistProblem problem;
  std::string file = path.substr(path.find_last_of('/') + 1);
  problem.name = file.substr(0, file.rfind('.'));

  static const std::regex parameterLine(R"(^\s*b(\d+)\s*=\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s*$)");
  static const std::regex rssLine(R"(^\s*Residual Sum of Squares:\s*(\S+))");
  bool inData = false;
  for (const std::string& line : read.lines) {
    std::smatch match;
    if (inData) {
      if (std::vector<double> fields = Numbers(line); fields.size() >= 2) {
        problem.y.push_back(fields[0]);
        problem.x.push_back(fields[1]);
        if (fields.size() >= 3) problem.x2.push_back(fields[2]);
      }
    } else if (std::regex_match(line, match, parameterLine)) {
      problem.start1.push_back(ParseDouble(match[2]));
      problem.start2.push_back(ParseDouble(match[3]));
      problem.certified.push_back(ParseDouble(match[4]));
      problem.certifiedSd.push_back(ParseDouble(match[5]));
    } else if (std::regex_search(line, match, rssLine)) {
      problem.certifiedRss = ParseDouble(match[1]);
    } else if (line.rfind("Data:", 0) == 0 && line.find('y') != std::string::npos &&
               line.find("Response") == std::string::npos) {
      inData = true;  // the column header "Data:   y   x"; observations follow
    }
  }
  problem.parameterCount = static_cast<int>(problem.certified.size());
  if (problem.parameterCount == 0 || problem.x.empty()) throw std::runtime_error("no problem in " + path);
  return problem;
}

namespace {

// The model functions in the order of kFunctionNames.
enum Function {
  kMisra1a, kBoxBOD, kMisra1b, kMisra1c, kMisra1d, kChwirut1, kChwirut2, kDanWood, kLanczos1, kLanczos2,
  kLanczos3, kGauss1, kGauss2, kGauss3, kHahn1, kThurber, kKirby2, kMGH09, kMGH10, kMGH17, kEckerle4,
  kRat42, kRat43, kBennett5, kRoszman1, kENSO, kNelson, kFunctionCount
};
constexpr const char* kFunctionNames[kFunctionCount] = {
    "Misra1a",  "BoxBOD",   "Misra1b", "Misra1c", "Misra1d", "Chwirut1", "Chwirut2", "DanWood",  "Lanczos1",
    "Lanczos2", "Lanczos3", "Gauss1",  "Gauss2",  "Gauss3",  "Hahn1",    "Thurber",  "Kirby2",   "MGH09",
    "MGH10",    "MGH17",    "Eckerle4", "Rat42",  "Rat43",   "Bennett5", "Roszman1", "ENSO",     "Nelson"};

int FunctionOf(const std::string& name) {
  for (int f = 0; f < kFunctionCount; ++f)
    if (name == kFunctionNames[f]) return f;
  return -1;
}

// y = f(b, x) as NIST states it (b 0-based; Nelson's f is log y of two
// predictors), on any scalar type.
template <class T>
T Prediction(int function, const T* b, double x, double x2) {
  using std::atan, std::cos, std::exp, std::pow, std::sin;
  constexpr double pi = std::numbers::pi;
  switch (function) {
    case kMisra1a:
    case kBoxBOD: return T(b[0] * (1.0 - exp(-b[1] * x)));
    case kMisra1b: return T(b[0] * (1.0 - pow(1.0 + b[1] * x / 2.0, -2.0)));
    case kMisra1c: return T(b[0] * (1.0 - pow(1.0 + 2.0 * b[1] * x, -.5)));
    case kMisra1d: return T(b[0] * b[1] * x * pow(1.0 + b[1] * x, -1.0));
    case kChwirut1:
    case kChwirut2: return T(exp(-b[0] * x) / (b[1] + b[2] * x));
    case kDanWood: return T(b[0] * pow(x, b[1]));
    case kLanczos1:
    case kLanczos2:
    case kLanczos3: return T(b[0] * exp(-b[1] * x) + b[2] * exp(-b[3] * x) + b[4] * exp(-b[5] * x));
    case kGauss1:
    case kGauss2:
    case kGauss3:
      return T(b[0] * exp(-b[1] * x) + b[2] * exp(-pow(x - b[3], 2.0) / pow(b[4], 2.0)) +
               b[5] * exp(-pow(x - b[6], 2.0) / pow(b[7], 2.0)));
    case kHahn1:
    case kThurber:
      return T((b[0] + b[1] * x + b[2] * x * x + b[3] * x * x * x) /
               (1.0 + b[4] * x + b[5] * x * x + b[6] * x * x * x));
    case kKirby2: return T((b[0] + b[1] * x + b[2] * x * x) / (1.0 + b[3] * x + b[4] * x * x));
    case kMGH09: return T(b[0] * (x * x + x * b[1]) / (x * x + x * b[2] + b[3]));
    case kMGH10: return T(b[0] * exp(b[1] / (x + b[2])));
    case kMGH17: return T(b[0] + b[1] * exp(-x * b[3]) + b[2] * exp(-x * b[4]));
    case kEckerle4: return T((b[0] / b[1]) * exp(-0.5 * pow((x - b[2]) / b[1], 2.0)));
    case kRat42: return T(b[0] / (1.0 + exp(b[1] - b[2] * x)));
    case kRat43: return T(b[0] / pow(1.0 + exp(b[1] - b[2] * x), 1.0 / b[3]));
    case kBennett5: return T(b[0] * pow(b[1] + x, -1.0 / b[2]));
    case kRoszman1: return T(b[0] - b[1] * x - atan(b[2] / (x - b[3])) / pi);
    case kENSO:
      return T(b[0] + b[1] * cos(2 * pi * x / 12) + b[2] * sin(2 * pi * x / 12) + b[4] * cos(2.0 * pi * x / b[3]) +
               b[5] * sin(2.0 * pi * x / b[3]) + b[7] * cos(2.0 * pi * x / b[6]) + b[8] * sin(2.0 * pi * x / b[6]));
    case kNelson: return T(b[0] - b[1] * x * exp(-b[2] * x2));
  }
  return T(0.0);
}

// The derivative directions: no NIST problem has more than nine parameters.
constexpr int kMostParameters = 9;
using Number = ad::SecondOrder<kMostParameters>;

}  // namespace

NistSumOfSquaresModel::NistSumOfSquaresModel(NistProblem problem)
    : problem_(std::move(problem)), function_(FunctionOf(problem_.name)), response_(problem_.y) {
  if (function_ < 0) throw std::runtime_error("no model function for " + problem_.name);
  if (problem_.parameterCount > kMostParameters) throw std::runtime_error("too many parameters in " + problem_.name);
  if (function_ == kNelson)
    for (double& y : response_) y = std::log(y);
  problem_.x2.resize(problem_.x.size(), 0.0);
}

ModelShape NistSumOfSquaresModel::Initialize(const ModelInitOptions&) {
  ModelShape shape;
  shape.numParameters = static_cast<int16_t>(problem_.parameterCount);
  shape.numEstimated = shape.numParameters;
  shape.dataPointCount = static_cast<int32_t>(problem_.x.size());
  shape.descriptions.assign(problem_.parameterCount + 1, "");
  for (int i = 1; i <= problem_.parameterCount; ++i) shape.descriptions[i] = "b" + std::to_string(i);
  bestValues_.assign(problem_.parameterCount + 1, 0.0);
  return shape;
}

template <class T>
T NistSumOfSquaresModel::SumOfSquares(const T* b) const {
  T sum = T(0.0);
  for (std::size_t k = 0; k < problem_.x.size(); ++k) {
    const T residual = T(response_[k] - Prediction(function_, b, problem_.x[k], problem_.x2[k]));
    sum = sum + residual * residual;
  }
  return sum;
}

double NistSumOfSquaresModel::Evaluate(std::span<double> values, int32_t nf) {
  FloatingPointGuard guard;
  double sum = SumOfSquares(values.data() + 1);
  guard.Check();
  CheckFinite(sum);
  if (nf == 1 || sum < best_) {
    best_ = sum;
    bestValues_.assign(values.begin(), values.end());
  }
  return sum;
}

void NistSumOfSquaresModel::Derivatives(std::span<const double> values, std::span<double> gradient,
                                        Matrix& secondDerivatives) {
  const int p = problem_.parameterCount;
  std::vector<Number> b(kMostParameters, Number(0.0));
  for (int k = 0; k < p; ++k) b[k] = ad::SecondVariable<kMostParameters>(values[k + 1], k);
  const Number sum = SumOfSquares(b.data());
  for (int k = 0; k < p; ++k) {
    gradient[k + 1] = CheckFinite(ad::FirstDerivative<kMostParameters>(sum, k));
    for (int l = k; l < p; ++l)
      secondDerivatives(k + 1, l + 1) = secondDerivatives(l + 1, k + 1) =
          CheckFinite(ad::SecondDerivative<kMostParameters>(sum, k, l));
  }
}

double LogRelativeError(double x, double certified) {
  if (!std::isfinite(x)) return 0;
  double relative = std::fabs(x - certified) / std::fabs(certified);
  if (relative == 0) return 15;
  return std::clamp(-std::log10(relative), 0.0, 15.0);
}

}  // namespace kalvex::testing
