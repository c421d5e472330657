#pragma once
// The prior editor's window ("Set prior distributions", frmPriors): a grid
// of the prior table in which the user picks a parameter and gives it one of
// the nine distribution types (the prompts are the priors' AskPriorEntry).
// Every accepted entry goes straight into the workspace; the window shows
// Cell() and forwards the menu items. It owns the editor's closing steps,
// the help window and the loader that waited, hidden, while it was open.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// Grid rows 0 and 1 are headers; row p + 1 shows parameter p. Columns: 0
// the parameter, 1 the type, 2-5 the four terms, 6 the description.
inline constexpr int kPriorGridColumns = 7;
inline constexpr int kPriorHeaderRows = 2;
extern const std::array<std::array<const char*, kPriorGridColumns>, kPriorHeaderRows> kPriorGridHeaders;

// Text colours: uniform rows black and the others blue when filled, the
// row clicked last green, the row just edited red.
enum class PriorColour { Black, Blue, Green, Red };

struct PriorCell {
  std::string text;
  PriorColour colour = PriorColour::Black;
};

class PriorEditor {
 public:
  PriorEditor(Workspace& ws, ui::Frontend& ui);

  // Opens the editor filled from the prior table; showCaller brings back
  // the window the priors were opened from.
  void Open(std::function<void()> showCaller);
  void Fill();

  int Parameters() const { return static_cast<int>(cells_.size()) - 1; }
  const PriorCell& Cell(int parameter, int column) const { return cells_[parameter][column]; }

  // The parameter of the row clicked last (1 before any click).
  int Selected() const { return selected_; }
  void Select(int parameter);

  // The nine items of "&Edit prior distributions", by type letter.
  void Enter(char letter);

  // "&Profile prior distributions", "&Save prior distributions",
  // "&Help with prior distributions", "Main &menu".
  void Profile();
  void Save();
  void Help();
  void ShowCaller();
  // "&Finished": the closing steps, then the window closes.
  void Finish();
  // The closing steps alone, for a window the user closed itself.
  void Closed();

  // Called when the cells changed (the window redraws).
  std::function<void()> onChange;

 private:
  void FillRow(int parameter);
  void ColourRow(int parameter, PriorColour colour, int first = 0, int last = kPriorGridColumns - 1);
  PriorColour TypeColour(int parameter) const;
  void Store(int parameter, PriorEntry entry);
  void Changed();

  Workspace& ws_;
  ui::Frontend& ui_;
  std::function<void()> showCaller_;
  std::vector<std::array<PriorCell, kPriorGridColumns>> cells_;  // [parameter 1..N][column]
  int selected_ = 1;
  int clicked_ = 0;  // the row shown green, 0: none
};

}  // namespace kalvex
