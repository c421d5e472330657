#include "workflow/PriorEditor.h"

#include <optional>
#include <utility>

#include "covariance/LikelihoodConstant.h"
#include "priors/PriorEntries.h"
#include "priors/PriorsFile.h"
#include "ui/Names.h"
#include "workflow/PriorProfileWindow.h"
#include "workspace/PriorTable.h"

namespace kalvex {
namespace {

namespace style = ui::style;
namespace names = ui::names;

constexpr int kTypeColumn = 1;
constexpr int kLastTermColumn = 5;
constexpr int kDescriptionColumn = 6;

}  // namespace

const std::array<std::array<const char*, kPriorGridColumns>, kPriorHeaderRows> kPriorGridHeaders = {{
    {"", "Distribution", "First term", "First term", "Second term", "Second term", ""},
    {"Parameter", "Type", "Mean", "SD", "Mean", "SD", "Parameter description [null value]"},
}};

PriorEditor::PriorEditor(Workspace& ws, ui::Frontend& ui) : ws_(ws), ui_(ui) {}

// ---------------------------------------------------------------- the grid

PriorColour PriorEditor::TypeColour(int parameter) const {
  return LetterOf(ws_.Priors[parameter]) == 'U' ? PriorColour::Black : PriorColour::Blue;
}

void PriorEditor::ColourRow(int parameter, PriorColour colour, int first, int last) {
  for (int column = first; column <= last; ++column) cells_[parameter][column].colour = colour;
}

void PriorEditor::FillRow(int parameter) {
  const PriorEntry& prior = ws_.Priors[parameter];
  auto& row = cells_[parameter];
  row[0].text = std::to_string(parameter);
  row[kTypeColumn].text = DistributionName(prior.TypeLetters);
  row[2].text = GridTermText(prior.FirstTerm);
  row[3].text = GridTermText(prior.SecondTerm);
  row[4].text = GridTermText(prior.ThirdTerm);
  row[kLastTermColumn].text = GridTermText(prior.FourthTerm);
  const auto& descriptions = ws_.Alg.Descriptions;
  row[kDescriptionColumn].text = parameter < static_cast<int>(descriptions.size()) ? descriptions[parameter] : "";
}

void PriorEditor::Fill() {
  const int n = ws_.Alg.NumParameters;
  if (static_cast<int>(ws_.Priors.size()) != n + 1) ResetPriorTable(ws_);
  cells_.assign(static_cast<std::size_t>(n) + 1, {});
  for (int p = 1; p <= n; ++p) {
    FillRow(p);
    ColourRow(p, TypeColour(p));
  }
  if (selected_ < 1 || selected_ > n) selected_ = 1;
  clicked_ = 0;
  Changed();
}

void PriorEditor::Changed() {
  if (onChange) onChange();
}

void PriorEditor::Open(std::function<void()> showCaller) {
  showCaller_ = std::move(showCaller);
  ui_.ShowWindow(names::kPriorEditorForm);
  Fill();
  ui_.SetStatus(5, 1, "Note: Unset parameters in your Bayesian Priors file have the value '*'");
}

void PriorEditor::Select(int parameter) {
  if (parameter < 1 || parameter > Parameters()) return;
  if (clicked_ != 0 && clicked_ != parameter) ColourRow(clicked_, TypeColour(clicked_));
  selected_ = parameter;
  clicked_ = parameter;
  bool bounded = LetterOf(ws_.Priors[parameter]) == 'T';
  ColourRow(parameter, PriorColour::Green, kTypeColumn, bounded ? kLastTermColumn : 3);
  Changed();
}

// ---------------------------------------------------------------- entries

void PriorEditor::Store(int parameter, PriorEntry entry) {
  ws_.Priors[parameter] = std::move(entry);
  FillRow(parameter);
  bool bounded = LetterOf(ws_.Priors[parameter]) == 'T';
  ColourRow(parameter, PriorColour::Red, kTypeColumn, 3);
  ColourRow(parameter, bounded ? PriorColour::Red : PriorColour::Black, 4, kLastTermColumn);
  Changed();
}

void PriorEditor::Enter(char letter) {
  const int p = selected_;
  if (p < 1 || p > Parameters()) return;
  if (std::optional<PriorEntry> entry = AskPriorEntry(ui_, letter, p)) Store(p, std::move(*entry));
}

// ---------------------------------------------------------------- commands

void PriorEditor::Profile() { ProfilePrior(ws_, ui_, selected_); }

void PriorEditor::Save() { WritePriorsFile(ws_, ui_, PriorsFileVariant::Editor); }

void PriorEditor::Help() {
  ui_.ShowWindow(names::kHelpForm);
  ui_.SetPaneText(names::kHelpForm, names::kHelpPane, PriorEditorHelpText());
}

void PriorEditor::ShowCaller() {
  if (showCaller_) showCaller_();
}

void PriorEditor::Finish() {
  Closed();
  ui_.CloseWindow(names::kPriorEditorForm);
}

void PriorEditor::Closed() {
  ui_.SetStatus(5, 1, "");
  ui_.Message("Just so you know", "Bayesian priors data, if changed, have been updated", style::kInformation);
  // The loader waited, hidden, while the editor was open.
  ui_.CloseWindow(names::kPriorsLoaderForm);
  if (!ws_.AnyPriorSet()) {
    ws_.PriorsActive = kOff;
    ShowCaller();
    return;
  }
  ws_.PriorsActive = kOn;
  if (ui_.Message("Save Bayesian priors", "Save Bayesian priors now?", style::kYesNo + style::kQuestion) ==
      ui::Answer::Yes)
    WritePriorsFile(ws_, ui_, PriorsFileVariant::Editor);
  // The priors are in -ln[L] units: the objective needs its constant.
  // Cancel keeps one entered before; without one the priors could not
  // count, so the prompt stays.
  while (!AskLikelihoodConstant(ws_, ui_) && !(ws_.ObjectiveScale > 0)) {
  }
  ui_.SetStatus(5, 1, "");
  ShowCaller();
}

}  // namespace kalvex
