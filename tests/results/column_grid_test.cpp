#include "results/column_grid.h"

#include <gtest/gtest.h>

#include <cmath>

#include "prep_blocks.h"
#include "results/cell_value.h"
#include "support/number.h"

namespace vantrel {
namespace {

using testing::BlockOf;
using Column = std::vector<std::string>;

// Two pairs (columns 2, 3), lower limit 4, upper limit 5, status 6. Status
// character k-1 belongs to column k.
TestBlock TwoPairSweep() {
  return BlockOf({{"1", "1", "10", "14", "8", "20", "-PP"},
                  {"2", "2", "x", "9", "8", "12", "-PP"},
                  {"3", "3", "x", "x", "x", "x", "-PP"}});
}

ColumnGrid Build(const TestBlock& block, std::vector<ColumnCode> codes, int16_t kind = 0,
                 bool control = false) {
  ColumnGridOptions options;
  options.ControlLimitsStored = control;
  options.MarginKind = kind;
  options.Units = "dB";
  return BuildColumnGrid(block, codes, options);
}

TEST(ColumnGrid, RowStatisticsSkipMissingCellsAndGiveXWithoutANumber) {
  const ColumnGrid grid = Build(TwoPairSweep(), {1, code::kMin, code::kMax, code::kMean});
  EXPECT_EQ(TextsOf(grid.Cells[0]), (Column{"1", "2", "3"}));
  // Row 2 starts with an "x" pair cell: it must not poison the minimum.
  EXPECT_EQ(TextsOf(grid.Cells[1]), (Column{"10", "9", "x"}));
  EXPECT_EQ(TextsOf(grid.Cells[2]), (Column{"14", "9", "x"}));
  EXPECT_EQ(TextsOf(grid.Cells[3]), (Column{"12", "9", "x"}));
}

TEST(ColumnGrid, MeanOfUnevenPairsUsesGeneralNumberForm) {
  const TestBlock block =
      BlockOf({{"1", "1", "1", "2", "0", "0", "-PP"}, {"2", "2", "pass", "-2.5", "0", "0", "-PP"}});
  const ColumnGrid grid = Build(block, {code::kMean, code::kMin, 2});
  EXPECT_EQ(TextsOf(grid.Cells[0]), (Column{"1.5", "-2.5"}));
  EXPECT_EQ(TextsOf(grid.Cells[1]), (Column{"1", "-2.5"}));
  EXPECT_EQ(TextsOf(grid.Cells[2]), (Column{"1", "pass"}));
}

TEST(ColumnGrid, LimitColumnsAndLastPairWithoutControlLimits) {
  const ColumnGrid grid =
      Build(TwoPairSweep(), {code::kLowerLimit, code::kUpperLimit, code::kLastPair,
                             code::kUpperControl, code::kLowerControl});
  EXPECT_EQ(TextsOf(grid.Cells[0]), (Column{"8", "8", "x"}));
  EXPECT_EQ(TextsOf(grid.Cells[1]), (Column{"20", "12", "x"}));
  EXPECT_EQ(TextsOf(grid.Cells[2]), (Column{"14", "9", "x"}));
  EXPECT_EQ(TextsOf(grid.Cells[3]), (Column{"x", "x", "x"}));
  EXPECT_EQ(TextsOf(grid.Cells[4]), (Column{"x", "x", "x"}));
}

// One pair (2), lower control 3, upper control 4, lower limit 5, upper limit 6.
TestBlock ControlSweep() {
  return BlockOf(
      {{"1", "10", "5", "1", "7", "0", "9", "-P"}, {"2", "20", "6", "2", "6.5", "0", "9", "-P"}});
}

TEST(ColumnGrid, ControlLimitColumnsAndLastPairWithControlLimits) {
  const ColumnGrid grid = Build(ControlSweep(),
                                {code::kLowerControl, code::kUpperControl, code::kLastPair,
                                 code::kLowerLimit, code::kUpperLimit},
                                0, true);
  EXPECT_EQ(TextsOf(grid.Cells[0]), (Column{"1", "2"}));
  EXPECT_EQ(TextsOf(grid.Cells[1]), (Column{"7", "6.5"}));
  EXPECT_EQ(TextsOf(grid.Cells[2]), (Column{"5", "6"}));
  EXPECT_EQ(TextsOf(grid.Cells[3]), (Column{"0", "0"}));
  EXPECT_EQ(TextsOf(grid.Cells[4]), (Column{"9", "9"}));
}

TEST(ColumnGrid, CodeBeyondTheBlockEndsTheRowButNegativeCodesOnlySkip) {
  const ColumnGrid grid = Build(TwoPairSweep(), {1, code::kEmp, 2}, 1);
  EXPECT_EQ(TextsOf(grid.Cells[1]), (Column{"", "", ""}));
  EXPECT_EQ(TextsOf(grid.Cells[2]), (Column{"", "", ""}));
  EXPECT_EQ(grid.LimitMargin, "");

  const ColumnGrid wide = Build(TwoPairSweep(), {1, 7, 2, code::kMaxMinusMin});
  EXPECT_EQ(TextsOf(wide.Cells[2]), (Column{"", "", ""}));

  const ColumnGrid skipped = Build(TwoPairSweep(), {1, code::kNoGraph, 3});
  EXPECT_EQ(TextsOf(skipped.Cells[1]), (Column{"", "", ""}));
  EXPECT_EQ(TextsOf(skipped.Cells[2]), (Column{"14", "9", "x"}));
}

struct MarginCase {
  const char* Name;
  int16_t Kind;
  std::vector<ColumnCode> Codes;
  const char* Expected;
};

class ColumnGridMargin : public ::testing::TestWithParam<MarginCase> {};

// Hand figures over TwoPairSweep: lower margins 10-8=2, 14-8=6 at 1 MHz and 9-8=1 at
// 2 MHz; upper margins 20-10=10, 20-14=6 at 1 MHz and 12-9=3 at 2 MHz.
TEST_P(ColumnGridMargin, WorstOverAssessedPoints) {
  const MarginCase& c = GetParam();
  EXPECT_EQ(Build(TwoPairSweep(), c.Codes, c.Kind).LimitMargin, c.Expected) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ColumnGridMargin,
    ::testing::Values(MarginCase{"lower", 1, {1, 2, 3}, "1.000 dB @ 2.000 MHz"},
                      MarginCase{"upper", 2, {1, 2, 3}, "3.000 dB @ 2.000 MHz"},
                      MarginCase{"both", 3, {1, 2, 3}, "1.000 dB @ 2.000 MHz"},
                      MarginCase{"upper on one pair", 2, {1, 2}, "10.000 dB @ 1.000 MHz"},
                      MarginCase{"min statistic", 1, {1, code::kMin}, "1.000 dB @ 2.000 MHz"},
                      MarginCase{"max statistic", 2, {1, code::kMax}, "3.000 dB @ 2.000 MHz"},
                      MarginCase{"limits copied, not assessed", 3, {1, code::kLowerLimit}, ""},
                      MarginCase{"frequency column, not assessed", 1, {1}, ""},
                      MarginCase{"no kind", 0, {1, 2, 3}, ""},
                      MarginCase{"unknown kind", 4, {1, 2, 3}, ""}),
    [](const auto& p) {
      std::string name = p.param.Name;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

TEST(ColumnGrid, BothKindRecordsTheSmallerSideOfARow) {
  // Lower margin 6-0=6, upper margin 7-6=1: the upper side is the worse.
  const TestBlock block = BlockOf({{"1", "5", "6", "0", "7", "-P"}});
  EXPECT_EQ(Build(block, {1, 2}, 3).LimitMargin, "1.000 dB @ 5.000 MHz");
  EXPECT_EQ(Build(block, {1, 2}, 1).LimitMargin, "6.000 dB @ 5.000 MHz");
}

TEST(ColumnGrid, PointsNotAssessedLeaveTheirFrequencyInTheNote) {
  // Column 3 is "I" at 2 MHz (character 2) and column 2 at 3 MHz (character 1).
  const TestBlock block = BlockOf({{"1", "1", "10", "14", "8", "20", "-PP"},
                                   {"2", "2", "x", "9", "8", "12", "-PI"},
                                   {"3", "3", "8.5", "x", "8", "12", "-IP"}});
  const ColumnGrid grid = Build(block, {1, 2, 3}, 1);
  EXPECT_EQ(grid.LimitMargin, "2.000 dB @ 1.000 MHz");
  EXPECT_EQ(grid.Note, "3.000 MHz");
  EXPECT_EQ(Build(block, {1, 3}, 1).Note, "2.000 MHz");
  EXPECT_EQ(Build(block, {1, 2, 3}, 0).Note, "3.000 MHz");
  EXPECT_EQ(Build(TwoPairSweep(), {1, 2, 3}, 1).Note, "");
}

TEST(ColumnGrid, StatisticsAreAssessedOnlyOnRowsWithAVerdict) {
  const TestBlock block =
      BlockOf({{"1", "1", "10", "14", "8", "20", "-PP"}, {"2", "2", "9", "9", "8", "12", "-II"}});
  const ColumnGrid grid = Build(block, {1, code::kMin}, 1);
  EXPECT_EQ(grid.LimitMargin, "2.000 dB @ 1.000 MHz");
  EXPECT_EQ(grid.Note, "2.000 MHz");
  const TestBlock failing = BlockOf({{"1", "1", "10", "14", "8", "20", "-IF"}});
  EXPECT_EQ(Build(failing, {1, code::kMean}, 1).LimitMargin, "4.000 dB @ 1.000 MHz");
}

TEST(ColumnGrid, TiesKeepTheEarlierPoint) {
  const TestBlock block = BlockOf({{"1", "1", "10", "8", "20", "-P"},
                                   {"2", "2", "11", "10", "20", "-P"},
                                   {"3", "3", "12", "11", "20", "-P"}});
  EXPECT_EQ(Build(block, {1, 2}, 1).LimitMargin, "1.000 dB @ 2.000 MHz");
}

TEST(ColumnGrid, WorstPointAtZeroMegahertzIsKept) {
  const TestBlock block =
      BlockOf({{"1", "0", "-3", "0", "20", "-F"}, {"2", "1", "5", "0", "20", "-P"}});
  EXPECT_EQ(Build(block, {1, 2}, 1).LimitMargin, "-3.000 dB @ 0.000 MHz");
  const TestBlock only = BlockOf({{"1", "0", "4", "0", "20", "-P"}});
  EXPECT_EQ(Build(only, {1, 2}, 1).LimitMargin, "4.000 dB @ 0.000 MHz");
}

TEST(ColumnGrid, ControlMarginsRunBesideLimitMargins) {
  // Upper margins 9-5=4, 9-6=3; upper control margins 7-5=2, 6.5-6=0.5.
  const ColumnGrid grid = Build(ControlSweep(), {1, 2}, 2, true);
  EXPECT_EQ(grid.LimitMargin, "3.000 dB @ 20.000 MHz");
  EXPECT_EQ(grid.ControlMargin, "0.500 dB @ 20.000 MHz");
  // Lower control margins 5-1=4, 6-2=4: the tie keeps 10 MHz.
  EXPECT_EQ(Build(ControlSweep(), {1, 2}, 1, true).ControlMargin, "4.000 dB @ 10.000 MHz");
  EXPECT_EQ(Build(TwoPairSweep(), {1, 2}, 2, false).ControlMargin, "");
}

TEST(ColumnGrid, MissingLimitsGiveNoCandidate) {
  const TestBlock block =
      BlockOf({{"1", "1", "5", "x", "", "-P"}, {"2", "2", "6", "x", "7", "-P"}});
  EXPECT_EQ(Build(block, {1, 2}, 1).LimitMargin, "");
  EXPECT_EQ(Build(block, {1, 2}, 3).LimitMargin, "1.000 dB @ 2.000 MHz");
}

TEST(ColumnGrid, NarrowBlocksNeverReachOutside) {
  const TestBlock block = BlockOf({{"1", "2"}});
  const ColumnGrid grid = Build(
      block, {1, code::kMin, code::kLowerLimit, code::kLastPair, code::kUpperControl}, 3, true);
  EXPECT_EQ(TextsOf(grid.Cells[0]), Column{"2"});
  EXPECT_EQ(TextsOf(grid.Cells[1]), Column{"x"});
  EXPECT_EQ(TextsOf(grid.Cells[2]), Column{""});
  EXPECT_EQ(grid.LimitMargin, "");
  const ColumnGrid empty = Build(TestBlock{}, {1, 2}, 1);
  EXPECT_TRUE(empty.Cells[0].empty());
}

TEST(WorstMarginText, RoundsToThousandthsWithUnitsAndFrequency) {
  EXPECT_EQ(WorstMarginText(-1.2346, "Ohms", 100), "-1.235 Ohms @ 100.000 MHz");
  EXPECT_EQ(WorstMarginText(0.5, "", 0.25), "0.500  @ 0.250 MHz");
}

TEST(Log10, ZeroIsTakenAsOneBillionth) {
  EXPECT_DOUBLE_EQ(Log10(0), -9);
  EXPECT_DOUBLE_EQ(Log10(1000), 3);
  EXPECT_TRUE(std::isnan(Log10(-1)));
}

// Parsed cells keep their numbers; a long field is held as its 15-digit general form
// and a zero without its sign, so that graphs see what the text once gave them.
TEST(ColumnGrid, CellsHoldTheNumbersTheirTextsShow) {
  Cell cell;
  ParseCell("-1.234567890123456789", cell);
  GridCell g = GridCell::Of(cell);
  ASSERT_TRUE(g.IsNumber());
  EXPECT_EQ(*g.Value(), Val("-1.23456789012346"));
  EXPECT_EQ(g.Text(), "-1.23456789012346");
  ParseCell(" -0.000", cell);
  g = GridCell::Of(cell);
  EXPECT_EQ(g.Text(), "0");
  EXPECT_FALSE(std::signbit(*g.Value()));
  ParseCell("1E400", cell);
  EXPECT_EQ(GridCell::Of(cell).Text(), "x");
  EXPECT_FALSE(GridCell::Of(cell).Value());
  ParseCell("Pass", cell);
  EXPECT_EQ(GridCell::Of(cell).Text(), "Pass");
  EXPECT_FALSE(GridCell::Of(cell).Value());
  EXPECT_TRUE(GridCell::Of(Cell{}).Empty());
  // A mean is rounded once, as its text was.
  const ColumnGrid grid =
      Build(BlockOf({{"1", "1", "1", "1", "2", "0", "9", "-PPPP"}}), {1, code::kMean});
  EXPECT_EQ(*grid.Cells[1][0].Value(), Val(FormatGeneral((1 + 1 + 2) / 3.0)));
}

}  // namespace
}  // namespace vantrel
