#include "ranking/RankingComputation.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "ranking/CovarianceEstimates.h"
#include "ranking/ModelAveraging.h"
#include "ui/Frontend.h"
#include "ui/ProposedName.h"
#include "ui/RunContext.h"
#include "workspace/NumericFault.h"
#include "workspace/Objective.h"
#include "workspace/Problem.h"
#include "workspace/TextFile.h"

namespace kalvex::ranking {
namespace {

namespace style = ui::style;

constexpr const char* kAddTitle = "Calculate model AICc";
constexpr const char* kAverageTitle = "Can't average models";
constexpr RunDescription kAddModelRun{"", kAddTitle, "", InterruptFlag::None};
constexpr RunDescription kAverageRun{"", kAverageTitle, "", InterruptFlag::None};

// The characters after the last "/" or "\"; the whole name when there is none.
std::string NameOf(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The file's lines as the reader gives them, from the staged files first.
ReadResult ReadCovarianceLines(const std::string& path, const TextLimits& limits, const StagedFiles* staged) {
  if (!staged || !staged->count(path)) return ReadTextLines(path, limits);
  ReadResult read;
  read.ok = read.opened = true;
  read.lines = SplitLines(staged->at(path));
  if (read.lines.size() > limits.maxLines) {
    read.lines.resize(limits.maxLines);
    read.moreLines = true;
  }
  return read;
}

std::optional<CovarianceEstimates> ReadEstimates(ui::Frontend& ui, const ModelRow& row, int numParameters,
                                                 const StagedFiles* staged) {
  TextLimits limits;
  limits.maxLines = static_cast<std::size_t>(CovarianceLayoutLines(numParameters, row.ParameterCount));
  ReadResult read = ReadCovarianceLines(row.CovariancePath, limits, staged);
  if (!read.ok) {
    ui.Message(kAverageTitle, "The covariance file " + row.CovariancePath + " cannot be read: " + read.error,
               style::kCritical);
    return std::nullopt;
  }
  CovarianceParse parse = ParseCovarianceEstimates(read.lines, numParameters, row.ParameterCount);
  if (!parse.ok) {
    ui.Message(kAverageTitle, "The covariance file " + row.CovariancePath + " " + parse.fault, style::kCritical);
    return std::nullopt;
  }
  return std::move(parse.estimates);
}

}  // namespace

std::string CovarianceFileFor(const std::string& algorithmFile) {
  return ui::NamedForAlgorithmFile(algorithmFile, ".cov");
}

std::string PathBeside(const std::string& algorithmFileName, const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos) return name;
  std::size_t cut = algorithmFileName.find_last_of("/\\");
  return cut == std::string::npos ? name : algorithmFileName.substr(0, cut + 1) + name;
}

bool ReadableFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  return std::ifstream(path).is_open();
}

std::optional<std::string> RankingSettings::Validate() const {
  if (!(chat >= 1) || !std::isfinite(chat)) return "C-hat must be a number of at least 1";
  return std::nullopt;
}

bool AddModel(Workspace& ws, ui::Frontend& ui, ModelTable& table, const std::function<bool()>& askConstant,
              const StagedFiles* staged) {
  if (table.Full()) {
    ui.Message("Model limit reached", "Sorry, no more than 99 models can be ranked", style::kOk);
    return false;
  }
  ModelRow row;
  row.AlgorithmFile = NameOf(ws.AlgorithmFileName);
  if (row.AlgorithmFile.empty()) {
    ui.Message(kAddTitle, "There is no algorithm file to add as a model: load or save the algorithm data first",
               style::kInformation);
    return false;
  }
  NormalizeLinks(ws);
  CollectFreeParameters(ws);
  row.ParameterCount = ws.Free.FreeCount;
  row.SampleSize = ws.model->SampleSize();
  if (!SmallSampleTerm(row.ParameterCount, row.SampleSize)) {
    ui.Message(kAddTitle,
               "Model " + row.AlgorithmFile + " estimates " + std::to_string(row.ParameterCount) +
                   " parameters from a sample of " + std::to_string(row.SampleSize) +
                   ": its AICc needs a sample larger than the number of parameters plus 1",
               style::kExclamation);
    return false;
  }
  RunContext run(ws, ui, kAddModelRun);
  run.Activity(1, "One moment please while one function is executed...");
  run.Pump(true);
  Problem problem = ProblemOf(ws);
  bool cancelled = false;  // at the constant: no model is added
  RunOutcome outcome = run.Run([&] {
    double value = problem.EvaluateWithCode(ws.Alg.Values, 1);
    if (askConstant && !askConstant()) {
      cancelled = true;
      return;
    }
    row.ModelNegLnL = CheckFinite(value / ws.ObjectiveScale);
    row.CovarianceFile = CovarianceFileFor(row.AlgorithmFile);
    row.CovariancePath = PathBeside(ws.AlgorithmFileName, row.CovarianceFile);
    if (!ReadableFile(row.CovariancePath) && !(staged && staged->count(row.CovariancePath)))
      row.CovarianceFile = kNoCovarianceFound;
    row.PriorsFile = ws.PriorsActive == kOn && !ws.PriorsFileName.empty() ? NameOf(ws.PriorsFileName) : kNoPriors;
    table.Add(std::move(row));
  });
  return !outcome.faulted && !cancelled;
}

bool RankModels(Workspace& ws, ui::Frontend& ui, ModelTable& table) {
  RunContext run(ws, ui, {"", "Rank competing models", "", InterruptFlag::None});
  return !run.Run([&] { table.Rank(); }).faulted;
}

std::optional<std::string> AverageRankedModels(Workspace& ws, ui::Frontend& ui, const ModelTable& table,
                                               const StagedFiles* staged) {
  if (!table.Ranked()) return std::nullopt;  // the weights come from a ranking
  const int count = table.Count();
  for (int i = 1; i <= count; ++i) {
    if (!table.Shown(i).HasCovarianceFile()) {
      ui.Message(kAverageTitle, "Sorry, the covariance file is missing for at least one ranked model", style::kOk);
      return std::nullopt;
    }
  }
  AveragingInput input;
  input.numParameters = ws.Alg.NumParameters;
  input.chat = table.CHat();
  for (int i = 1; i <= count; ++i) {
    const ModelRow& row = table.Shown(i);
    std::optional<CovarianceEstimates> estimates = ReadEstimates(ui, row, input.numParameters, staged);
    if (!estimates) return std::nullopt;
    input.weights.push_back(*row.Weight);
    input.models.push_back(std::move(*estimates));
  }
  std::string text;
  RunContext run(ws, ui, kAverageRun);
  if (run.Run([&] { text = AveragingText(AverageModels(input)); }).faulted) return std::nullopt;
  return text;
}

}  // namespace kalvex::ranking
