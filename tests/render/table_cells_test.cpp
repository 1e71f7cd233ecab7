#include "render/table_cells.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(IsSingleValueTest, KnowsTheSingleValueTestsInAnyCase) {
  EXPECT_TRUE(IsSingleValueTest("  DC Loop Resistance "));
  EXPECT_TRUE(IsSingleValueTest("capacitance unbalance: pair-ground"));
  EXPECT_FALSE(IsSingleValueTest("Attenuation Near"));
}

TEST(PairCombinations, CountsOnceOrTwicePerPairOfPairs) {
  EXPECT_EQ(PairCombinations("NEXT (Pair-Pair) Near", 4), 6);
  EXPECT_EQ(PairCombinations("fext (pair-pair) far", 4), 12);
  EXPECT_EQ(PairCombinations("Attenuation Near", 4), 0);
  EXPECT_EQ(PairCombinations("next (pair-pair) near", 1), 0);
}

TEST(VisibleTableColumns, SkipsPairsTheDataLacksAndHidesTheFirstColumn) {
  const std::vector<ColumnCode> cols{1, 2, 3, 4, 5, 6, code::kUpperLimit};
  EXPECT_EQ(VisibleTableColumns(cols, "Attenuation Near", 4, 0, false),
            (std::vector<int>{0, 1, 2, 3, 4, 6}));
  EXPECT_EQ(VisibleTableColumns(cols, "Attenuation Near", 3, 0, true),
            (std::vector<int>{1, 2, 3, 6}));
  // Pair-pair tests have more columns than pairs.
  const std::vector<ColumnCode> pp{1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(VisibleTableColumns(pp, "NEXT (Pair-Pair) Near", 4, 0, false).size(), 7u);
  // A later page starts further along.
  EXPECT_EQ(VisibleTableColumns(cols, "Attenuation Near", 4, 2, false),
            (std::vector<int>{0, 1, 2, 6}));
  // Without a pair count nothing is skipped.
  EXPECT_EQ(VisibleTableColumns(cols, "Attenuation Near", 0, 0, false).size(), 7u);
}

class TableCellsTest : public ::testing::Test {
 protected:
  TableDefinition table;
  AppSettings settings;
  // [column][row]: labels, frequency figures, then two pairs.
  ValueGrid grid{{"1", "Min", "Margin"},
                 {"1", "", ""},
                 {"-1.23456", "-3", GridCell::Failing("-0.5")},
                 {GridCell::Failing("2.5"), "~", "x"}};
  std::vector<std::string> headings{"Freq (MHz)", "Pair 1 - dB", "Pair 2 - dB"};
  std::vector<int> visible{0, 1, 2};

  std::vector<std::string> Texts(const TableCells& cells, std::size_t row) {
    std::vector<std::string> out;
    for (const TableCell& c : cells.Rows[row]) out.push_back(c.Text);
    return out;
  }
};

TEST_F(TableCellsTest, FormatsFiguresAndMarksFailuresInRed) {
  const TableCells cells = ComputeTableCells(table, settings, grid, headings, visible, false);
  ASSERT_EQ(cells.Rows.size(), 4u);
  EXPECT_EQ(Texts(cells, 0),
            (std::vector<std::string>{"Freq (MHz)", "Pair 1 - dB", "Pair 2 - dB"}));
  EXPECT_EQ(Texts(cells, 1), (std::vector<std::string>{"1", "-1.2", "2.5"}));
  EXPECT_EQ(cells.Rows[1][2].Colour, kRed);
  EXPECT_EQ(Texts(cells, 2), (std::vector<std::string>{"Min", "-3.0", "~"}));
  EXPECT_EQ(cells.Rows[2][2].Colour, kBlack);  // a lone "~" is kept, in black
  EXPECT_EQ(Texts(cells, 3), (std::vector<std::string>{"Margin", "-0.5", "x"}));
  EXPECT_EQ(cells.Rows[3][1].Colour, kRed);
}

// A text that comes with a leading "~" (comment fields, summaries, texts of the
// data file) is a failed value too: written without the mark, in red.
TEST_F(TableCellsTest, ALeadingTildeMarksAFailedTextButALoneTildeStays) {
  const ValueGrid comments{{"~57", "~", "~approx. values"}, {GridCell::Failing("1.5"), "~x", "57"}};
  const TableCells cells = ComputeTableCells(table, settings, comments, {}, {0, 1}, true);
  ASSERT_EQ(cells.Rows.size(), 4u);
  EXPECT_EQ(Texts(cells, 1), (std::vector<std::string>{"57", "1.5"}));
  EXPECT_EQ(Texts(cells, 2), (std::vector<std::string>{"~", "x"}));
  EXPECT_EQ(Texts(cells, 3), (std::vector<std::string>{"approx. values", "57"}));
  EXPECT_EQ(cells.Rows[1][0].Colour, kRed);
  EXPECT_EQ(cells.Rows[1][1].Colour, kRed);
  EXPECT_EQ(cells.Rows[2][0].Colour, kBlack);
  EXPECT_EQ(cells.Rows[2][1].Colour, kRed);
  EXPECT_EQ(cells.Rows[3][0].Colour, kRed);
  EXPECT_EQ(cells.Rows[3][1].Colour, kBlack);
  // In a test's own table the mark goes before the figure is formatted.
  const ValueGrid figures{{"1"}, {"1"}, {"~-0.54"}};
  const TableCells formatted = ComputeTableCells(table, settings, figures, {}, {0, 1}, false);
  EXPECT_EQ(formatted.Rows[1][1].Text, "-0.5");
  EXPECT_EQ(formatted.Rows[1][1].Colour, kRed);
}

TEST_F(TableCellsTest, AbsoluteReversedAndUnformattedValues) {
  table.AbsData = true;
  table.Format = "0.000";
  TableCells cells = ComputeTableCells(table, settings, grid, headings, visible, false);
  EXPECT_EQ(cells.Rows[1][1].Text, "1.235");
  table.AbsData = false;
  table.ReverseData = true;
  cells = ComputeTableCells(table, settings, grid, headings, visible, false);
  EXPECT_EQ(cells.Rows[1][1].Text, "1.235");
  table.ReverseData = false;
  table.Format = "NO FORMATTING";
  cells = ComputeTableCells(table, settings, grid, headings, visible, false);
  EXPECT_EQ(cells.Rows[1][1].Text, "-1.23456");
}

// Figures prepared as numbers are shown as their general texts would be.
TEST_F(TableCellsTest, NumberCellsShowAsTheirTexts) {
  ValueGrid numbers = grid;
  numbers[0][0] = GridCell::Number(1);
  numbers[2][0] = GridCell::Number(-1.23456);
  numbers[2][1] = GridCell::Number(-3);
  const auto texts = [&](const ValueGrid& g) {
    std::vector<std::vector<std::string>> out;
    const TableCells cells = ComputeTableCells(table, settings, g, headings, visible, false);
    for (std::size_t r = 0; r < cells.Rows.size(); ++r) out.push_back(Texts(cells, r));
    return out;
  };
  for (const char* format : {"", "0.000", "NO FORMATTING"}) {
    table.Format = format;
    for (int flags = 0; flags < 4; ++flags) {
      table.AbsData = flags & 1;
      table.ReverseData = flags & 2;
      EXPECT_EQ(texts(numbers), texts(grid)) << format << " " << flags;
    }
  }
}

TEST_F(TableCellsTest, HeadersAndRowTitlesFromTheDefinition) {
  table.Headers = {"MHz", "col_name"};
  table.FreqTitles = {"Low", "Lowest", "Worst"};
  const TableCells cells = ComputeTableCells(table, settings, grid, headings, visible, false);
  EXPECT_EQ(Texts(cells, 0), (std::vector<std::string>{"MHz", "Pair 1 - dB", "Pair 2 - dB"}));
  EXPECT_EQ(cells.Rows[3][0].Text, "Worst");
}

TEST_F(TableCellsTest, SummaryColumnsFollowTheGridAndShowFailuresRedUnderFailTextRed) {
  const TextGrid summary{{"Attenuation Near Test", "Return Loss Near Test"}, {"PASS", "FAIL"}};
  const auto failColour = [&] {
    return ComputeTableCells(table, settings, CellsOf(summary), {}, std::vector<int>{0, 1}, true)
        .Rows[2][1]
        .Colour;
  };
  EXPECT_EQ(failColour(), kBlack);
  settings.FailTextRed = true;
  const TableCells cells =
      ComputeTableCells(table, settings, CellsOf(summary), {}, std::vector<int>{0, 1}, true);
  ASSERT_EQ(cells.Rows.size(), 3u);
  EXPECT_EQ(cells.Rows[2][0].Text, "Return Loss Near Test");
  EXPECT_EQ(failColour(), kRed);
  EXPECT_EQ(cells.Rows[1][1].Colour, kBlack);
}

}  // namespace
}  // namespace vantrel
