#pragma once
// Number texts for every report and file: the numeric format patterns,
// right-justified fixed fields, the lenient leading-number parse and the
// general number forms.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalvex {

// Formats value with a numeric pattern: "0" a digit always shown, "#" a digit
// shown only when significant, "." the decimal point (always kept), "E+00" /
// "E-00" an exponent (sign always / only when negative, at least as many
// digits as zeros), any other character copied. Halves round away from zero
// on the shortest decimal text of the value. Non-finite values give "NaN",
// "Inf" or "-Inf" so a fault that slipped through is visible, never hidden.
std::string FormatNumber(double value, std::string_view pattern);

// A text of exactly round-half-even(width) characters: right-aligned and
// padded with blanks on the left, or cut to its first width characters.
std::string RightJustify(std::string_view text, double width);

// Lenient leading-number parse: blanks anywhere are skipped, the longest
// numeric prefix is read (sign, digits, one point, exponent E or D), no
// number gives 0.
double Val(std::string_view text);
// As Val, but nullopt when the text has no numeric prefix or it lies
// beyond the range of a double: a fixed column that must hold a number.
std::optional<double> LeadingNumber(std::string_view text);

// Strict parse of a whole field: surrounding blanks allowed, nothing else.
// Used where a field that is not a number is an error.
std::optional<double> ParseNumber(std::string_view text);

// Nearest integer, halves to the even neighbour; nullopt when out of range.
std::optional<int16_t> ToInt16(double value);
std::optional<int32_t> ToInt32(double value);

// Shortest decimal text that reads back as the same double ("0.1", "1e-20",
// "-2"); the form the batch front end prints and the editor proposes.
std::string ShortestText(double value);

// General number text: up to 15 significant digits, plain decimal when the
// exponent is within -5..14, else "1.5E-07" style. Used where a number is
// joined into a message without a pattern.
std::string GeneralNumber(double value);

// As GeneralNumber with a leading blank for non-negative numbers.
std::string StrNumber(double value);

}  // namespace kalvex
