#include "workspace/Format.h"

#include "ui/NumberInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kalvex {
namespace {

struct Case {
  double value;
  const char* pattern;
  const char* expected;
};

TEST(FormatNumber, FixedPatternsOfReportsAndFiles) {
  const Case cases[] = {
      {2, "####0.#####", "2."},
      {0, "####0.#####", "0."},
      {0.5, "####0.#####", "0.5"},
      {-12.25, "####0.#####", "-12.25"},
      {123.4567891, "####0.#####", "123.45679"},
      {5, "    000) ", "    005) "},
      {1234, "    000) ", "    1234) "},
      {13, "###0", "13"},
      {0, "###0", "0"},
      {7, "00", "07"},
      {12, "000)", "012)"},
      {3, "#0", "3"},
      {0.1, "0.####", "0.1"},
      {2, "0.####", "2."},
      {0.12345, "0.####", "0.1235"},
      {0.5, "#0.0000", "0.5000"},
      {-2.5, "###0.0000", "-2.5000"},
      {3.5, "###########0.0000000  ", "3.5000000  "},
      {-3.25, "####0.#####     ", "-3.25     "},
      {1234.5, "########0.00", "1234.50"},
      {9.99999, "0.00", "10.00"},
      {-0.001, "0.00", "0.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

TEST(FormatNumber, HalvesRoundAwayFromZeroOnTheShownDecimal) {
  EXPECT_EQ(FormatNumber(2.675, "0.00"), "2.68");  // binary value is 2.67499999...
  EXPECT_EQ(FormatNumber(-2.675, "0.00"), "-2.68");
  EXPECT_EQ(FormatNumber(0.125, "0.00"), "0.13");
  EXPECT_EQ(FormatNumber(2.5, "0"), "3");
  EXPECT_EQ(FormatNumber(0.05, "0.0"), "0.1");
}

TEST(FormatNumber, ScientificPatterns) {
  const Case cases[] = {
      {1.2345678e-3, "0.0000000E+00", "1.2345678E-03"},
      {-5, "0.0000000E+00", "-5.0000000E+00"},
      {0, "0.0000000E+00", "0.0000000E+00"},
      {-0.0, "0.0000000E+00", "0.0000000E+00"},
      {-1e100, "0.0000000E+00", "-1.0000000E+100"},
      {1e-6, "0.0E+00", "1.0E-06"},
      {9.99999999e-5, "0.0000E+00", "1.0000E-04"},
      {123456, "0.0000E+00", "1.2346E+05"},
      {1.5, " 0.00000E+00", " 1.50000E+00"},
      {-1.5, " 0.00000E+00", " -1.50000E+00"},
      {0.000123, "0.000E+00", "1.230E-04"},
      {1.23456789012, "0.0000000E+00", "1.2345679E+00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

TEST(FormatNumber, NonFiniteValuesAreVisible) {
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN(), "0.00"), "NaN");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), "0.00"), "-Inf");
}

TEST(RightJustify, PadsCutsAndRoundsTheWidth) {
  EXPECT_EQ(RightJustify("1.5", 6), "   1.5");
  EXPECT_EQ(RightJustify("12345678", 6), "123456");
  EXPECT_EQ(RightJustify("abc", 0), "");
  EXPECT_EQ(RightJustify("abc", -3), "");
  EXPECT_EQ(RightJustify("a", 2.5), " a");   // halves to even
  EXPECT_EQ(RightJustify("a", 3.5), "   a");
  EXPECT_EQ(RightJustify("abc", 3), "abc");
}

TEST(Val, ReadsTheLongestLeadingNumber) {
  EXPECT_EQ(Val("1 234"), 1234);
  EXPECT_EQ(Val("  -1.5E+03abc"), -1500);
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("1e"), 1);
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(Val("+7"), 7);
  EXPECT_EQ(Val("1D2"), 100);
  EXPECT_EQ(Val("  12.5  "), 12.5);
  EXPECT_EQ(Val("-"), 0);
}

TEST(Val, BeyondTheRangeOfADoubleAsTheCLibrary) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* text;
    double expected;
  } cases[] = {{"1E+999", inf},  {"-0.001E+312", -inf}, {"1E-999", 0}, {"-1E-999", -0.0},
               {"1E-320", 1e-320}, {"0E+999", 0},       {"12345E-325", 1.2345e-321}, {"1E99999999999999999999", inf}};
  for (const auto& c : cases) {
    EXPECT_EQ(Val(c.text), c.expected) << c.text;
    EXPECT_EQ(std::signbit(Val(c.text)), std::signbit(c.expected)) << c.text;
  }
}

TEST(ParseNumber, AcceptsOnlyAWholeNumber) {
  EXPECT_EQ(ParseNumber(" 1.5 "), 1.5);
  EXPECT_EQ(ParseNumber("-1.0000000E+100"), -1e100);
  EXPECT_EQ(ParseNumber("1E+06"), 1e6);
  EXPECT_FALSE(ParseNumber("abc"));
  EXPECT_FALSE(ParseNumber(""));
  EXPECT_FALSE(ParseNumber("      "));
  EXPECT_FALSE(ParseNumber("1 2"));
  EXPECT_FALSE(ParseNumber("1.5x"));
  EXPECT_FALSE(ParseNumber("1E+999"));
}

// What a person types: a point, or a comma in a text without a point; the
// rest is refused whole, never read as its numeric start.
TEST(ParseTypedNumber, ReadsAPointOrALoneDecimalComma) {
  const std::pair<const char*, std::optional<double>> rows[] = {
      {"1.5", 1.5},     {" -0,35 ", -0.35}, {"1,0E-05", 1e-5},     {"0,05", 0.05},         {"2e-5", 2e-5},
      {"abc", {}},      {"25x21", {}},      {"1.000,5", {}},       {"1,2,3", {}},          {"", {}},
      {"  ", {}},       {"1,", 1.0},        {"NaN", {}},           {"1E+999", {}},
  };
  for (const auto& [text, expected] : rows) EXPECT_EQ(ui::ParseTypedNumber(text), expected) << text;
  EXPECT_EQ(ui::WithDecimalPoint(" 1,5 "), "1.5");
}

TEST(IntegerConversion, HalvesToEvenAndRangeChecked) {
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(-32768.4), -32768);
  EXPECT_FALSE(ToInt16(32768));
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
  EXPECT_FALSE(ToInt32(2147483648.0));
}

TEST(NumberTexts, ShortestGeneralAndStr) {
  EXPECT_EQ(ShortestText(0.1), "0.1");
  EXPECT_EQ(ShortestText(-2), "-2");
  EXPECT_EQ(ShortestText(1e-20), "1e-20");
  EXPECT_EQ(GeneralNumber(0.25), "0.25");
  EXPECT_EQ(GeneralNumber(1.5e-7), "1.5E-07");
  EXPECT_EQ(GeneralNumber(100), "100");
  EXPECT_EQ(GeneralNumber(-2), "-2");
  EXPECT_EQ(GeneralNumber(1e15), "1E+15");
  EXPECT_EQ(GeneralNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(GeneralNumber(0.00012), "0.00012");
  EXPECT_EQ(StrNumber(5), " 5");
  EXPECT_EQ(StrNumber(-5), "-5");
}

}  // namespace
}  // namespace kalvex
