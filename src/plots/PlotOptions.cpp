#include "plots/PlotOptions.h"

#include <span>

namespace kalvex::plots {
namespace {

using O = PlotOption;

std::span<const PlotOption> Excluded(PlotOption option) {
  static constexpr PlotOption kLtoR[] = {O::Drop, O::Grid8, O::Grid10, O::Line, O::LineRtoL};
  static constexpr PlotOption kRtoL[] = {O::Drop, O::Grid8, O::Grid10, O::Line, O::LineLtoR};
  static constexpr PlotOption kLine[] = {O::Drop, O::Grid8, O::Grid10, O::LineLtoR, O::LineRtoL};
  static constexpr PlotOption kScatter[] = {O::Drop, O::Grid8, O::Grid10};
  static constexpr PlotOption kDrop[] = {O::LineLtoR, O::LineRtoL, O::Line, O::Scatter, O::Grid8, O::Grid10};
  static constexpr PlotOption kGrid8[] = {O::LineLtoR, O::LineRtoL, O::Line, O::Scatter, O::Drop, O::Grid10};
  static constexpr PlotOption kGrid10[] = {O::LineLtoR, O::LineRtoL, O::Line, O::Scatter, O::Drop, O::Grid8};
  auto list = [](const auto& a) { return std::span<const PlotOption>(a); };
  switch (option) {
    case O::LineLtoR: return list(kLtoR);
    case O::LineRtoL: return list(kRtoL);
    case O::Line: return list(kLine);
    case O::Scatter: return list(kScatter);
    case O::Drop: return list(kDrop);
    case O::Grid8: return list(kGrid8);
    case O::Grid10: return list(kGrid10);
  }
  return {};
}

}  // namespace

void PlotOptions::Tick(PlotOption option, bool value) {
  Set(option, value);
  if (!value) return;
  for (PlotOption other : Excluded(option)) Set(other, false);
}

std::string_view OptionControlName(PlotOption option) {
  switch (option) {
    case O::LineLtoR: return "Check_Line_LtoR";
    case O::LineRtoL: return "Check_Line_RtoL";
    case O::Line: return "Check_Line";
    case O::Scatter: return "Check_Scatter";
    case O::Drop: return "Check_Drop";
    case O::Grid8: return "Check_8X8";
    case O::Grid10: return "Check_10X10";
  }
  return {};
}

std::string_view OptionCaption(PlotOption option) {
  switch (option) {
    case O::LineLtoR: return "Lines >";
    case O::LineRtoL: return "Lines <";
    case O::Line: return "Lines <>";
    case O::Scatter: return "Points";
    case O::Drop: return "Drop lines";
    case O::Grid8: return "8x8 Grid";
    case O::Grid10: return "10x10 Grid";
  }
  return {};
}

std::string_view OptionToolTip(PlotOption option) {
  switch (option) {
    case O::LineLtoR: return "Connects left to right sequential points";
    case O::LineRtoL: return "Connects right to left sequential points";
    case O::Line: return "Connects all points with a line";
    default: return "";
  }
}

}  // namespace kalvex::plots
