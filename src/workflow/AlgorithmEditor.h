#pragma once
// The algorithm data editor's commands: cell commits, the prompt sequences
// that change many parameters at once, the tolerance dialog, the numeric
// settings, the minimization log and closing. Every change goes straight
// into the workspace; the window shows Cells() and the texts it is given.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

namespace editor {
inline constexpr const char* kForm = "frmAlgo";
inline constexpr const char* kCaption = "Algorithm data";
inline constexpr const char* kEditAllForm = "frmEditVS";
inline constexpr int kValueColumn = 1;
inline constexpr int kStepColumn = 2;
inline constexpr int kFuseColumn = 3;
}  // namespace editor

struct EditorCell {
  std::string text;
  bool changed = false;  // the user changed it since the editor was filled
  bool linked = false;   // a fuse cell holding a link code
};

enum class EditorSetting { MaxFunctions, Reduction, TerminalFrequency, FileFrequency };

// What a settings box shows after it lost the focus.
struct SettingCommit {
  std::string text;
  bool refocus = false;  // a negative entry or not a number: the focus goes back to the box
};

// The three ways of changing all values ("Edit all parameters").
enum class ValueEdit { FreeValuesAndSteps, ValuesOnly, AllValuesAndSteps };

class AlgorithmEditor {
 public:
  AlgorithmEditor(Workspace& ws, ui::Frontend& ui);

  // The edit ended (the window's controller gives the screen back to
  // whoever opened it).
  std::function<void()> closed;

  // The step-size fraction of the proportional edits; it outlives the
  // window for the rest of the session.
  double proportionConstant = 0.1;

  // Fills every cell, the caption and the settings from the workspace
  // (on opening and for "&Update edits"); clears the change marks.
  void Fill();

  int Rows() const { return static_cast<int>(cells_.size()) - 1; }
  const EditorCell& Cell(int row, int column) const { return cells_[row][column]; }
  // The in-place editor's starting text: values and steps in the shortest
  // form that reads back exactly, the link code as stored.
  std::string CellEditText(int row, int column) const;
  // Leaving the in-place editor. False when a value or step entry is not a
  // number: it is refused with a message, nothing changes, and the cell is
  // to be edited again.
  bool CommitCell(int row, int column, std::string_view entry);

  void EditAllSteps();
  void EditAllFuses();
  void UnfuseAll();
  void ChangeProportion();
  void EditValues(ValueEdit kind);

  void ChangeTolerance();
  SettingCommit CommitSetting(EditorSetting setting, std::string_view text);

  void OpenLog();
  void CloseLog();

  // "&Finish editing": the closing steps, then the window closes.
  void Finish();
  // The closing steps alone, for a window the user closed itself.
  void Closed();

  // Texts shown for the settings (also set through the front end).
  std::string ToleranceLabel() const;
  std::string ToleranceText() const;
  std::string SettingText(EditorSetting setting) const;

 private:
  void Touched();
  void FillRow(int row);
  void SetValue(int row, double value, bool proportionalStep);
  void SetStep(int row, double step);
  void SetLink(int row, const std::string& code);
  void ShowSettings();
  void ShowLogControls(bool open);
  std::optional<double> AskNumber(std::string_view prompt, std::string_view title, double current);
  const char* SettingTitle(EditorSetting setting) const;

  Workspace& ws_;
  ui::Frontend& ui_;
  std::vector<std::vector<EditorCell>> cells_;  // [row 1..N][column 0..3]
};

// The rules of the fuse column: "~" is "~~"; otherwise one or two characters
// whose last one, upper-cased, is a letter A-Z. nullopt when not accepted.
std::optional<std::string> AcceptFuseEntry(std::string_view entry);

// The step a value gets from the proportionality constant.
double ProportionalStep(double proportion, double value);

}  // namespace kalvex
