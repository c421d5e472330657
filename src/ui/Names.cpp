#include "ui/Names.h"

#include <unordered_set>

namespace kalvex::ui::names {
namespace {

template <std::size_t N>
std::unordered_set<std::string_view> SetOf(const std::string_view (&names)[N]) {
  return {std::begin(names), std::end(names)};
}

}  // namespace

bool IsKnownForm(std::string_view name) {
  static const std::unordered_set<std::string_view> forms = SetOf(kForms);
  return forms.count(name) > 0;
}

bool IsKnownControl(std::string_view name) {
  static const std::unordered_set<std::string_view> controls = SetOf(kControls);
  return controls.count(name) > 0 || IsKnownForm(name);
}

}  // namespace kalvex::ui::names
