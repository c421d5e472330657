#pragma once
// The drawing-style check boxes of the x-y plot and the options each one
// clears when it is ticked (lines and grids cannot be drawn together).
#include <array>
#include <string_view>

namespace kalvex::plots {

enum class PlotOption { LineLtoR, LineRtoL, Line, Scatter, Drop, Grid8, Grid10 };
inline constexpr int kPlotOptionCount = 7;

struct PlotOptions {
  std::array<bool, kPlotOptionCount> ticked{};

  bool operator[](PlotOption option) const { return ticked[static_cast<int>(option)]; }
  void Set(PlotOption option, bool value) { ticked[static_cast<int>(option)] = value; }

  // Ticks an option and clears the ones it excludes; unticking clears only
  // the option itself.
  void Tick(PlotOption option, bool value = true);
};

// The window's control name, caption and tooltip ("" where it has none).
std::string_view OptionControlName(PlotOption option);
std::string_view OptionCaption(PlotOption option);
std::string_view OptionToolTip(PlotOption option);

}  // namespace kalvex::plots
