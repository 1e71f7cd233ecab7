#include "results/grid_merge.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Column = std::vector<std::string>;

TEST(GridMerge, ExtremesSkipCellsWithoutANumber) {
  GridMerge merge({code::kMin, code::kMax}, false);
  merge.Add({{"5", "x", "x", "", "1E-05"}, {"5", "x", "2", "", "-3"}}, 1);
  merge.Add({{"-2", "3", "x", "4", "2E-05"}, {"1", "x", "x", "", "-3.5"}}, 2);
  const ValueGrid grid = merge.Grid();
  ASSERT_EQ(grid.size(), 2u);
  EXPECT_EQ(TextsOf(grid[0]), (Column{"-2", "3", "x", "4", "1E-05"}));
  EXPECT_EQ(TextsOf(grid[1]), (Column{"5", "x", "2", "", "-3"}));
}

TEST(GridMerge, MeanAveragesOnlyOccurrencesWithANumber) {
  GridMerge merge({1, code::kMean}, false);
  merge.Add({{"1", "2", "3"}, {"2", "x", "4"}}, 1);
  merge.Add({{"1", "2"}, {"3", "x"}}, 2);
  merge.Add({{"1", "2"}, {"7", "x"}}, 3);
  const ValueGrid grid = merge.Grid();
  // (2+3+7)/3 = 4; no number in row 1; only the first sweep reaches row 2.
  EXPECT_EQ(TextsOf(grid[1]), (Column{"4", "x", "4"}));
  ASSERT_EQ(grid.size(), 4u);
  EXPECT_EQ(TextsOf(grid[2]), (Column{"1", "2", ""}));
  EXPECT_EQ(merge.Columns()[3].Occurrence, 3);
}

TEST(GridMerge, TablesKeepTheLabelsOnceAndEveryFigureColumn) {
  GridMerge merge({1, 2}, true);
  merge.Add({{"Min", "Max"}, {"", ""}, {"1", "3"}}, 1);
  merge.Add({{"Min", "Max"}, {"", ""}, {"0", "4"}}, 2);
  const ValueGrid grid = merge.Grid();
  ASSERT_EQ(grid.size(), 5u);
  EXPECT_EQ(TextsOf(grid[0]), (Column{"Min", "Max"}));
  EXPECT_EQ(TextsOf(grid[2]), (Column{"1", "3"}));
  EXPECT_EQ(TextsOf(grid[4]), (Column{"0", "4"}));
  EXPECT_EQ(merge.Columns()[4].Occurrence, 2);
  EXPECT_EQ(merge.Columns()[4].CodeIndex, 1);
}

struct MarginTextCase {
  const char* Accumulated;
  const char* Next;
  const char* Expected;
};

class MergeMarginTextCases : public ::testing::TestWithParam<MarginTextCase> {};

TEST_P(MergeMarginTextCases, KeepsTheWorse) {
  const MarginTextCase& c = GetParam();
  EXPECT_EQ(MergeMarginText(c.Accumulated, c.Next), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MergeMarginTextCases,
    ::testing::Values(
        MarginTextCase{"", "1.000 dB @ 2.000 MHz", "1.000 dB @ 2.000 MHz"},
        MarginTextCase{"1.000 dB @ 2.000 MHz", "", "1.000 dB @ 2.000 MHz"},
        MarginTextCase{"1.000 dB @ 2.000 MHz", "-0.500 dB @ 9.000 MHz", "-0.500 dB @ 9.000 MHz"},
        MarginTextCase{"-0.500 dB @ 9.000 MHz", "1.000 dB @ 2.000 MHz", "-0.500 dB @ 9.000 MHz"},
        // A tie keeps what came first.
        MarginTextCase{"1.000 dB @ 2.000 MHz", "1.000 dB @ 5.000 MHz", "1.000 dB @ 2.000 MHz"},
        MarginTextCase{"", "TABULAR", ""},
        MarginTextCase{"TABULAR", "2.000 dB @ 1.000 MHz", "2.000 dB @ 1.000 MHz"}));

}  // namespace
}  // namespace vantrel
