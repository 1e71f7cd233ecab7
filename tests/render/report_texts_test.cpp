#include "render/report_texts.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SubstituteNormLength, UsesTheNormalisationOrTheCableLength) {
  EXPECT_EQ(SubstituteNormLength("dB/[NORM_LENGTH]m", "100", "305"), "dB/100m");
  EXPECT_EQ(SubstituteNormLength("dB/[NORM_LENGTH]m", "0", "305"), "dB/305m");
  EXPECT_EQ(SubstituteNormLength("dB/[NORM_LENGTH]m", "", "305"), "dB/[NORM_LENGTH]m");
  EXPECT_EQ(SubstituteNormLength("[NORM_LENGTH] and [NORM_LENGTH]", "90", ""), "90 and 90");
}

TEST(UnitsOfTest, ByTheNameBeforeTheFirstBar) {
  EXPECT_EQ(UnitsOfTest("Impedance (Term) Near|Impedance (Term) Far"), "Ohms");
  EXPECT_EQ(UnitsOfTest(" Skew (Pair-Pair) Far "), "ns");
  EXPECT_EQ(UnitsOfTest("Delay Near"), "ns/[NORM_LENGTH]");
  EXPECT_EQ(UnitsOfTest("Velocity of Propagation Far"), "%");
  EXPECT_EQ(UnitsOfTest("Surface Transfer Impedance"), "mOhms/Meter");
  EXPECT_EQ(UnitsOfTest("impedance (term) near"), "dB");  // compared exactly
}

TEST(ReturnWorstMargin, KeepsTheSmallerNumber) {
  EXPECT_EQ(ReturnWorstMargin("", "1.000 dB @ 1.000 MHz"), "1.000 dB @ 1.000 MHz");
  EXPECT_EQ(ReturnWorstMargin("1.000 dB @ 1 MHz", ""), "1.000 dB @ 1 MHz");
  EXPECT_EQ(ReturnWorstMargin("1.000 dB @ 1 MHz", "-0.500 dB @ 2 MHz"), "-0.500 dB @ 2 MHz");
  EXPECT_EQ(ReturnWorstMargin("-2.000 dB @ 1 MHz", "-0.500 dB @ 2 MHz"), "-2.000 dB @ 1 MHz");
  EXPECT_EQ(ReturnWorstMargin("TABULAR", "-0.500 dB @ 2 MHz"), "TABULAR");
}

TEST(MarginIsNegative, NeedsASignAndADigit) {
  EXPECT_TRUE(MarginIsNegative("-0.5 dB @ 1 MHz"));
  EXPECT_FALSE(MarginIsNegative("0.5 dB @ 1 MHz"));
  EXPECT_FALSE(MarginIsNegative("-"));
}

}  // namespace
}  // namespace vantrel
