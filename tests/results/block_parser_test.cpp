#include <gtest/gtest.h>

#include "data_fixture.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::WithHeader;

TEST(ParseBlock, CellsHeadingsStatusAndTheFailedFlag) {
  DataFixture f;
  const std::string rows =
      "1\t1.0\t-2.5\tpass\t-9\tx\tPPP\n"
      "-\t2.0\tFail\topen\t\t1e1 junk\tPFP\n"
      "3\t4.0\t 7 \n";  // shorter rows keep empty cells
  ASSERT_TRUE(f.Open(WithHeader(Block("Return Loss", rows))));
  EXPECT_FALSE(f.Data.Entry(0)->Failed);  // unknown before the first parse
  const auto parsed = f.Data.FindTest("Return Loss", 0);
  ASSERT_TRUE(parsed.has_value());
  const TestBlock& b = *parsed->Block;
  EXPECT_TRUE(parsed->Failed);
  EXPECT_TRUE(f.Data.Entry(0)->Failed);
  EXPECT_EQ(parsed->IndexEntry, 0);
  ASSERT_EQ(b.Cols(), 7);
  ASSERT_EQ(b.Rows(), 3);
  EXPECT_EQ(b.At(2, 0).Number, -2.5);
  EXPECT_EQ(b.At(3, 0).AsText(), "pass");
  EXPECT_EQ(b.At(0, 1).Type, Cell::Kind::Missing);  // "-" leads a data row but is no number
  EXPECT_EQ(b.At(2, 1).AsText(), "Fail");
  EXPECT_EQ(b.At(3, 1).AsText(), "x");
  EXPECT_EQ(b.At(4, 1).AsText(), "x");
  EXPECT_EQ(b.At(5, 1).AsText(), "x");
  EXPECT_EQ(b.At(2, 2).Number, 7);
  EXPECT_EQ(b.At(3, 2).Type, Cell::Kind::Empty);
  EXPECT_EQ(b.RowStatus(1), "PFP");
  EXPECT_EQ(b.RowStatus(2), " 7 ");
  // Heading line 1 names the columns, line 3 extends those from column 2 on.
  EXPECT_EQ(b.Heading(0), "No");
  EXPECT_EQ(b.Heading(1), "Freq");
  EXPECT_EQ(b.Heading(2), "Pair 1 - dB");
  EXPECT_EQ(b.Heading(6), "Status");
}

TEST(ParseBlock, OnlyTheFirstThreeRowsWidenTheBlock) {
  DataFixture f;
  const std::string rows =
      "1\t1\t2\t3\n2\t1\t2\t3\t4\n3\t1\t2\t3\t4\t5\t6\t7\tP\n"
      "4\t1\t2\t3\t4\t5\t6\t7\t8\t9\tF\n";
  ASSERT_TRUE(f.Open(WithHeader(Block("T", rows))));
  const auto parsed = f.Data.FindTest("T", 0);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->Block->Cols(), 9);
  EXPECT_EQ(parsed->Block->At(3, 0).Number, 3);  // earlier rows keep their cells
  EXPECT_EQ(parsed->Block->At(4, 0).Type, Cell::Kind::Empty);
  EXPECT_EQ(parsed->Block->At(4, 1).Number, 4);
  EXPECT_EQ(parsed->Block->At(8, 3).Number, 8);
  EXPECT_EQ(parsed->Block->At(9, 3).Type, Cell::Kind::Empty);
  // The dropped fields still give the row's status.
  EXPECT_TRUE(parsed->Failed);
}

TEST(ParseBlock, ABlockEndsAtABlankOrShortLine) {
  for (const std::string end : {"\n", "\t \t\n", "lonely\n", ",\t\n"}) {
    DataFixture f;
    ASSERT_TRUE(f.Open(WithHeader("TEST:\tT\nNo\tF\n1\t1\t2\tP\n" + end + "2\t1\t2\tF\n")));
    const auto parsed = f.Data.FindTest("T", 0);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->Block->Rows(), 1);
    EXPECT_FALSE(parsed->Failed);
  }
}

TEST(ParseBlock, ABlockWithoutDataRowsIsNotFound) {
  DataFixture f;
  // The next block's rows must not be taken for this one's.
  ASSERT_TRUE(f.Open(WithHeader("TEST:\tEmpty\nNo\tF\n\nTEST:\tFull\nNo\tF\n1\t1\t2\tP\n")));
  EXPECT_FALSE(f.Data.FindTest("Empty", 0).has_value());
  EXPECT_TRUE(f.Data.FindTest("Full", 0).has_value());
  DataFixture g;  // heading lines up to the end of the file
  ASSERT_TRUE(g.Open(WithHeader("TEST:\tCut\nNo\tF\nUnits\tMHz")));
  EXPECT_FALSE(g.Data.FindTest("Cut", 0).has_value());
}

TEST(BlockCache, ASecondRequestReusesTheParsedBlock) {
  DataFixture f;
  ASSERT_TRUE(f.Open(WithHeader(Block("A", "1\t1\t2\t3\t4\t5\tPP") +
                                Block("B", "1\t1\t6\t7\t8\t9\tPP\n2\t2\t1\t1\t1\t1\tFF"))));
  const TestBlock* first = f.Data.FindTest("A", 0)->Block;
  const TestBlock* again = f.Data.FindTest("a", 1)->Block;
  EXPECT_EQ(first, again);
  EXPECT_EQ(again->At(2, 0).Number, 2);
  const auto b = f.Data.FindTest("B", 0);
  EXPECT_EQ(b->Block->Rows(), 2);
  EXPECT_TRUE(b->Failed);
  EXPECT_TRUE(f.Data.MoreColsToShow(1));  // 7 columns, 2 limits: two pairs
  EXPECT_FALSE(f.Data.MoreColsToShow(2));
  f.Data.ResetNumCols();
  EXPECT_FALSE(f.Data.MoreColsToShow(0));
  EXPECT_EQ(f.Data.FindTest("B", 0)->Block->At(3, 0).Number, 7);
}

TEST(BlockCache, BlocksReadInTurnEachGiveTheirOwnCellsAndANewFileNoneOfTheOld) {
  const auto blocks = [](int base) {
    std::string text;
    for (int k = 0; k < 6; ++k)
      text += Block("T" + std::to_string(k), "1\t1\t" + std::to_string(base + k) + "\tP");
    return WithHeader(text);
  };
  DataFixture f;
  ASSERT_TRUE(f.Open(blocks(10)));
  // A page's graphs, then its tables over the same tests, then the next page.
  for (const int k : {0, 1, 2, 3, 2, 0, 3, 1, 4, 5, 0, 5, 4, 1}) {
    const auto parsed = f.Data.FindTest("T" + std::to_string(k), 0);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->Block->At(2, 0).Number, 10 + k) << k;
    EXPECT_EQ(parsed->IndexEntry, k);
  }
  // Same names at the same places in another file.
  ASSERT_TRUE(f.Open(blocks(20)));
  for (const int k : {4, 1, 5, 0})
    EXPECT_EQ(f.Data.FindTest("T" + std::to_string(k), 0)->Block->At(2, 0).Number, 20 + k);
}

TEST(BlockCache, ABlockReadIntoTheStorageOfAnEarlierOneKeepsNothingOfIt) {
  DataFixture f;
  std::string others;
  for (int k = 0; k < 5; ++k) others += Block("Other " + std::to_string(k), "1\t1\t2\tP");
  ASSERT_TRUE(f.Open(WithHeader(Block("Wide", "1\t1\tpass\t3\t4\t5\tFF\n2\t1\t2\t3\t4\t5\tFFFF") +
                                others + Block("Narrow", "1\t9\tP\n2\t8"))));
  // Enough blocks between them that Narrow is parsed into storage Wide had.
  ASSERT_TRUE(f.Data.FindTest("Wide", 0).has_value());
  for (int k = 0; k < 5; ++k) ASSERT_TRUE(f.Data.FindTest("Other " + std::to_string(k), 0));
  const auto narrow = f.Data.FindTest("Narrow", 0);
  ASSERT_TRUE(narrow.has_value());
  const TestBlock& b = *narrow->Block;
  EXPECT_FALSE(narrow->Failed);
  ASSERT_EQ(b.Cols(), 3);
  ASSERT_EQ(b.Rows(), 2);
  EXPECT_EQ(b.At(1, 1).Number, 8);
  EXPECT_EQ(b.At(2, 1).Type, Cell::Kind::Empty);
  EXPECT_EQ(b.At(2, 1).AsText(), "");
  EXPECT_EQ(b.At(3, 0).Type, Cell::Kind::Empty);
  EXPECT_EQ(b.RowStatus(1), "8");
  EXPECT_EQ(b.RowStatus(2), "");
}

TEST(ParseBlock, ControlLimitsLeaveFewerPairs) {
  DataFixture f;
  ASSERT_TRUE(
      f.Open(WithHeader(Block("A", "1\t1\t2\t3\t4\t5\tPP"), "Store Control Limits\tENABLED\n")));
  ASSERT_EQ(f.Data.LimitColumns(), 4);
  ASSERT_TRUE(f.Data.FindTest("A", 0).has_value());
  EXPECT_FALSE(f.Data.MoreColsToShow(0));  // 7 - 4 - 3 = 0 pairs
}

TEST(ParseBlock, ASweepBeyondASixteenBitCountIsRefusedWithAMessage) {
  std::string rows;
  rows.reserve(32800 * 12);
  for (int i = 0; i < 32768; ++i) rows += "1\t1\t2\t3\tP\n";
  DataFixture f;
  ASSERT_TRUE(f.Open(WithHeader("TEST:\tHuge\nNo\tF\n" + rows)));
  EXPECT_FALSE(f.Data.FindTest("Huge", 0).has_value());
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_NE(f.Prompter.Messages[0].Text.find("more than 32767 rows"), std::string::npos);

  rows.resize(rows.size() - 10);  // one row fewer fits
  DataFixture g;
  ASSERT_TRUE(g.Open(WithHeader("TEST:\tHuge\nNo\tF\n" + rows)));
  ASSERT_TRUE(g.Data.FindTest("Huge", 0).has_value());
  EXPECT_EQ(g.Data.FindTest("Huge", 0)->Block->Rows(), 32767);
}

// The scan reads only where rows end and their last fields; a full parse must agree.
TEST(AnyTestFailed, GivesTheAnswerOfParsingEveryBlock) {
  std::string huge;
  for (int i = 0; i < 32768; ++i) huge += "1\t1\t2\t3\tF\n";
  std::string wide = "1";
  for (int i = 0; i < 5001; ++i) wide += i == 4999 ? ",F" : ",P";  // the last field: "F,P"
  const struct {
    std::string Body;
    std::string Header;
    bool Failed;
  } cases[] = {
      {Block("A", "1\t1\t2\t3\t4\t5\tPP") + Block("B", "1\t1\t2\t3\t4\t5\tPF\t,\t"), "", true},
      {Block("A", "1\tF\t2\t3\t4\t5\tPP"), "", false},     // only the last field is a status
      {Block("A", "1\t1\t2\tPF"), "", true},               // a short row is still judged
      {Block("A", "1\t1\tP\n\t \t\n2\t1\tF"), "", false},  // a blank row ends the block
      // A block without rows must not take those of the summary after it.
      {"TEST:\tEmpty\nNo\tF\n\nTEST SUMMARY :\n1\tA\tFAIL\tF\n", "", false},
      {"TEST:\tHuge\nNo\tF\n" + huge, "", false},  // beyond the row limit: unreadable
      {"TEST:\tHuge\nNo\tF\n" + huge.substr(10), "", true},
      {"TEST:,W\nNo,F\n" + wide + "\n", "[COMMA DELIMITED]\n", true},  // capped: rest of line
  };
  for (const auto& c : cases) {
    const std::string file = c.Header + WithHeader(c.Body);
    DataFixture scan;
    ASSERT_TRUE(scan.Open(file));
    EXPECT_EQ(scan.Data.AnyTestFailed(), c.Failed) << c.Body.substr(0, 60);
    EXPECT_TRUE(scan.Prompter.Messages.empty());
    DataFixture parse;
    ASSERT_TRUE(parse.Open(file));
    bool parsed = false;
    for (int16_t i = 0; i < parse.Data.TestCount(); ++i) {
      if (const auto test = parse.Data.ParseEntry(i)) parsed = parsed || test->Failed;
    }
    EXPECT_EQ(parsed, c.Failed) << c.Body.substr(0, 60);
  }
}

TEST(ColumnTitles, KeywordCodesTakeTheHeadingOfTheirColumn) {
  TestBlock block;
  block.SetCols(9);
  block.SetHeadings({"No", "Freq", "P1", "P2", "LCL", "UCL", "LL", "UL", "St"});
  const std::vector<ColumnCode> codes{1,
                                      3,
                                      code::kMin,
                                      code::kEmp,
                                      code::kUpperControl,
                                      code::kLastPair,
                                      code::kLowerControl,
                                      code::kUpperLimit,
                                      code::kLowerLimit,
                                      12,
                                      -999,
                                      10001};
  const std::vector<std::string> expected{"Freq", "P2", "Freq", "Freq", "UCL", "UCL",
                                          "LCL",  "UL", "LL",   "",     "",    ""};
  EXPECT_EQ(ColumnTitles(block, codes), expected);
}

TEST(MatrixCopy, CopiesOnlyWhereBothGridsHaveTheCell) {
  TextGrid destination{{"a", "b", "c"}, {"d", "e", "f"}};
  const TextGrid source{{"1", "2"}, {"3", "4", "5", "6"}, {"7"}};
  MatrixCopy(destination, source);
  const TextGrid expected{{"1", "2", "c"}, {"3", "4", "5"}};
  EXPECT_EQ(destination, expected);
}

}  // namespace
}  // namespace vantrel
