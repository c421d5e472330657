#include "workflow/AlgorithmEditor.h"

#include <cctype>
#include <cmath>

#include "algorithm/MinimizationLog.h"
#include "ui/NumberInput.h"
#include "workspace/Format.h"
#include "workspace/Objective.h"

namespace kalvex {
namespace {

namespace style = ui::style;
using editor::kForm;

constexpr double kChangeThreshold = 1e-10;  // smaller differences are not marked as changes
constexpr double kMinimumTolerance = 1e-6;
const char* const kToleranceTitle = "Change the tolerance for convergence";

std::string GridNumber(double value) { return value == 0 ? "0" : FormatNumber(value, "0.0000E+00"); }

bool IsLinked(const std::string& code) { return code != kUnlinked && code != kLinkPlaceholder; }

std::string Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool EndsInLetter(const std::string& code) {
  return !code.empty() && code.back() >= 'A' && code.back() <= 'Z';
}

const char* SettingControl(EditorSetting setting) {
  switch (setting) {
    case EditorSetting::MaxFunctions: return "txtMaxFunctions";
    case EditorSetting::Reduction: return "txtReduction";
    case EditorSetting::TerminalFrequency: return "txtTerminalFreq";
    case EditorSetting::FileFrequency: return "txtFileFreq";
  }
  return "";
}

}  // namespace

std::optional<std::string> AcceptFuseEntry(std::string_view entry) {
  std::string code = Upper(Trim(entry));
  if (code == kLinkPlaceholder || code == kUnlinked) return kUnlinked;
  if (code.size() < 1 || code.size() > 2 || !EndsInLetter(code)) return std::nullopt;
  return code;
}

double ProportionalStep(double proportion, double value) {
  return value == 0 ? std::fabs(proportion) : std::fabs(proportion * value);
}

AlgorithmEditor::AlgorithmEditor(Workspace& ws, ui::Frontend& ui) : ws_(ws), ui_(ui) {}

void AlgorithmEditor::Touched() {
  ws_.SimplexStateKept = false;
  ws_.CovarianceResultsValid = kOff;
}

// ---------------------------------------------------------------- filling

void AlgorithmEditor::FillRow(int row) {
  const AlgorithmData& alg = ws_.Alg;
  std::vector<EditorCell>& cells = cells_[row];
  cells[0].text = std::to_string(row);
  cells[editor::kValueColumn].text = GridNumber(alg.Values[row]);
  cells[editor::kStepColumn].text = GridNumber(alg.Steps[row]);
  cells[editor::kFuseColumn].text = alg.Links[row];
  cells[editor::kFuseColumn].linked = IsLinked(alg.Links[row]);
}

void AlgorithmEditor::Fill() {
  if (proportionConstant == 0) proportionConstant = 0.1;
  ui_.SetCaption(kForm, kForm, "Algorithm data file name is:  " + ws_.AlgorithmFileName);
  int rows = ws_.Alg.NumParameters;
  cells_.assign(static_cast<std::size_t>(rows) + 1, std::vector<EditorCell>(4));
  for (int row = 1; row <= rows; ++row) FillRow(row);
  ShowSettings();
}

std::string AlgorithmEditor::ToleranceLabel() const {
  return ws_.Alg.Tolerance >= 0 ? "Absolute tolerance for convergence (TC):"
                                : "Relative tolerance for convergence (TC):";
}

std::string AlgorithmEditor::ToleranceText() const {
  return FormatNumber(std::fabs(ws_.Alg.Tolerance), "0.000E+00");
}

std::string AlgorithmEditor::SettingText(EditorSetting setting) const {
  const AlgorithmData& alg = ws_.Alg;
  switch (setting) {
    case EditorSetting::MaxFunctions: return std::to_string(alg.MaxFunctionCalls);
    case EditorSetting::Reduction: return FormatNumber(alg.ReductionFraction, "0.####");
    case EditorSetting::TerminalFrequency: return std::to_string(alg.TerminalFrequency);
    case EditorSetting::FileFrequency: return std::to_string(alg.FileFrequency);
  }
  return {};
}

void AlgorithmEditor::ShowSettings() {
  ui_.SetCaption(kForm, "lblAbsRel", ToleranceLabel());
  ui_.SetCaption(kForm, "txtAbsRel", ToleranceText());
  for (EditorSetting setting : {EditorSetting::MaxFunctions, EditorSetting::TerminalFrequency,
                                EditorSetting::Reduction})
    ui_.SetCaption(kForm, SettingControl(setting), SettingText(setting));
  bool open = ws_.LogOpen != 0;
  ui_.SetCaption(kForm, "txtFileName", open ? ws_.Alg.OutputFileName : "");
  ui_.SetCaption(kForm, "txtFileFreq", open ? SettingText(EditorSetting::FileFrequency) : "0");
  ShowLogControls(open);
}

void AlgorithmEditor::ShowLogControls(bool open) {
  ui_.SetEnabled(kForm, "lblFileFreq", open);
  ui_.SetEnabled(kForm, "txtFileFreq", open);
  ui_.SetEnabled(kForm, "cmdCloseLog", open);
  ui_.SetEnabled(kForm, "cmdOpenLog", !open);
}

// ---------------------------------------------------------------- cells

std::string AlgorithmEditor::CellEditText(int row, int column) const {
  const AlgorithmData& alg = ws_.Alg;
  switch (column) {
    case editor::kValueColumn: return ShortestText(alg.Values[row]);
    case editor::kStepColumn: return ShortestText(alg.Steps[row]);
    case editor::kFuseColumn: return alg.Links[row];
  }
  return {};
}

void AlgorithmEditor::SetValue(int row, double value, bool proportionalStep) {
  AlgorithmData& alg = ws_.Alg;
  EditorCell& cell = cells_[row][editor::kValueColumn];
  if (std::fabs(value - alg.Values[row]) >= kChangeThreshold) cell.changed = true;
  alg.Values[row] = value;
  cell.text = GridNumber(value);
  if (proportionalStep) SetStep(row, ProportionalStep(proportionConstant, value));
  Touched();
}

void AlgorithmEditor::SetStep(int row, double step) {
  AlgorithmData& alg = ws_.Alg;
  EditorCell& cell = cells_[row][editor::kStepColumn];
  if (step != alg.Steps[row]) cell.changed = true;
  alg.Steps[row] = step;
  cell.text = GridNumber(step);
  Touched();
}

void AlgorithmEditor::SetLink(int row, const std::string& code) {
  AlgorithmData& alg = ws_.Alg;
  EditorCell& cell = cells_[row][editor::kFuseColumn];
  if (code != alg.Links[row]) cell.changed = true;
  alg.Links[row] = code;
  cell.text = code;
  cell.linked = IsLinked(code);
  Touched();
}

bool AlgorithmEditor::CommitCell(int row, int column, std::string_view entry) {
  if (row < 1 || row > Rows()) return true;
  if (column == editor::kFuseColumn) {
    if (std::optional<std::string> code = AcceptFuseEntry(entry)) SetLink(row, *code);
    return true;
  }
  if (entry.find_first_not_of(" \t") == std::string_view::npos) return true;  // empty: nothing changes
  std::optional<double> number = ui::ParseTypedNumber(entry);
  if (!number) {
    ui::RefuseNotANumber(ui_, editor::kCaption, entry);
    return false;
  }
  if (column == editor::kValueColumn)
    SetValue(row, *number, true);
  else if (column == editor::kStepColumn)
    SetStep(row, *number);
  return true;
}

// ---------------------------------------------------------------- sequences

std::optional<double> AlgorithmEditor::AskNumber(std::string_view prompt, std::string_view title,
                                                 double current) {
  ui::NumberAnswer answer = ui::AskNumber(ui_, prompt, title, ShortestText(current));
  if (!answer.IsNumber()) return std::nullopt;
  return answer.value;
}

void AlgorithmEditor::EditAllSteps() {
  for (int i = 1; i <= Rows(); ++i) {
    std::optional<double> step =
        AskNumber("Enter new step size for parameter #" + std::to_string(i), "Edit all step sizes",
                  ws_.Alg.Steps[i]);
    if (!step) return;
    SetStep(i, *step);
  }
}

void AlgorithmEditor::EditAllFuses() {
  const std::string prompt =
      "Enter new alphabetical fuse character(s) (e.g., A,B,AA,AB,...) or the null character [~~, unfused] "
      "for parameter #";
  for (int i = 1; i <= Rows(); ++i) {
    std::string code;
    for (;;) {
      std::optional<std::string> answer =
          ui_.Input(prompt + std::to_string(i), "Edit all parameter fuse characters", ws_.Alg.Links[i]);
      if (!answer || answer->empty()) return;
      code = Upper(*answer);
      if (code == kUnlinked || (code.size() <= 2 && EndsInLetter(code))) break;
    }
    if (code != ws_.Alg.Links[i]) SetLink(i, code);
  }
}

void AlgorithmEditor::UnfuseAll() {
  for (int i = 1; i <= Rows(); ++i) SetLink(i, kUnlinked);
}

void AlgorithmEditor::ChangeProportion() {
  std::optional<double> proportion = AskNumber(
      "Enter step size as a fraction of parameter values.\r\nA proportion of 0 will default to 0.1",
      "Change proportionality constant", proportionConstant);
  if (!proportion) return;
  proportionConstant = *proportion == 0 ? 0.1 : *proportion;
}

void AlgorithmEditor::EditValues(ValueEdit kind) {
  ui_.CloseWindow(editor::kEditAllForm);  // the window closes itself when a command starts
  const char* title = kind == ValueEdit::FreeValuesAndSteps ? "Edit free parameter values"
                      : kind == ValueEdit::ValuesOnly        ? "Edit a parameter value"
                                                             : "Edit all parameter values";
  for (int i = 1; i <= Rows(); ++i) {
    if (kind == ValueEdit::FreeValuesAndSteps && ws_.Alg.Steps[i] == 0) continue;
    std::optional<double> value =
        AskNumber("Enter the new value of parameter #" + std::to_string(i), title, ws_.Alg.Values[i]);
    if (!value) return;
    SetValue(i, *value, kind != ValueEdit::ValuesOnly);
  }
}

// ---------------------------------------------------------------- settings

void AlgorithmEditor::ChangeTolerance() {
  AlgorithmData& alg = ws_.Alg;
  bool relative = alg.Tolerance < 0;
  std::string question = relative ? "Current tolerance type is RELATIVE.\r\n\r\nDo you want to change to ABSOLUTE?"
                                  : "Current tolerance type is ABSOLUTE.\r\n\r\nDo you want to change to RELATIVE?";
  if (ui_.Message(kToleranceTitle, question, style::kYesNo + style::kQuestion) == ui::Answer::Yes)
    relative = !relative;
  double magnitude = std::fabs(alg.Tolerance);
  ui::NumberAnswer answer =
      ui::AskNumber(ui_, "Current tolerance is " + FormatNumber(magnitude, "0.0E+00") + "  (Minimum allowed is 1E-06)",
                    kToleranceTitle, ShortestText(magnitude));
  if (!answer.IsNumber()) return;  // the type switch is dropped too
  double tolerance = std::fabs(answer.value);
  if (relative && tolerance > 0) tolerance = -tolerance;
  if (tolerance != 0 && std::fabs(tolerance) < kMinimumTolerance)
    tolerance = tolerance < 0 ? -kMinimumTolerance : kMinimumTolerance;
  alg.Tolerance = tolerance;
  ui_.SetCaption(kForm, "lblAbsRel", ToleranceLabel());
  ui_.SetCaption(kForm, "txtAbsRel", ToleranceText());
}

const char* AlgorithmEditor::SettingTitle(EditorSetting setting) const {
  switch (setting) {
    case EditorSetting::MaxFunctions: return "Change the maximum # of function calls";
    case EditorSetting::Reduction: return "Change the step size reduction fraction";
    case EditorSetting::TerminalFrequency: return "Change the terminal display frequency";
    case EditorSetting::FileFrequency: return "Change the file write frequency";
  }
  return "";
}

SettingCommit AlgorithmEditor::CommitSetting(EditorSetting setting, std::string_view text) {
  AlgorithmData& alg = ws_.Alg;
  std::optional<double> number = ui::ParseTypedNumber(text);
  const bool typedText = !number && text.find_first_not_of(" \t") != std::string_view::npos;
  if (typedText || (number && *number < 0)) {
    if (typedText) {
      ui::RefuseNotANumber(ui_, SettingTitle(setting), text);
    } else {
      const char* message = setting == EditorSetting::MaxFunctions ? "Maximum number of functions must be positive"
                            : setting == EditorSetting::Reduction  ? "Fraction must be positive"
                                                                   : "Frequency must be positive";
      ui_.Message(SettingTitle(setting), message, style::kInformation);
    }
    SettingCommit commit{SettingText(setting), true};
    ui_.SetCaption(kForm, SettingControl(setting), commit.text);
    return commit;
  }
  if (number) {
    // Integers that do not fit their field are treated as not numeric.
    switch (setting) {
      case EditorSetting::MaxFunctions:
        if (auto value = ToInt32(*number)) alg.MaxFunctionCalls = *value;
        break;
      case EditorSetting::Reduction: alg.ReductionFraction = *number; break;
      case EditorSetting::TerminalFrequency:
        if (auto value = ToInt16(*number)) alg.TerminalFrequency = *value;
        break;
      case EditorSetting::FileFrequency:
        if (auto value = ToInt16(*number)) alg.FileFrequency = *value;
        break;
    }
  }
  SettingCommit commit{SettingText(setting), false};
  ui_.SetCaption(kForm, SettingControl(setting), commit.text);
  return commit;
}

// ---------------------------------------------------------------- log file

void AlgorithmEditor::OpenLog() {
  ui::FileDialog dialog;
  dialog.title = "Save minimization progress in...";
  dialog.filter = "All files (*.*)|*.*|Kalvex log files (*.kvl)|*.kvl";
  dialog.filterIndex = 2;
  dialog.fileName = ws_.Alg.OutputFileName;
  dialog.overwritePrompt = true;
  std::optional<std::string> chosen = ui_.SaveFile(dialog);
  if (!chosen) return;
  AlgorithmData& alg = ws_.Alg;
  alg.OutputFileName = *chosen;
  if (alg.OutputFileName.empty()) {
    ui_.SetCaption(kForm, "txtFileFreq", "0");
    ShowLogControls(false);
    ws_.LogOpen = 0;
    return;
  }
  if (std::optional<std::string> error = ws_.Log.Open(alg.OutputFileName)) {
    // A log that cannot be created must not look open to the minimizers.
    ui_.Message("Log file management", "The log file " + alg.OutputFileName + " could not be opened: " + *error,
                style::kCritical);
    ws_.LogOpen = 0;
    alg.FileFrequency = 0;
    ShowSettings();
    return;
  }
  ShowLogControls(true);
  ui_.SetCaption(kForm, "txtFileFreq", "10");
  ws_.LogOpen = -1;
  ui_.Message("Log file management", "The log file " + alg.OutputFileName + " is now open for output",
              style::kInformation);
  ui_.SetCaption(kForm, "txtFileName", alg.OutputFileName);
  alg.FileFrequency = 10;
}

void AlgorithmEditor::CloseLog() {
  if (CloseMinimizationLog(ws_, ui_))
    ui_.Message("Log file management", "The old log file " + ws_.Alg.OutputFileName + " is now closed for input",
                style::kInformation);
  ShowLogControls(false);
  ui_.SetCaption(kForm, "txtFileName", "");
  ui_.SetCaption(kForm, "txtFileFreq", "0");
  ws_.LogOpen = 0;
  ws_.Alg.FileFrequency = 0;
}

// ---------------------------------------------------------------- closing

void AlgorithmEditor::Finish() {
  Closed();
  ui_.CloseWindow(kForm);
}

void AlgorithmEditor::Closed() {
  NormalizeLinks(ws_);
  CollectFreeParameters(ws_);
  ui_.Message("Just so you know", "Algorithm data, if changed, have been updated", style::kInformation);
  ui_.CloseWindow(editor::kEditAllForm);
  if (closed) closed();
}

}  // namespace kalvex
