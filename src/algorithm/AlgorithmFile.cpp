#include "algorithm/AlgorithmFile.h"

#include <algorithm>
#include <cmath>

#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

// Columns first..first+count-1 (1-based) of a line; shorter lines give what
// they hold, possibly nothing.
std::string Columns(const std::string& line, std::size_t first, std::size_t count) {
  if (line.size() < first) return {};
  return line.substr(first - 1, count);
}

std::string TrimSpaces(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

// Link field: trimmed and upper-cased; anything but letters at both ends
// means unlinked. nullopt for a blank field.
std::optional<std::string> ParseLink(const std::string& field) {
  std::string link = TrimSpaces(field);
  if (link.empty()) return std::nullopt;
  for (char& c : link)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (!IsCapital(link.front()) || !IsCapital(link.back())) return kUnlinked;
  return link;
}

std::optional<int16_t> ParseInt16(const std::string& field) {
  std::optional<double> value = ParseNumber(field);
  return value ? ToInt16(*value) : std::nullopt;
}

std::optional<int32_t> ParseInt32(const std::string& field) {
  std::optional<double> value = ParseNumber(field);
  return value ? ToInt32(*value) : std::nullopt;
}

// The lines of the file in order, remembering whether all were consumed.
class LineCursor {
 public:
  explicit LineCursor(const std::vector<std::string>& lines) : lines_(lines) {}
  const std::string* Next() { return next_ < lines_.size() ? &lines_[next_++] : nullptr; }
  bool AtEnd() const { return next_ >= lines_.size(); }
  std::size_t Taken() const { return next_; }

 private:
  const std::vector<std::string>& lines_;
  std::size_t next_ = 0;
};

// The record proper, field by field; returns false at the first field that
// cannot be read, leaving everything read before it in alg.
class RecordReader {
 public:
  RecordReader(LineCursor& cursor, AlgorithmData& alg) : cursor_(cursor), alg_(alg) {}

  int linesRead = 0;  // lines of the record taken so far
  int expected = 0;   // lines the record should have

  bool ReadCount(int16_t& count) {
    const std::string* line = cursor_.Next();
    if (!line) return false;
    std::optional<int16_t> n = ParseInt16(Columns(*line, 1, 14));
    if (!n) return false;
    count = *n;
    return true;
  }

  bool ReadParameters() {
    for (int i = 1; i <= alg_.NumParameters; ++i) {
      const std::string* line = cursor_.Next();
      if (!line) return false;
      std::optional<double> value = ParseNumber(Columns(*line, 1, 14));
      if (!value) return false;
      alg_.Values[i] = *value;
      std::optional<double> step = ParseNumber(Columns(*line, 17, 14));
      if (!step) return false;
      alg_.Steps[i] = *step;
      std::optional<std::string> link = ParseLink(Columns(*line, 33, 2));
      if (!link) return false;
      alg_.Links[i] = *link;
      ++linesRead;
    }
    return true;
  }

  bool ReadSettings() {
    return ReadSetting([&](const std::string& f) { return Assign(ParseNumber(f), alg_.Tolerance); }) &&
           ReadSetting([&](const std::string& f) { return Assign(ParseInt32(f), alg_.MaxFunctionCalls); }) &&
           ReadSetting([&](const std::string& f) { return Assign(ParseInt16(f), alg_.TerminalFrequency); }) &&
           ReadSetting([&](const std::string& f) { return Assign(ParseInt16(f), alg_.FileFrequency); }) &&
           ReadSetting([&](const std::string& f) {
             alg_.OutputFileName = f;  // as it stands, leading blanks included
             return true;
           }) &&
           ReadSetting([&](const std::string& f) { return Assign(ParseNumber(f), alg_.ReductionFraction); });
  }

  // Lines after the record: only empty ones are allowed.
  void CountTrailingLines() {
    while (const std::string* line = cursor_.Next())
      if (!line->empty()) ++linesRead;
  }

 private:
  template <typename Parse>
  bool ReadSetting(Parse parse) {
    const std::string* line = cursor_.Next();
    if (!line || !parse(Columns(*line, 1, 14))) return false;
    ++linesRead;
    return true;
  }

  template <typename T>
  static bool Assign(const std::optional<T>& parsed, T& target) {
    if (!parsed) return false;
    target = *parsed;
    return true;
  }

  LineCursor& cursor_;
  AlgorithmData& alg_;
};

// Where reading stopped decides the message; a bad field names its line.
void FaultAt(const RecordReader& reader, const LineCursor& cursor, const std::vector<std::string>& lines,
             AlgorithmParseResult& result) {
  if (reader.linesRead > reader.expected) {
    result.fault = AlgorithmFileFault::TooManyLines;
  } else if (!cursor.AtEnd()) {
    result.fault = AlgorithmFileFault::BadlyFormatted;
    result.faultLine = static_cast<int>(cursor.Taken());
    result.faultLineText = lines[cursor.Taken() - 1];
  } else {
    result.fault = AlgorithmFileFault::TooFewLines;
  }
}

void ResizeForRead(AlgorithmData& alg) {
  std::size_t size = static_cast<std::size_t>(alg.NumParameters) + 1;
  alg.Values.assign(size, 0.0);
  alg.Steps.assign(size, 0.0);
  // Unread entries unlinked: an empty code would fuse them into one group.
  alg.Links.assign(size, kUnlinked);
  alg.Descriptions.resize(size);
}

void ShowReaderMessage(ui::Frontend& ui, const std::string& text) {
  bool menuShown = ui.IsWindowOpen("frmMenu");
  if (menuShown) ui.HideWindow("frmMenu");
  ui.Message(kAlgorithmReadFailedTitle, text, ui::style::kInformation);
  if (menuShown) ui.ShowWindow("frmMenu");
}

std::string ScientificPattern(int decimals) { return "0." + std::string(decimals, '0') + "E+00"; }

bool AllFinite(const AlgorithmData& alg) {
  for (int i = 1; i <= alg.NumParameters; ++i)
    if (!std::isfinite(alg.Values[i]) || !std::isfinite(alg.Steps[i])) return false;
  return std::isfinite(alg.Tolerance) && std::isfinite(alg.ReductionFraction);
}

// A blank link would make the file unreadable; blank means unlinked.
std::string LinkForFile(const std::string& link) { return TrimSpaces(link).empty() ? kUnlinked : link; }

}  // namespace

AlgorithmParseResult ParseAlgorithmLines(const std::vector<std::string>& lines, AlgorithmData& alg) {
  LineCursor cursor(lines);
  RecordReader reader(cursor, alg);
  AlgorithmParseResult result;

  int16_t count = 0;
  if (!reader.ReadCount(count)) {
    FaultAt(reader, cursor, lines, result);
    return result;
  }
  result.fileParameterCount = count;
  if (count != alg.NumParameters) {
    result.fault = AlgorithmFileFault::CountMismatch;
    return result;
  }
  reader.expected = count + 7;
  reader.linesRead = 1;
  ResizeForRead(alg);

  if (!reader.ReadParameters() || !reader.ReadSettings()) {
    FaultAt(reader, cursor, lines, result);
    return result;
  }
  reader.CountTrailingLines();
  if (reader.linesRead > reader.expected) {
    result.fault = AlgorithmFileFault::TooManyLines;
    return result;
  }
  alg.FileFrequency = 0;
  return result;
}

std::string AlgorithmFileFaultText(const AlgorithmParseResult& result, const std::string& algorithmFileName,
                                   int16_t numParameters) {
  switch (result.fault) {
    case AlgorithmFileFault::None:
      return {};
    case AlgorithmFileFault::CountMismatch:
      return "Algorithm file  " + algorithmFileName + "  has " + std::to_string(result.fileParameterCount) +
             " parameters, but your model specifies " + std::to_string(numParameters);
    case AlgorithmFileFault::TooManyLines:
      return "Algorithm file seems to have too many lines of information - better check it!";
    case AlgorithmFileFault::BadlyFormatted: {
      // The line as far as a message can show it.
      std::string text = result.faultLineText.substr(0, result.faultLineText.find_last_not_of(' ') + 1);
      if (text.size() > 80) text = text.substr(0, 77) + "...";
      return "Algorithm file seems to have inappropriate, badly formatted, or missing, information - better "
             "check it!\r\nLine " + std::to_string(result.faultLine) + " of " + algorithmFileName +
             " cannot be read: \"" + text + "\"";
    }
    case AlgorithmFileFault::TooFewLines:
      return "Algorithm file seems to have too few lines of information - better check it!";
  }
  return {};
}

AlgorithmReadResult ReadAlgorithmFile(Workspace& ws, ui::Frontend& ui, const std::string& path) {
  AlgorithmReadResult result;
  // The record of the workspace's parameter count, then blank lines only: a
  // thousand of those already make a broken file.
  const TextLimits limits{static_cast<std::size_t>(std::max<int>(ws.Alg.NumParameters, 0)) + 7 + 1000, 4096};
  ReadResult file = ReadTextLines(path, limits);
  if (!file.ok) {
    result.status = AlgorithmReadStatus::OpenFailed;
    result.openError = file.error;
    return result;
  }
  AlgorithmParseResult parsed = ParseAlgorithmLines(file.lines, ws.Alg);
  if (parsed.ok() && file.moreLines) parsed.fault = AlgorithmFileFault::TooManyLines;
  result.fault = parsed.fault;
  if (parsed.ok()) {
    result.status = AlgorithmReadStatus::Read;
    return result;
  }
  result.status = AlgorithmReadStatus::Invalid;
  ShowReaderMessage(ui, AlgorithmFileFaultText(parsed, ws.AlgorithmFileName, ws.Alg.NumParameters));
  return result;
}

std::string CutOutputFileName(const std::string& name) {
  if (name.size() < 15) return name;
  std::string tail = name.substr(name.size() - 14);
  std::size_t separator = tail.find_last_of("/\\");
  return separator == std::string::npos ? tail : tail.substr(separator + 1);
}

std::string FitScientific(double value, int width) {
  std::string text;
  for (int decimals = 7; decimals >= 0; --decimals) {
    text = FormatNumber(value, ScientificPattern(decimals));
    if (static_cast<int>(text.size()) <= width) break;
  }
  return text;
}

std::string AlgorithmFileText(const AlgorithmData& alg, AlgorithmFileVariant variant) {
  const std::string parameterLabel = variant == AlgorithmFileVariant::MainMenu
                                         ? "  Value, step then link for "
                                         : "  Value, step then link for: ";
  TextBuilder text;
  text.Line(RightJustify(FormatNumber(alg.NumParameters, "###0"), 14) + "  Number of parameters");
  for (int i = 1; i <= alg.NumParameters; ++i) {
    const std::string description = static_cast<std::size_t>(i) < alg.Descriptions.size() ? alg.Descriptions[i] : "";
    text.Line(RightJustify(FitScientific(alg.Values[i]), 14) + RightJustify(FitScientific(alg.Steps[i]), 16) +
              RightJustify(LinkForFile(alg.Links[i]), 4) + parameterLabel + description);
  }
  text.Line(RightJustify(FitScientific(alg.Tolerance), 14) + "  Simplex limit (+ for ABS, - for REL)");
  text.Line(RightJustify(FormatNumber(alg.MaxFunctionCalls, "####0"), 14) +
            "  Maximum # of function calls (simplex) or iterations (Marquardt)");
  text.Line(RightJustify(FormatNumber(alg.TerminalFrequency, "####0"), 14) + "  Terminal output frequency");
  text.Line(RightJustify(FormatNumber(alg.FileFrequency, "####0"), 14) + "  File output frequency");
  text.Line(RightJustify(CutOutputFileName(alg.OutputFileName), 14) + "  Name of output file");
  text.Line(RightJustify(FitScientific(alg.ReductionFraction), 14) + "  Step size reduction fraction");
  return text.Text();
}

std::optional<std::string> SaveAlgorithmFile(Workspace& ws, const std::string& path, AlgorithmFileVariant variant) {
  if (!AllFinite(ws.Alg)) return std::string("The algorithm data hold a number that is not finite");
  if (std::optional<std::string> error = SaveTextFile(path, AlgorithmFileText(ws.Alg, variant))) return error;
  ws.Alg.OutputFileName = CutOutputFileName(ws.Alg.OutputFileName);
  ws.AlgorithmFileName = path;
  if (std::optional<std::string> shortName = ShortNameOf(path)) ws.AlgorithmShortName = *shortName;
  return std::nullopt;
}

AlgorithmSaveOutcome WriteAlgorithmFile(Workspace& ws, ui::Frontend& ui, AlgorithmFileVariant variant) {
  ui::FileDialog dialog;
  dialog.title = "Save algorithm data in...";
  dialog.filter = "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|Named for data file (" + ws.DataFileTitle +
                  ".*)|" + ws.DataFileTitle + ".*|";
  dialog.filterIndex = 3;
  dialog.overwritePrompt = true;
  if (ws.AlgorithmFileName.empty()) {
    ui::LocalDateTime now = ui.Now();
    dialog.fileName = DateTimeFileName(now.month, now.day, now.hour, now.minute, ".alg");
  } else {
    dialog.fileName = ws.AlgorithmFileName;
  }
  std::optional<std::string> path = ui.SaveFile(dialog);
  if (!path) return AlgorithmSaveOutcome::Cancelled;

  if (std::optional<std::string> error = SaveAlgorithmFile(ws, *path, variant)) {
    ui.Message(kAlgorithmSaveFailedTitle, "The algorithm data could not be saved in " + *path + "\r\n\r\n" + *error,
               ui::style::kCritical);
    return AlgorithmSaveOutcome::Failed;
  }
  const std::string& shown = variant == AlgorithmFileVariant::MainMenu ? ws.AlgorithmFileName : ws.AlgorithmShortName;
  ui.SetStatus(1, 1, "Algorithm file: " + shown);
  return AlgorithmSaveOutcome::Saved;
}

}  // namespace kalvex
