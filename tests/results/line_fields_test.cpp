#include "results/line_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/cell_value.h"
#include "support/number.h"

namespace vantrel {
namespace {

struct SplitCase {
  std::string Line;
  char Delimiter;
  std::vector<std::string> Fields;
};

class LineFieldsTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineFieldsTable, SplitsAsTheFileIsWritten) {
  const SplitCase& c = GetParam();
  std::vector<std::string_view> fields;
  const int n = LineFields(c.Line, c.Delimiter, fields);
  ASSERT_EQ(n, static_cast<int>(c.Fields.size())) << c.Line;
  for (std::size_t i = 0; i < c.Fields.size(); ++i) EXPECT_EQ(fields[i], c.Fields[i]);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineFieldsTable,
                         ::testing::Values(SplitCase{"a\tb\tc", '\t', {"a", "b", "c"}},
                                           SplitCase{"a\t\tc", '\t', {"a", "", "c"}},
                                           // Trailing tabs and commas go whatever the delimiter.
                                           SplitCase{"a\tb\t,\t,", '\t', {"a", "b"}},
                                           SplitCase{"a,b,,\t", ',', {"a", "b"}},
                                           SplitCase{"\t,\t,", '\t', {}}, SplitCase{",", ',', {}},
                                           SplitCase{"", '\t', {}},
                                           SplitCase{" \t x", '\t', {" ", " x"}},
                                           SplitCase{"a,b\tc", '\t', {"a,b", "c"}},
                                           SplitCase{"a,b\tc", ',', {"a", "b\tc"}}));

TEST(LineFields, TheLastOfFiveThousandAndOneFieldsTakesTheRest) {
  std::string line;
  for (int i = 0; i < 5003; ++i) line += std::to_string(i) + "\t";
  line += "end";
  std::vector<std::string_view> fields;
  ASSERT_EQ(LineFields(line, '\t', fields), kMaxFields);
  EXPECT_EQ(fields[4999], "4999");
  EXPECT_EQ(fields[5000], "5000\t5001\t5002\tend");
}

TEST(LineCursor, LinesEndInLfOrCrLfAndPositionsAreOneBased) {
  const std::string text = "one\r\ntwo\n\nlast";
  LineCursor cursor(text);
  std::string_view line;
  std::vector<std::pair<std::size_t, std::string>> seen;
  while (true) {
    const std::size_t at = cursor.Position();
    if (!cursor.Next(line)) break;
    seen.emplace_back(at, std::string(line));
  }
  const std::vector<std::pair<std::size_t, std::string>> expected{
      {1, "one"}, {6, "two"}, {10, ""}, {11, "last"}};
  EXPECT_EQ(seen, expected);
  cursor.Seek(6);
  ASSERT_TRUE(cursor.Next(line));
  EXPECT_EQ(line, "two");
}

TEST(LineCursor, ALoneCarriageReturnEndsALineToo) {
  // An editor that mixes line ends must not merge two header lines into one.
  const std::string text = "a\rb\r\nc\r\rd\r";
  LineCursor cursor(text);
  std::string_view line;
  std::vector<std::string> seen;
  while (cursor.Next(line)) seen.emplace_back(line);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

// The parser's one-pass reading must agree with the shared numeric rules.
TEST(NumericField, AgreesWithTheSharedNumericRules) {
  for (const char* text : {"1",     "-2.5",  "+3",
                           " 4 ",   "\t5\t", "1e3",
                           "1E-3",  "2D2",   "-1.5d-1",
                           ".5",    "5.",    "-",
                           "+",     ".",     "e5",
                           "1e",    "1e+",   "1x",
                           "x",     "",      " ",
                           "1.2.3", "--1",   "0x10",
                           "1e999", "-0",    "123456789012345678901234567890",
                           "1,5",   "inf",   "nan",
                           "1 2"}) {
    double value = -42;
    const bool numeric = NumericField(text, value);
    EXPECT_EQ(numeric, IsNumeric(text)) << "'" << text << "'";
    if (numeric) {
      EXPECT_EQ(value, Val(text)) << "'" << text << "'";
    }
  }
}

TEST(ParseCell, KeepsPassAndFailAsWrittenAndMarksTheRestMissing) {
  Cell cell;
  ParseCell("-1.25", cell);
  EXPECT_EQ(cell.Type, Cell::Kind::Number);
  EXPECT_EQ(cell.Number, -1.25);
  ParseCell("Pass", cell);
  EXPECT_EQ(cell.Type, Cell::Kind::Text);
  EXPECT_EQ(cell.Text, "Pass");
  ParseCell("FAIL", cell);
  EXPECT_EQ(cell.Text, "FAIL");
  for (const char* other : {"", "x", "passed", " pass", "open", "N/A"}) {
    ParseCell(other, cell);
    EXPECT_EQ(cell.Type, Cell::Kind::Missing) << other;
    EXPECT_EQ(cell.AsText(), "x");
  }
}

}  // namespace
}  // namespace vantrel
