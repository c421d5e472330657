#pragma once
// Numbers a person types into an input box or an editor cell. A point is
// the decimal separator; a text without a point may use one comma in its
// place, as a user of a decimal-comma locale writes "1,5". A text that is
// not wholly a number is refused with a short message and asked again,
// never read as its numeric start. Files keep their points: this reading
// is for what people type, never for what files hold.
#include <optional>
#include <string>
#include <string_view>

namespace kalvex::ui {

class Frontend;

// The typed text with a decimal comma turned into a point ("1,5" gives
// "1.5"), without the blanks around it; a text holding a point, or more
// than one comma, is returned as it is.
std::string WithDecimalPoint(std::string_view text);

// The number a typed text holds; nullopt when it is blank or not wholly a
// number (a finite one).
std::optional<double> ParseTypedNumber(std::string_view text);

// The short message refusing a typed text that is not a number, titled as
// the box or window that asked.
void RefuseNotANumber(Frontend& ui, std::string_view title, std::string_view text);

// What an input box asking for a number gave.
struct NumberAnswer {
  enum class Kind { Cancelled, Empty, Number };
  Kind kind = Kind::Cancelled;
  double value = 0;
  std::string text;  // the number as typed, with a decimal point

  bool Cancelled() const { return kind == Kind::Cancelled; }
  bool IsNumber() const { return kind == Kind::Number; }
};

// One input box that asks for a number: Cancel and an empty (or blank)
// answer come back as such, for the caller to end or to ask again as its
// command says; a text that is not a number is refused and the box asked
// again.
NumberAnswer AskNumber(Frontend& ui, std::string_view prompt, std::string_view title, std::string_view defaultText);

}  // namespace kalvex::ui
