#include "support/NistProblem.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <regex>
#include <stdexcept>

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

NistFunction NistModelFunction(const std::string& name) {
  using std::cos, std::exp, std::sin, std::pow, std::atan;
  constexpr double pi = std::numbers::pi;
  if (name == "Misra1a" || name == "BoxBOD") return [](const double* b, double x) { return b[0] * (1 - exp(-b[1] * x)); };
  if (name == "Misra1b") return [](const double* b, double x) { return b[0] * (1 - pow(1 + b[1] * x / 2, -2)); };
  if (name == "Misra1c") return [](const double* b, double x) { return b[0] * (1 - pow(1 + 2 * b[1] * x, -.5)); };
  if (name == "Misra1d") return [](const double* b, double x) { return b[0] * b[1] * x * pow(1 + b[1] * x, -1); };
  if (name == "Chwirut1" || name == "Chwirut2")
    return [](const double* b, double x) { return exp(-b[0] * x) / (b[1] + b[2] * x); };
  if (name == "DanWood") return [](const double* b, double x) { return b[0] * pow(x, b[1]); };
  if (name == "Lanczos1" || name == "Lanczos2" || name == "Lanczos3")
    return [](const double* b, double x) { return b[0] * exp(-b[1] * x) + b[2] * exp(-b[3] * x) + b[4] * exp(-b[5] * x); };
  if (name == "Gauss1" || name == "Gauss2" || name == "Gauss3")
    return [](const double* b, double x) {
      return b[0] * exp(-b[1] * x) + b[2] * exp(-pow(x - b[3], 2) / pow(b[4], 2)) +
             b[5] * exp(-pow(x - b[6], 2) / pow(b[7], 2));
    };
  if (name == "Hahn1" || name == "Thurber")
    return [](const double* b, double x) {
      return (b[0] + b[1] * x + b[2] * x * x + b[3] * x * x * x) / (1 + b[4] * x + b[5] * x * x + b[6] * x * x * x);
    };
  if (name == "Kirby2")
    return [](const double* b, double x) { return (b[0] + b[1] * x + b[2] * x * x) / (1 + b[3] * x + b[4] * x * x); };
  if (name == "MGH09")
    return [](const double* b, double x) { return b[0] * (x * x + x * b[1]) / (x * x + x * b[2] + b[3]); };
  if (name == "MGH10") return [](const double* b, double x) { return b[0] * exp(b[1] / (x + b[2])); };
  if (name == "MGH17")
    return [](const double* b, double x) { return b[0] + b[1] * exp(-x * b[3]) + b[2] * exp(-x * b[4]); };
  if (name == "Eckerle4")
    return [](const double* b, double x) { return (b[0] / b[1]) * exp(-0.5 * pow((x - b[2]) / b[1], 2)); };
  if (name == "Rat42") return [](const double* b, double x) { return b[0] / (1 + exp(b[1] - b[2] * x)); };
  if (name == "Rat43")
    return [](const double* b, double x) { return b[0] / pow(1 + exp(b[1] - b[2] * x), 1 / b[3]); };
  if (name == "Bennett5") return [](const double* b, double x) { return b[0] * pow(b[1] + x, -1 / b[2]); };
  if (name == "Roszman1")
    return [pi](const double* b, double x) { return b[0] - b[1] * x - atan(b[2] / (x - b[3])) / pi; };
  if (name == "ENSO")
    return [pi](const double* b, double x) {
      return b[0] + b[1] * cos(2 * pi * x / 12) + b[2] * sin(2 * pi * x / 12) + b[4] * cos(2 * pi * x / b[3]) +
             b[5] * sin(2 * pi * x / b[3]) + b[7] * cos(2 * pi * x / b[6]) + b[8] * sin(2 * pi * x / b[6]);
    };
  return {};
}

NistSumOfSquaresModel::NistSumOfSquaresModel(NistProblem problem)
    : problem_(std::move(problem)), function_(NistModelFunction(problem_.name)) {
  if (!function_) throw std::runtime_error("no model function for " + problem_.name);
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

double NistSumOfSquaresModel::Evaluate(std::span<double> values, int32_t nf) {
  FloatingPointGuard guard;
  const double* b = values.data() + 1;
  double sum = 0;
  for (std::size_t k = 0; k < problem_.x.size(); ++k) {
    double residual = problem_.y[k] - function_(b, problem_.x[k]);
    sum += residual * residual;
  }
  guard.Check();
  CheckFinite(sum);
  if (nf == 1 || sum < best_) {
    best_ = sum;
    bestValues_.assign(values.begin(), values.end());
  }
  return sum;
}

double LogRelativeError(double x, double certified) {
  if (!std::isfinite(x)) return 0;
  double relative = std::fabs(x - certified) / std::fabs(certified);
  if (relative == 0) return 15;
  return std::clamp(-std::log10(relative), 0.0, 15.0);
}

}  // namespace kalvex::testing
