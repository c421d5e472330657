#include "ui/NumberInput.h"

#include <algorithm>

#include "ui/Frontend.h"
#include "workspace/Format.h"

namespace kalvex::ui {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string WithDecimalPoint(std::string_view text) {
  std::string typed(Trimmed(text));
  if (typed.find('.') == std::string::npos && std::count(typed.begin(), typed.end(), ',') == 1)
    typed[typed.find(',')] = '.';
  return typed;
}

std::optional<double> ParseTypedNumber(std::string_view text) {
  const std::string typed = WithDecimalPoint(text);
  if (typed.empty()) return std::nullopt;
  return ParseNumber(typed);
}

void RefuseNotANumber(Frontend& ui, std::string_view title, std::string_view text) {
  ui.Message(title, "\"" + std::string(Trimmed(text)) + "\" is not a number", style::kOk + style::kExclamation);
}

NumberAnswer AskNumber(Frontend& ui, std::string_view prompt, std::string_view title, std::string_view defaultText) {
  for (;;) {
    std::optional<std::string> answer = ui.Input(prompt, title, defaultText);
    if (!answer) return {};
    if (Trimmed(*answer).empty()) return {NumberAnswer::Kind::Empty};
    if (std::optional<double> number = ParseTypedNumber(*answer))
      return {NumberAnswer::Kind::Number, *number, WithDecimalPoint(*answer)};
    RefuseNotANumber(ui, title, *answer);
  }
}

}  // namespace kalvex::ui
