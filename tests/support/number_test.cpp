#include "support/number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace vantrel {
namespace {

TEST(Val, TakesTheLongestLeadingNumber) {
  EXPECT_DOUBLE_EQ(Val("  12.5abc"), 12.5);
  EXPECT_DOUBLE_EQ(Val("-3e2x"), -300);
  EXPECT_DOUBLE_EQ(Val("1e"), 1);
  EXPECT_DOUBLE_EQ(Val(".5"), 0.5);
  EXPECT_DOUBLE_EQ(Val("+7"), 7);
  EXPECT_DOUBLE_EQ(Val("abc"), 0);
  EXPECT_DOUBLE_EQ(Val("-"), 0);
  EXPECT_DOUBLE_EQ(Val(""), 0);
  EXPECT_DOUBLE_EQ(Val("2D3"), 2000);
}

TEST(IsNumeric, AcceptsBlanksSignPointAndExponentOnly) {
  for (const char* yes : {"1", " 1 ", "-1.5", "+.5", "5.", "1e5", "1E-05", "  -0.000  "}) {
    EXPECT_TRUE(IsNumeric(yes)) << yes;
  }
  for (const char* no : {"", " ", ".", "-", "1,5", "1e", "x", "12a", "1 2", "pass", "1e+"}) {
    EXPECT_FALSE(IsNumeric(no)) << no;
  }
}

TEST(ToInt16, RoundsHalvesToEvenAndRefusesToWrap) {
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(2.6), 3);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768), -32768);
  EXPECT_FALSE(ToInt16(32767.5).has_value());
  EXPECT_FALSE(ToInt16(40000).has_value());
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN()).has_value());
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::infinity()).has_value());
}

TEST(WholeNumberOf, NeedsANumericText) {
  EXPECT_EQ(WholeNumberOf(" 7 "), 7);
  EXPECT_EQ(WholeNumberOf("12.5"), 12);
  EXPECT_FALSE(WholeNumberOf("").has_value());
  EXPECT_FALSE(WholeNumberOf("7a").has_value());
  EXPECT_EQ(IntegerOf("7a"), 7);
  EXPECT_EQ(IntegerOf(""), 0);
  EXPECT_FALSE(IntegerOf("99999").has_value());
}

struct FormatCase {
  double Value;
  const char* Pattern;
  const char* Expected;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, FormatsAsTheDefinitionFileAsks) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatNumber(c.Value, c.Pattern), c.Expected) << c.Value << " " << c.Pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumberTest,
    ::testing::Values(
        FormatCase{1.2345, "0.000", "1.235"}, FormatCase{-1.2345, "0.000", "-1.235"},
        FormatCase{0.125, "0.00", "0.13"}, FormatCase{2.675, "0.00", "2.68"},
        FormatCase{2.5, "0", "3"}, FormatCase{-2.5, "0", "-3"}, FormatCase{1.5, "0.###", "1.5"},
        FormatCase{2, "0.###", "2"}, FormatCase{31.25, "0.###", "31.25"},
        FormatCase{0.0004, "0.###", "0"}, FormatCase{-0.04, "0.0", "0.0"},
        FormatCase{9.96, "0.0", "10.0"}, FormatCase{0, "#", ""}, FormatCase{5.6, "#", "6"},
        FormatCase{1234567.891, "#,##0.00", "1,234,567.89"}, FormatCase{0.256, "0.0%", "25.6%"},
        FormatCase{12345, "0.00E+00", "1.23E+04"}, FormatCase{0.000123, "0.0E-00", "1.2E-04"},
        FormatCase{99.96, "0.0E+00", "1.0E+02"}, FormatCase{3.14159, "0.00 dB", "3.14 dB"},
        FormatCase{1.5, "Fixed", "1.50"}, FormatCase{0.1 + 0.2, "General Number", "0.3"},
        // Huge values turn to exponent form, as the general format does.
        FormatCase{1e308, "0.000", "1.000E+308"}, FormatCase{-1e300, "0", "-1E+300"},
        FormatCase{123456789012345.0, "0", "123456789012345"},
        FormatCase{2.5e15, "#,##0.00", "2.50E+15"}));

TEST(FormatGeneral, ShowsFifteenSignificantDigitsAtMost) {
  EXPECT_EQ(FormatGeneral(0), "0");
  EXPECT_EQ(FormatGeneral(-1.5), "-1.5");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatGeneral(1e15), "1E+15");
  EXPECT_EQ(FormatGeneral(1.23456789012345678e17), "1.23456789012346E+17");
  EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
  EXPECT_EQ(FormatGeneral(0.000015), "1.5E-05");
  EXPECT_EQ(FormatGeneral(1e-100), "1E-100");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN()), "x");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity()), "x");
}

// Graphs and tables take numbers where they once parsed the general text back: the
// number must be the one that text stands for, or pages and CSV would change.
TEST(RoundGeneral, GivesTheNumberOfTheGeneralText) {
  std::mt19937_64 random(7);
  std::vector<double> values{0.1 + 0.2,
                             1.0 / 3.0,
                             2.0 / 3.0,
                             -1.23456789012345678,
                             1e15 - 0.5,
                             123456789012345.67,
                             4.9406564584124654e-324,
                             2.2250738585072014e-308,
                             1.7976931348623157e308,
                             -0.000015,
                             999999999999999.9};
  for (int i = 0; i < 20000; ++i) {
    const double mantissa = std::uniform_real_distribution<double>(-10, 10)(random);
    values.push_back(mantissa *
                     std::pow(10.0, std::uniform_int_distribution<int>(-320, 300)(random)));
  }
  for (double v : values) {
    const std::string text = FormatGeneral(v);
    const double rounded = RoundGeneral(v);
    EXPECT_EQ(rounded, Val(text)) << text;
    if (std::isinf(rounded)) continue;  // the largest doubles' 15 digits overflow
    EXPECT_EQ(FormatGeneral(rounded), text);
    EXPECT_EQ(RoundGeneral(rounded), rounded) << text;
  }
  EXPECT_FALSE(std::signbit(RoundGeneral(-0.0)));  // "0", never "-0" after a sign change
  EXPECT_TRUE(std::isnan(RoundGeneral(std::numeric_limits<double>::infinity())));
}

}  // namespace
}  // namespace vantrel
