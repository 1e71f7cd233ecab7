#include "results/cell_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "support/number.h"

namespace vantrel {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The quick reading of plain decimals must give what the full rule gives, to the bit,
// and leave every other field to it.
TEST(NumericField, AgreesWithTheFullRuleAtTheEdgesOfTheQuickReading) {
  for (const std::string field : {"-0",
                                  "-0.0e-3",
                                  "-2.026",
                                  "1.5e-05",
                                  "1E+22",
                                  "1e23",
                                  "3e-22",
                                  "1e-23",
                                  "1e0022",
                                  "9007199254740992",
                                  "9007199254740993",
                                  "90071992547409.93",
                                  "1234567890123456789",
                                  "12345678901234567890",
                                  "0.30000000000000004",
                                  "0.000000000000000000001",
                                  "1e-400",
                                  "4.9e-324",
                                  "-.5e1",
                                  "1e+",
                                  "PPPPF",
                                  "e5",
                                  " 7"}) {
    double quick = 42;
    const bool numeric = NumericField(field, quick);
    EXPECT_EQ(numeric, IsNumeric(field)) << field;
    if (numeric) {
      EXPECT_TRUE(SameBits(quick, Val(field))) << field << " " << quick;
    }
  }
}

// Every length of digit run on either side of the point, with whatever follows it or
// at the very end of the text, reads as the full rule reads it.
TEST(ParseLeadingCell, ReadsEveryShapeOfDecimalAsTheFullRuleDoes) {
  std::mt19937 random(11);
  const auto digits = [&](int count) {
    std::string run;
    for (int i = 0; i < count; ++i) run += static_cast<char>('0' + random() % 10);
    return run;
  };
  for (int whole = 0; whole <= 20; ++whole) {
    for (int fraction = -1; fraction <= 20; ++fraction) {
      for (const char* tail : {"", "\t", "\t-1.5\t7", ";", "e-3\t", "x", "/\t"}) {
        std::string field = (random() % 2 ? "-" : "") + digits(whole);
        if (fraction >= 0) field += "." + digits(fraction);
        const std::string text = field + tail;
        const std::size_t length = std::min(text.find('\t'), text.size());
        Cell cell;
        EXPECT_EQ(ParseLeadingCell(text, '\t', cell), length) << text;
        const std::string read = text.substr(0, length);
        if (IsNumeric(read)) {
          ASSERT_EQ(cell.Type, Cell::Kind::Number) << text;
          EXPECT_TRUE(SameBits(cell.Number, Val(read))) << text << " " << cell.Number;
        } else {
          EXPECT_NE(cell.Type, Cell::Kind::Number) << text;
        }
      }
    }
  }
}

TEST(ParseLeadingCell, AFieldEndsAtTheDelimiterWhateverItHolds) {
  struct Case {
    std::string Text;
    char Delimiter;
    std::size_t Length;
    Cell::Kind Type;
    double Number;
  };
  const Case cases[] = {
      {"-1.5\tx", '\t', 4, Cell::Kind::Number, -1.5},
      {"1.5x\t2", '\t', 4, Cell::Kind::Missing, 0},   // a number must fill its field
      {"-1,25\t3", '\t', 5, Cell::Kind::Missing, 0},  // a decimal comma is no number
      {"-1,25", ',', 2, Cell::Kind::Number, -1},
      {"1e5,3", ',', 3, Cell::Kind::Number, 1e5},
      {" 7 \t", '\t', 3, Cell::Kind::Number, 7},
      {"+2\t", '\t', 2, Cell::Kind::Number, 2},
      {"PASS,1", ',', 4, Cell::Kind::Text, 0},
      {"", '\t', 0, Cell::Kind::Missing, 0},
      {"x\t-1", '\t', 1, Cell::Kind::Missing, 0},
      {"x", '\t', 1, Cell::Kind::Missing, 0},
      {"xx\t-1", '\t', 2, Cell::Kind::Missing, 0},  // only a lone "x" is taken at a glance
  };
  for (const Case& c : cases) {
    Cell cell;
    cell.Text = "stale";
    cell.ShortField = true;
    EXPECT_EQ(ParseLeadingCell(c.Text, c.Delimiter, cell), c.Length) << c.Text;
    EXPECT_EQ(cell.Type, c.Type) << c.Text;
    EXPECT_EQ(cell.Number, c.Number) << c.Text;
    EXPECT_EQ(cell.ShortField, c.Type == Cell::Kind::Number) << c.Text;
    if (c.Type != Cell::Kind::Text) {
      EXPECT_EQ(cell.Text, "") << c.Text;
    }
  }
  Cell cell;
  ParseLeadingCell("1.23456789012345\t", '\t', cell);  // 16 characters
  EXPECT_FALSE(cell.ShortField);
}

}  // namespace
}  // namespace vantrel
