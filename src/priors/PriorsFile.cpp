#include "priors/PriorsFile.h"

#include <cctype>
#include <cmath>

#include "priors/PriorRules.h"
#include "workspace/Format.h"
#include "workspace/PriorTable.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

constexpr const char* kBayesTitle = kPriorsFileTitle;
constexpr int kFieldWidth = 11;

// Characters start..start+length-1 (1-based) of line, as far as it reaches.
std::string Columns(const std::string& line, std::size_t start, std::size_t length) {
  if (start > line.size()) return {};
  return line.substr(start - 1, length);
}

std::string TrimBlanks(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

PriorEntry ParseLine(const std::string& line) {
  PriorEntry entry;
  entry.TypeLetters = Columns(line, 7, 1);
  // A blank type column is no type, as a line too short to reach it.
  if (entry.TypeLetters == " ") entry.TypeLetters.clear();
  for (char& c : entry.TypeLetters) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  entry.FirstTerm = Val(Columns(line, 8, kFieldWidth));
  entry.SecondTerm = Val(Columns(line, 19, kFieldWidth));
  entry.ThirdTerm = PriorText(TrimBlanks(Columns(line, 30, kFieldWidth)));
  entry.FourthTerm = PriorText(TrimBlanks(Columns(line, 41, kFieldWidth)));
  return entry;
}

// The rule a line of a file breaks: the number columns of a type that uses
// them must hold numbers, then the editor's rules.
std::optional<std::string> BrokenLineRule(const std::string& line, const PriorEntry& entry) {
  const char letter = LetterOf(entry);
  if (letter == 'U' || kPriorLetters.find(letter) == std::string_view::npos) return std::nullopt;
  if (!ParseNumber(Columns(line, 8, kFieldWidth))) return "the first term (columns 8-18) is not a number";
  if (!ParseNumber(Columns(line, 19, kFieldWidth))) return "the second term (columns 19-29) is not a number";
  return BrokenPriorRule(entry);
}

// A variant as its field: numbers (and texts that read as numbers) in the
// number form, any other text as it is.
std::string VariantField(const PriorVariant& term) {
  if (term.number) return PriorFileNumber(*term.number);
  return RightJustify(term.text, kFieldWidth);
}

}  // namespace

PriorsParseResult ParsePriorsLines(const std::vector<std::string>& lines, int numParameters, PriorTable& table) {
  PriorsParseResult result;
  result.fileCount = lines.empty() ? 0.0 : Val(lines[0]);
  if (result.fileCount != numParameters) {
    result.status = PriorsFileStatus::CountMismatch;
    return result;
  }
  PriorTable read = table;
  read.resize(static_cast<std::size_t>(numParameters) + 1);
  for (int i = 1; i <= numParameters; ++i) {
    if (i >= static_cast<int>(lines.size())) {
      result.status = PriorsFileStatus::Short;
      break;
    }
    read[i] = ParseLine(lines[i]);
    // A number past the largest double would be written back as "Inf".
    if (!std::isfinite(read[i].FirstTerm) || !std::isfinite(read[i].SecondTerm)) {
      result.status = PriorsFileStatus::OutOfRange;
      return result;
    }
    if (std::optional<std::string> rule = BrokenLineRule(lines[i], read[i])) {
      result.status = PriorsFileStatus::BrokenRule;
      result.rule = "parameter " + std::to_string(i) + " (" + DistributionName(read[i].TypeLetters) + "): " + *rule;
      return result;
    }
    result.linesRead = i;
  }
  table = std::move(read);
  return result;
}

std::string PriorFileNumber(double value) {
  // The sign takes the place of the leading blank, so the field keeps its 11 columns.
  if (value < 0) return RightJustify("-" + FormatNumber(-value, "0.000E+000"), kFieldWidth);
  return RightJustify(FormatNumber(value, " 0.000E+000"), kFieldWidth);
}

std::string PriorsFileText(const PriorTable& table, int numParameters) {
  TextBuilder text;
  text.Line(std::to_string(numParameters));
  for (int i = 1; i <= numParameters; ++i) {
    const PriorEntry& entry = table[i];
    // An empty letter keeps its column as a blank.
    std::string letter = entry.TypeLetters.empty() ? std::string(" ") : entry.TypeLetters.substr(0, 1);
    text.Line(RightJustify(std::to_string(i), 3) + "   " + letter + PriorFileNumber(entry.FirstTerm) +
              PriorFileNumber(entry.SecondTerm) + VariantField(entry.ThirdTerm) + VariantField(entry.FourthTerm) +
              "   " + DistributionName(entry.TypeLetters));
  }
  return text.Text();
}

PriorsReadOutcome ReadPriorsFile(Workspace& ws, ui::Frontend& ui, const std::string& path,
                                 PriorsCountMismatch mismatch) {
  PriorsReadOutcome outcome;
  const int n = ws.Alg.NumParameters;
  TextLimits limits;
  limits.maxLines = static_cast<std::size_t>(n) + 1;  // what follows the table is not read
  limits.maxLineLength = 4096;
  ReadResult read = ReadTextLines(path, limits);
  if (!read.ok) {
    ui.Message(kBayesTitle, "Bayesian priors file " + path + " could not be read: " + read.error,
               ui::style::kCritical);
    return outcome;
  }
  PriorTable table = ws.Priors;
  outcome.parse = ParsePriorsLines(read.lines, n, table);
  if (outcome.parse.status == PriorsFileStatus::OutOfRange) {
    ui.Message(kBayesTitle,
               "Bayesian priors file " + path + " could not be read: line " +
                   std::to_string(outcome.parse.linesRead + 2) + " holds a number out of range",
               ui::style::kCritical);
    return outcome;
  }
  if (outcome.parse.status == PriorsFileStatus::BrokenRule) {
    ui.Message(kBayesTitle,
               "Bayesian priors file " + path + " could not be read: line " +
                   std::to_string(outcome.parse.linesRead + 2) + ", " + outcome.parse.rule,
               ui::style::kCritical);
    return outcome;
  }
  outcome.opened = true;
  if (outcome.parse.status == PriorsFileStatus::CountMismatch) {
    const std::string counts = "Bayesian priors file  " + path + "  has " + GeneralNumber(outcome.parse.fileCount) +
                               " parameters, but your model specifies " + std::to_string(n) + ".\r\n";
    if (mismatch == PriorsCountMismatch::Refuse) {
      ui.Message(kBayesTitle, counts + "The priors have not been loaded.", ui::style::kCritical);
      return outcome;
    }
    ui.Message(kBayesTitle, counts + "Therefore default (uniform-unbounded) priors have been loaded instead.",
               ui::style::kCritical + ui::style::kInformation);
    ResetPriorTable(ws);
    ws.PriorsActive = kOff;
    return outcome;
  }
  ws.Priors = std::move(table);
  ApplyPriorsActiveRule(ws);
  return outcome;
}

std::optional<std::string> SavePriorsFile(Workspace& ws, const std::string& path) {
  if (std::optional<std::string> error = SaveTextFile(path, PriorsFileText(ws.Priors, ws.Alg.NumParameters)))
    return error;
  ws.PriorsFileName = path;
  return std::nullopt;
}

PriorsSaveOutcome WritePriorsFile(Workspace& ws, ui::Frontend& ui, PriorsFileVariant variant) {
  ui::FileDialog dialog;
  dialog.title = "Save Bayesian priors file in...";
  dialog.filter = "All files (*.*)|*.*|Bayesian prior files (*.pri)|*.pri";
  dialog.filterIndex = 2;
  dialog.overwritePrompt = true;
  if (ws.PriorsFileName.empty()) {
    ui::LocalDateTime now = ui.Now();
    dialog.fileName = DateTimeFileName(now.month, now.day, now.hour, now.minute, ".pri");
  } else {
    dialog.fileName = ws.PriorsFileName;
  }
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return PriorsSaveOutcome::Cancelled;
  if (std::optional<std::string> error = SavePriorsFile(ws, *path)) {
    ui.Message("Save failed", "The Bayesian priors could not be saved in " + *path + "\r\n\r\n" + *error,
               ui::style::kCritical);
    return PriorsSaveOutcome::Failed;
  }
  ui.SetStatus(1, 2, variant == PriorsFileVariant::MainMenu ? "Bayesian priors file: " + *path
                                                            : PriorsStatusText(*path));
  return PriorsSaveOutcome::Saved;
}

std::string PriorsStatusText(const std::string& path) {
  std::string name = path.substr(path.find_last_of("/\\") + 1);
  return "Bayesian priors file: " + (name.size() > 4 ? name.substr(0, name.size() - 4) : std::string());
}

}  // namespace kalvex
