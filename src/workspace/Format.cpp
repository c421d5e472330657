#include "workspace/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kalvex {
namespace {

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

// A finite non-negative number as decimal digits: value = 0.digits x 10^point.
// Digits carry no leading zeros; zero has no digits.
struct Decimal {
  std::string digits;
  int point = 0;
};

Decimal ShortestDecimal(double magnitude) {
  Decimal d;
  if (magnitude == 0.0) return d;
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  std::string_view text(buffer, result.ptr - buffer);  // d.ddddde+XX
  std::size_t e = text.find('e');
  std::size_t digitsAt = text[e + 1] == '+' ? e + 2 : e + 1;  // from_chars takes "-" but not "+"
  int exponent = 0;
  std::from_chars(text.data() + digitsAt, text.data() + text.size(), exponent);
  for (char c : text.substr(0, e))
    if (c != '.') d.digits.push_back(c);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  d.point = exponent + 1;
  return d;
}

// Keeps the first keep digits, rounding half away from zero on the rest.
void RoundToDigits(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    int i = keep - 1;
    for (; i >= 0; --i) {
      if (d.digits[i] == '9') {
        d.digits[i] = '0';
      } else {
        ++d.digits[i];
        break;
      }
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.point += 1;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.point = 0;
}

char DigitAt(const Decimal& d, int position) {  // position 0 = first digit after "0."
  if (position < 0 || position >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[position];
}

struct PatternParts {
  std::string_view integer;   // before the decimal point
  std::string_view fraction;  // after it, up to the exponent
  bool hasPoint = false;
  bool hasExponent = false;
  char exponentLetter = 'E';
  bool exponentAlwaysSigned = true;
  std::string_view exponentDigits;  // the placeholders after E+ or E-
  std::string_view suffix;          // literals after the exponent digits
};

PatternParts SplitPattern(std::string_view pattern) {
  PatternParts parts;
  std::size_t exponentAt = std::string_view::npos;
  for (std::size_t i = 0; i + 2 < pattern.size() + 1 && i + 1 < pattern.size(); ++i) {
    char c = pattern[i];
    if ((c == 'E' || c == 'e') && (pattern[i + 1] == '+' || pattern[i + 1] == '-') &&
        i + 2 < pattern.size() && IsPlaceholder(pattern[i + 2])) {
      exponentAt = i;
      break;
    }
  }
  std::string_view mantissa = pattern.substr(0, exponentAt);
  if (exponentAt != std::string_view::npos) {
    parts.hasExponent = true;
    parts.exponentLetter = pattern[exponentAt];
    parts.exponentAlwaysSigned = pattern[exponentAt + 1] == '+';
    std::size_t end = exponentAt + 2;
    while (end < pattern.size() && IsPlaceholder(pattern[end])) ++end;
    parts.exponentDigits = pattern.substr(exponentAt + 2, end - exponentAt - 2);
    parts.suffix = pattern.substr(end);
  }
  std::size_t point = mantissa.find('.');
  parts.integer = mantissa.substr(0, point);
  if (point != std::string_view::npos) {
    parts.hasPoint = true;
    parts.fraction = mantissa.substr(point + 1);
  }
  return parts;
}

int CountOf(std::string_view text, char c) {
  int n = 0;
  for (char x : text) n += x == c;
  return n;
}

int CountPlaceholders(std::string_view text) { return CountOf(text, '0') + CountOf(text, '#'); }

std::string DigitsOf(int value) {
  char buffer[16];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Fills the integer section right to left; surplus digits and the sign go
// where the leftmost placeholder stands.
std::string FillInteger(std::string_view section, std::string digits, bool negative) {
  std::string out;
  int next = static_cast<int>(digits.size()) - 1;
  std::size_t leftmost = section.find_first_of("0#");
  for (int i = static_cast<int>(section.size()) - 1; i >= 0; --i) {
    char c = section[i];
    if (!IsPlaceholder(c)) {
      out.insert(out.begin(), c);
      continue;
    }
    std::string piece;
    if (static_cast<std::size_t>(i) == leftmost) {
      piece = digits.substr(0, next + 1);
      next = -1;
      if (negative) piece.insert(piece.begin(), '-');
    } else if (next >= 0) {
      piece = std::string(1, digits[next--]);
    }
    out.insert(0, piece);
  }
  if (leftmost == std::string_view::npos) {
    std::string prefix = (negative ? "-" : "") + digits;
    out.insert(0, prefix);
  }
  return out;
}

std::string FillFraction(std::string_view section, const std::string& digits) {
  std::string out;
  std::size_t next = 0;
  for (char c : section) {
    if (!IsPlaceholder(c)) {
      out.push_back(c);
    } else if (next < digits.size()) {
      out.push_back(digits[next++]);
    }
  }
  return out;
}

// Fraction digits for the placeholders: trailing zeros beyond the "0"
// placeholders are dropped (an optional "#" digit that is not significant).
std::string FractionDigits(const Decimal& d, int firstPosition, std::string_view section) {
  int total = CountPlaceholders(section);
  std::string digits;
  for (int i = 0; i < total; ++i) digits.push_back(DigitAt(d, firstPosition + i));
  // A "0" placeholder forces every digit up to it.
  int required = 0, seen = 0;
  for (char c : section) {
    if (!IsPlaceholder(c)) continue;
    ++seen;
    if (c == '0') required = seen;
  }
  while (static_cast<int>(digits.size()) > required && digits.back() == '0') digits.pop_back();
  return digits;
}

std::string IntegerDigits(const Decimal& d, std::string_view section) {
  std::string digits;
  for (int i = 0; i < d.point; ++i) digits.push_back(DigitAt(d, i));
  // Only "0" placeholders that stand right of the first "0" force digits.
  std::size_t first0 = section.find('0');
  int forced = 0;
  if (first0 != std::string_view::npos) forced = CountPlaceholders(section.substr(first0));
  while (static_cast<int>(digits.size()) < forced) digits.insert(digits.begin(), '0');
  return digits;
}


std::string FormatFixed(double value, const PatternParts& parts) {
  bool negative = std::signbit(value);
  Decimal d = ShortestDecimal(std::fabs(value));
  int decimals = CountPlaceholders(parts.fraction);
  RoundToDigits(d, d.point + decimals);
  std::string integer = IntegerDigits(d, parts.integer);
  std::string fraction = FractionDigits(d, d.point, parts.fraction);
  if (d.digits.empty()) negative = false;
  std::string out = FillInteger(parts.integer, integer, negative);
  if (parts.hasPoint) out += '.' + FillFraction(parts.fraction, fraction);
  return out;
}

std::string FormatScientific(double value, const PatternParts& parts) {
  bool negative = std::signbit(value);
  Decimal d = ShortestDecimal(std::fabs(value));
  int integerPlaces = std::max(1, CountPlaceholders(parts.integer));
  int decimals = CountPlaceholders(parts.fraction);
  int exponent = 0;
  if (!d.digits.empty()) {
    RoundToDigits(d, integerPlaces + decimals);
    exponent = d.point - integerPlaces;
    d.point = integerPlaces;  // the mantissa's own decimal point
  } else {
    negative = false;
  }
  std::string integer;
  for (int i = 0; i < integerPlaces; ++i) integer.push_back(DigitAt(d, i));
  if (d.digits.empty()) {
    integer = IntegerDigits(d, parts.integer);
  }
  std::string fraction = FractionDigits(d, integerPlaces, parts.fraction);
  std::string out = FillInteger(parts.integer, integer, negative);
  if (parts.hasPoint) out += '.' + FillFraction(parts.fraction, fraction);
  out += parts.exponentLetter;
  if (exponent < 0)
    out += '-';
  else if (parts.exponentAlwaysSigned)
    out += '+';
  std::string expDigits = DigitsOf(std::abs(exponent));
  int minDigits = CountOf(parts.exponentDigits, '0');
  while (static_cast<int>(expDigits.size()) < minDigits) expDigits.insert(expDigits.begin(), '0');
  out += expDigits;
  out += parts.suffix;
  return out;
}

// The longest numeric prefix of compact text (no blanks): sign, digits, one
// point, exponent. Returns it with "E" as the exponent letter.
std::string NumericPrefix(std::string_view text, bool& complete) {
  std::string out;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) out.push_back(text[i++]);
  bool mantissaDigits = false, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      out.push_back(c);
      mantissaDigits = true;
    } else if (c == '.' && !point) {
      out.push_back(c);
      point = true;
    } else {
      break;
    }
  }
  if (!mantissaDigits) {
    complete = false;
    return {};
  }
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "E";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent.push_back(text[j++]);
    bool expDigits = false;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      exponent.push_back(text[j++]);
      expDigits = true;
    }
    if (expDigits) {
      out += exponent;
      i = j;
    }
  }
  complete = i == text.size();
  return out;
}

// Val reads past blanks anywhere in a number, as "1 000" is 1000.
std::string WithoutBlanks(std::string_view text) {
  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') compact.push_back(c);
  return compact;
}

// Whether an unsigned numeric prefix too far from 1 for a double lies above
// the range (else below it): the power of ten of its first non-zero digit.
bool AboveRange(std::string_view prefix) {
  std::size_t e = prefix.find('E');
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view text = prefix.substr(e + 1);
    bool negative = text.front() == '-';
    if (text.front() == '+' || negative) text.remove_prefix(1);
    if (std::from_chars(text.data(), text.data() + text.size(), exponent).ec != std::errc())
      exponent = std::numeric_limits<int>::max();  // beyond any double either way
    if (negative) exponent = -exponent;
  }
  std::string_view mantissa = prefix.substr(0, e);
  std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  std::size_t first = mantissa.find_first_of("123456789");
  long long power = first < point ? static_cast<long long>(point - first) - 1
                                  : -static_cast<long long>(first - point);
  return exponent + power > 0;
}

// A numeric prefix as the C library reads it in the "C" locale, whatever the
// process locale is: beyond the range of a double it gives an infinity or a
// zero of the right sign.
double ToDouble(std::string_view prefix) {
  if (prefix.empty()) return 0.0;
  bool negative = prefix.front() == '-';
  if (negative || prefix.front() == '+') prefix.remove_prefix(1);
  double value = 0.0;
  auto result = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    value = AboveRange(prefix) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}

}  // namespace

std::string FormatNumber(double value, std::string_view pattern) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  PatternParts parts = SplitPattern(pattern);
  return parts.hasExponent ? FormatScientific(value, parts) : FormatFixed(value, parts);
}

std::string RightJustify(std::string_view text, double width) {
  double rounded = std::nearbyint(width);
  if (!(rounded >= 1)) return {};
  std::size_t w = static_cast<std::size_t>(rounded);
  if (text.size() >= w) return std::string(text.substr(0, w));
  return std::string(w - text.size(), ' ') + std::string(text);
}

double Val(std::string_view text) {
  bool complete = false;
  return ToDouble(NumericPrefix(WithoutBlanks(text), complete));
}

std::optional<double> LeadingNumber(std::string_view text) {
  bool complete = false;
  std::string prefix = NumericPrefix(WithoutBlanks(text), complete);
  if (prefix.empty()) return std::nullopt;
  double value = ToDouble(prefix);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> ParseNumber(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  std::size_t last = text.find_last_not_of(' ');
  std::string_view core = text.substr(first, last - first + 1);
  bool complete = false;
  std::string prefix = NumericPrefix(core, complete);
  if (prefix.empty() || !complete) return std::nullopt;
  double value = ToDouble(prefix);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int16_t> ToInt16(double value) {
  double r = std::nearbyint(value);
  if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max()))
    return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<int32_t> ToInt32(double value) {
  double r = std::nearbyint(value);
  if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  return static_cast<int32_t>(r);
}

std::string ShortestText(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string GeneralNumber(double value) {
  if (!std::isfinite(value)) return FormatNumber(value, "0");
  if (value == 0.0) return "0";
  // 15 significant digits, as a general number text shows a double.
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  double rounded = 0.0;
  std::from_chars(buffer, result.ptr, rounded);
  Decimal d = ShortestDecimal(std::fabs(rounded));
  int exponent = d.point - 1;
  std::string sign = value < 0 ? "-" : "";
  if (exponent >= -5 && exponent <= 14) {
    std::string integer, fraction;
    for (int i = 0; i < d.point; ++i) integer.push_back(DigitAt(d, i));
    if (integer.empty()) integer = "0";
    int fractionDigits = static_cast<int>(d.digits.size()) - d.point;
    for (int i = 0; i < fractionDigits; ++i) fraction.push_back(DigitAt(d, d.point + i));
    if (d.point < 0) fraction = std::string(-d.point, '0') + d.digits;
    return sign + integer + (fraction.empty() ? "" : "." + fraction);
  }
  std::string mantissa(1, d.digits[0]);
  if (d.digits.size() > 1) mantissa += "." + d.digits.substr(1);
  std::string expText = DigitsOf(std::abs(exponent));
  if (expText.size() < 2) expText.insert(expText.begin(), '0');
  return sign + mantissa + "E" + (exponent < 0 ? "-" : "+") + expText;
}

std::string StrNumber(double value) {
  std::string text = GeneralNumber(value);
  return value < 0 ? text : " " + text;
}

}  // namespace kalvex
