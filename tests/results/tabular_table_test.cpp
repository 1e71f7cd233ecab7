#include "results/tabular_table.h"

#include <gtest/gtest.h>

#include "prep_blocks.h"
#include "support/number.h"

namespace vantrel {
namespace {

using testing::BlockOf;
using Row = std::vector<std::string>;

// Two points; pairs in columns 2 and 3, lower limit 4, upper limit 5, status 6.
TestBlock TwoPoints(const std::string& lastStatus = "-PP") {
  return BlockOf(
      {{"1", "1", "1", "5", "0", "10", "-PP"}, {"2", "3", "3", "x", "0", "10", lastStatus}});
}

// A failing cell reads "~" and its text here, so that a row compares as one list.
TextGrid Table(const TestBlock& block, std::vector<ColumnCode> codes, std::vector<std::string> rows,
               const std::string& test = "attenuation near", bool failTextRed = false,
               bool control = false) {
  TabularOptions options;
  options.ControlLimitsStored = control;
  options.TestName = test;
  options.FailTextRed = failTextRed;
  TextGrid out;
  for (const std::vector<GridCell>& column : BuildTabularTable(block, codes, rows, options)) {
    out.emplace_back();
    for (const GridCell& c : column) out.back().push_back((c.Failed() ? "~" : "") + c.Text());
  }
  return out;
}

Row RowOf(const TextGrid& table, std::size_t row) {
  Row cells;
  for (const auto& column : table) cells.push_back(column.at(row));
  return cells;
}

const std::vector<ColumnCode> kCodes = {1, 2, 3, code::kUpperLimit};

TEST(TabularTable, StatisticsOfPairColumns) {
  const TextGrid table =
      Table(TwoPoints(), kCodes, {"9990", "9991", "9992", "9993", "9994", "9995", "9996"});
  ASSERT_EQ(table.size(), 5u);
  EXPECT_EQ(RowOf(table, 0), (Row{"Min", "", "1", "5", ""}));
  EXPECT_EQ(RowOf(table, 1), (Row{"Max", "", "3", "5", ""}));
  EXPECT_EQ(RowOf(table, 2), (Row{"Mean", "", "2", "5", ""}));
  EXPECT_EQ(RowOf(table, 3), (Row{"StdDev", "", "1", "0", ""}));
  EXPECT_EQ(RowOf(table, 4), (Row{"Max-Mean", "", "1", "0", ""}));
  EXPECT_EQ(RowOf(table, 5), (Row{"Mean-Min", "", "1", "0", ""}));
  EXPECT_EQ(RowOf(table, 6), (Row{"Max-Min", "", "2", "0", ""}));
}

TEST(TabularTable, StatisticsOfAColumnWithoutNumbersAreX) {
  const TestBlock block =
      BlockOf({{"1", "1", "x", "0", "10", "-P"}, {"2", "2", "pass", "0", "10", "-P"}});
  const TextGrid table = Table(block, {1, 2}, {"9990", "9992", "9993", "9996", "9986"});
  for (std::size_t r = 0; r < 4; ++r) EXPECT_EQ(table[2][r], "x") << r;
  // Nothing to weigh sums to 0, and EMP is then the figure of a zero sum.
  EXPECT_EQ(table[2][4], "-95");
}

TEST(TabularTable, StatisticsIgnoreStatusButMarginsSkipPointsNotAssessed) {
  // Column 2 is "I" at 3 MHz: margins see only 1 MHz, statistics both points.
  const TextGrid table =
      Table(TwoPoints("-IP"), {1, 2}, {"9992", "10201", "10203", "10200", "10206"});
  EXPECT_EQ(RowOf(table, 0), (Row{"Mean", "", "2"}));
  EXPECT_EQ(table[2][1], "1");
  EXPECT_EQ(table[2][2], "1");
  EXPECT_EQ(table[2][3], "9");
  EXPECT_EQ(table[2][4], "1");
}

TEST(TabularTable, MarginRowsWithTheirFrequencyAndValue) {
  // Column 2: upper margins 10-1=9 at 1 MHz, 10-3=7 at 3 MHz; lower margins 1 and 3.
  const TextGrid table =
      Table(TwoPoints(), kCodes, {"10200", "10203", "10204", "10201", "10203", "10204", "10202"});
  EXPECT_EQ(RowOf(table, 0)[0], "Margin");
  EXPECT_EQ(table[2], (Row{"7", "3", "3", "1", "1", "1", "1"}));
  EXPECT_EQ(table[3], (Row{"5", "1", "5", "5", "1", "5", "5"}));
  EXPECT_EQ(table[4], (Row{"", "", "", "", "", "", ""}));  // a limit code is past the block
  EXPECT_EQ(table[0], (Row{"Margin", "Freq", "Value", "Margin", "Freq", "Value", "Margin"}));
}

// The frequency column is no pair, yet its points have margins to the limits; its
// statistics stay empty.
TEST(TabularTable, MarginRowsOfAColumnThatIsNoPair) {
  const TextGrid table =
      Table(TwoPoints(), {1}, {"10200", "10203", "10204", "10201", "10206", "9990", "9986"});
  EXPECT_EQ(table[1], (Row{"7", "3", "3", "1", "2", "", ""}));
}

TEST(TabularTable, FrequencyAndValueWithoutAMarginRowBeforeThem) {
  EXPECT_EQ(Table(TwoPoints(), {1, 2}, {"10203", "10201"})[2], (Row{"1", "1"}));
  // No margin row at all: the test's limit sense decides.
  EXPECT_EQ(Table(TwoPoints(), {1, 2}, {"10203", "10204"}, "next near")[2], (Row{"3", "3"}));
  EXPECT_EQ(Table(TwoPoints(), {1, 2}, {"10203"}, "attenuation near")[2], (Row{"1"}));
}

TEST(TabularTable, PercentMarginsAndAZeroLimit) {
  // Lower: (-15+20)/20*100 = 25 at 1 MHz, (-1-0)/1E-09*100 = -1E+11 at 2 MHz.
  // Upper: (10+15)/10*100 = 250; the second point has no upper limit.
  const TestBlock block =
      BlockOf({{"1", "1", "-15", "-20", "10", "-P"}, {"2", "2", "-1", "0", "x", "-P"}});
  const TextGrid table = Table(block, {1, 2}, {"10205", "10203", "10207", "10204"});
  EXPECT_EQ(table[0], (Row{"Margin %", "Freq", "Margin %", "Value"}));
  EXPECT_EQ(table[2], (Row{"-100000000000", "2", "250", "-15"}));
}

struct AverageCase {
  const char* Test;
  const char* UpperLimit;
  const char* Expected;
};

class TabularAverage : public ::testing::TestWithParam<AverageCase> {};

// Values 1 and 3 against a lower limit 0 and the given upper limit.
TEST_P(TabularAverage, TakesTheTestsLimitSense) {
  const AverageCase& c = GetParam();
  const TestBlock block =
      BlockOf({{"1", "1", "1", "0", c.UpperLimit, "-P"}, {"2", "3", "3", "0", c.UpperLimit, "-P"}});
  EXPECT_EQ(Table(block, {1, 2}, {"10206"}, c.Test)[2][0], c.Expected) << c.Test;
}

INSTANTIATE_TEST_SUITE_P(
    Classes, TabularAverage,
    ::testing::Values(AverageCase{"attenuation near", "10", "2"},         // (1+3)/2
                      AverageCase{"next near", "10", "8"},                // (9+7)/2
                      AverageCase{"Impedance (Term) Near|2", "10", "5"},  // halves of 10
                      AverageCase{"impedance (term) near", "x", "2"},     // not halved
                      AverageCase{"next near", "x", ""}));

TEST(TabularTable, AverageMarginCountsOnlyPointsThatGaveAMargin) {
  EXPECT_EQ(Table(TwoPoints("-IP"), {1, 2}, {"10206"})[2][0], "1");
}

TEST(TabularTable, EmpWeightsTheSweep) {
  // Only 3 MHz counts: 2 * 3^2 / ((239000^2 + 3E6^2) * (41200000^2 + 3E6^2))
  // = 1.16464E-27, and -185 - 10 * log10 of it = 84.3381.
  const TextGrid table = Table(TwoPoints(), {1, 2, 3}, {"9986"});
  EXPECT_EQ(table[0][0], "EMP");
  EXPECT_EQ(table[1][0], "");
  EXPECT_NEAR(Val(table[2][0]), 84.3381, 0.0001);
  EXPECT_EQ(table[3][0], "-95");  // its one number is in row 0, which weighs nothing
  const TestBlock oneRow = BlockOf({{"1", "1", "-3", "0", "10", "-P"}});
  EXPECT_EQ(Table(oneRow, {1, 2}, {"9986"})[2][0], "-95");
  const TestBlock silent =
      BlockOf({{"1", "1", "0", "0", "10", "-P"}, {"2", "2", "0", "0", "10", "-P"}});
  EXPECT_EQ(Table(silent, {1, 2}, {"9986"})[2][0], "-95");
}

TEST(TabularTable, FrequencyRowsAtExactInterpolatedAndOutsidePoints) {
  const TextGrid table = Table(TwoPoints(), kCodes, {"1", "3", "2", "5", "0.5", "1.23456"});
  EXPECT_EQ(RowOf(table, 0), (Row{"1", "1", "1", "5", "10"}));
  EXPECT_EQ(RowOf(table, 1), (Row{"3", "3", "3", "x", "10"}));
  EXPECT_EQ(RowOf(table, 2), (Row{"2", "2", "2", "x", "10"}));
  EXPECT_EQ(RowOf(table, 3), (Row{"5", "x", "x", "x", "x"}));
  EXPECT_EQ(RowOf(table, 4), (Row{"0.5", "x", "x", "x", "x"}));
  EXPECT_EQ(table[0][5], "1.235");
}

TEST(TabularTable, FrequencyRowsOfDistancesLimitsAndDescendingSweeps) {
  const std::vector<ColumnCode> codes = {1,
                                         code::kDistanceAboveLower + 2,
                                         code::kDistanceBelowUpper + 2,
                                         code::kLowerLimit,
                                         code::kLastPair,
                                         code::kDistanceAboveLower + 9};
  // At 2 MHz: dl2 between 1 and 3, du2 between 9 and 7.
  EXPECT_EQ(RowOf(Table(TwoPoints(), codes, {"2"}), 0), (Row{"2", "2", "2", "8", "0", "x", ""}));
  const TestBlock falling =
      BlockOf({{"1", "10", "0", "-5", "20", "-P"}, {"2", "5", "10", "5", "20", "-P"}});
  // 6 MHz is a fifth of the way from 5 to 10: 10 - 2 = 8, limit 5 - 2 = 3.
  EXPECT_EQ(RowOf(Table(falling, {1, 2, code::kLowerLimit}, {"6"}), 0), (Row{"6", "6", "8", "3"}));
}

TEST(TabularTable, ControlLimitColumnsOnFrequencyRows) {
  // One pair (2), lower control 3, upper control 4, lower limit 5, upper limit 6.
  const TestBlock block = BlockOf({{"1", "10", "5", "1", "7", "0", "9", "-P"}});
  const std::vector<ColumnCode> codes = {1, code::kLowerControl, code::kUpperControl,
                                         code::kLastPair};
  EXPECT_EQ(RowOf(Table(block, codes, {"10"}, "next near", false, true), 0),
            (Row{"10", "10", "1", "7", "5"}));
}

TEST(TabularTable, FailMarksOnlyUnderFailTextRed) {
  const TestBlock block = BlockOf({{"1", "1", "12", "-1", "5", "0", "10", "-FFP"}});
  const std::vector<ColumnCode> codes = {
      1, 2, 3, 4, code::kUpperLimit, code::kDistanceAboveLower + 2, code::kDistanceBelowUpper + 2};
  EXPECT_EQ(RowOf(Table(block, codes, {"1"}, "next near", true), 0),
            (Row{"1", "1", "~12", "~-1", "5", "10", "12", "~-2"}));
  EXPECT_EQ(RowOf(Table(block, codes, {"1"}, "next near", false), 0),
            (Row{"1", "1", "12", "-1", "5", "10", "12", "-2"}));
  // Margins below 0 are marked; 10-12 = -2 and 10-5 = 5.
  const TextGrid margins = Table(block, {1, 2, 4}, {"10200", "10204", "10206"}, "next near", true);
  EXPECT_EQ(margins[1], (Row{"9", "1", "9"}));  // the frequency column's own margin: 10-1
  EXPECT_EQ(margins[2], (Row{"~-2", "12", "~-2"}));
  EXPECT_EQ(margins[3], (Row{"5", "5", "5"}));
}

TEST(TabularTable, UnknownRowsAndCodesStayEmpty) {
  const TextGrid table = Table(TwoPoints(), {1, 2, 40, -999}, {"abc", "9990", " 9991 "});
  EXPECT_EQ(RowOf(table, 0), (Row{"", "", "", "", ""}));
  EXPECT_EQ(RowOf(table, 1), (Row{"Min", "", "1", "", ""}));
  EXPECT_EQ(RowOf(table, 2), (Row{"Max", "", "3", "", ""}));
  EXPECT_TRUE(Table(TwoPoints(), {}, {})[0].empty());
}

}  // namespace
}  // namespace vantrel
