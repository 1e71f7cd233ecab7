#include "testdata/grid_merge.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Column = std::vector<std::string>;

TEST(GridMerge, ExtremesPreferNumbersOverMissingAndEmptyCells) {
  GridMerge merge({code::kMin, code::kMax}, false);
  merge.Add({{"x", "3", "-1"}, {"x", "3", "-1"}}, 1);
  merge.Add({{"2", "x", "-10", "7"}, {"2", "x", "-10", "7"}}, 2);
  const TextGrid grid = merge.Grid();
  ASSERT_EQ(grid.size(), 2u);
  EXPECT_EQ(grid[0], (Column{"2", "3", "-10", "7"}));
  EXPECT_EQ(grid[1], (Column{"2", "3", "-1", "7"}));
  EXPECT_EQ(merge.Columns()[0].occurrence, 0);
}

TEST(GridMerge, MeanAveragesTheOccurrencesThatHaveANumber) {
  GridMerge merge({1, code::kMean}, false);
  merge.Add({{"1", "2", "3"}, {"1", "x", "4"}}, 1);
  merge.Add({{"1", "2"}, {"2", "x"}}, 2);
  merge.Add({{"1"}, {"6"}}, 3);
  const TextGrid grid = merge.Grid();
  ASSERT_EQ(grid.size(), 4u);  // 1 of each occurrence, one mean
  EXPECT_EQ(grid[1], (Column{"3", "x", "4"}));
  EXPECT_EQ(grid[3], (Column{"1", "", ""}));  // shorter sweeps padded
  EXPECT_EQ(merge.Columns()[3].occurrence, 3);
  EXPECT_EQ(merge.Columns()[3].codeIndex, 0);
}

TEST(GridMerge, TablesKeepOneLabelColumnAndFiguresPerOccurrence) {
  GridMerge merge({2, 3}, true);
  merge.Add({{"Min", "Max"}, {"1", "2"}, {"3", "4"}}, 1);
  merge.Add({{"Min", "Max"}, {"5", "6"}, {"7", "8"}}, 2);
  const TextGrid grid = merge.Grid();
  ASSERT_EQ(grid.size(), 5u);
  EXPECT_EQ(grid[0], (Column{"Min", "Max"}));
  EXPECT_EQ(grid[3], (Column{"5", "6"}));
  EXPECT_EQ(merge.Columns()[3].occurrence, 2);
  EXPECT_EQ(merge.Columns()[3].code, 2);
}

TEST(MergeMarginText, SmallerNumberWinsAndFormatWordNever) {
  const std::string a = "2.000 dB @ 1.000 MHz";
  const std::string b = "-10.000 dB @ 5.000 MHz";
  EXPECT_EQ(MergeMarginText("", a), a);
  EXPECT_EQ(MergeMarginText(a, ""), a);
  EXPECT_EQ(MergeMarginText(a, b), b);  // by number, not by text order
  EXPECT_EQ(MergeMarginText(b, a), b);
  EXPECT_EQ(MergeMarginText(a, "2.000 dB @ 9.000 MHz"), a);  // a tie keeps the earlier
  EXPECT_EQ(MergeMarginText(a, "TABULAR"), a);
  EXPECT_EQ(MergeMarginText("TABULAR", a), a);
}

}  // namespace
}  // namespace vantrel
