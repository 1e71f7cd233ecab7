// Whether a test's rows are all there: the quick check over the whole file must judge
// every block as the full parse does, since one verdict decides every output.

#include <gtest/gtest.h>

#include "data_fixture.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::WithHeader;

std::string Sweep(std::string_view name, std::string_view points, std::string_view rows) {
  return "TEST:\t" + std::string(name) + "\nSweep\tLOG\tPoints\t" + std::string(points) +
         "\tStart (MHz)\t1.000\nNo\tFreq\tPair 1\tLower\tUpper\tStatus\nTime\t1\n"
         "Units\tMHz\tdB\tdB\tdB\n" +
         std::string(rows) + "\n";
}

std::string Rows(int n) {
  std::string rows;
  for (int i = 1; i <= n; ++i) rows += std::to_string(i) + "\t1.0\t-2\t-9\tx\tPPP\n";
  return rows;
}

TEST(TestCompleteness, TheQuickCheckAndTheFullParseGiveOneVerdict) {
  std::string huge;
  for (int i = 0; i < 32768; ++i) huge += "1\t1\t2\t3\tP\n";
  const struct {
    std::string Body;
    std::string Lack;  // "" complete
  } cases[] = {
      {Sweep("T", "4", Rows(4)), ""},
      {Sweep("T", "4", Rows(6)), ""},  // more rows than declared: nothing is missing
      {Block("T", Rows(2)), ""},       // no "Points": the rows found are the test
      {Sweep("T", "1601", Rows(3)), "it holds 3 of the 1601 points its sweep line declares"},
      {Sweep("T", " 5 ", Rows(3) + "\n" + Rows(2)), "3 of the 5 points"},  // ends at a blank
      {Sweep("T", "4", Rows(3) + "4\t1.0\t-2"), "its row 4 holds 3 of 6 columns"},  // cut off
      {Sweep("T", "4", ""), "it has no data rows"},
      {"TEST:\tT\nNo\tF\nUnits\tMHz", "it has no data rows"},  // cut in its headings
      {Sweep("T", "many", Rows(1)), ""},                       // not a count: not a claim
      {"TEST:\tT\nNo\tF\n" + huge, "more than 32767 rows"},
  };
  for (const auto& c : cases) {
    const std::string what = c.Body.substr(0, 70);
    DataFixture f;
    ASSERT_TRUE(f.Open(WithHeader(c.Body)));
    const std::string lack = f.Data.TestLack(0);
    if (c.Lack.empty()) {
      EXPECT_EQ(lack, "") << what;
    } else {
      EXPECT_NE(lack.find(c.Lack), std::string::npos) << what << ": " << lack;
    }
    EXPECT_EQ(f.Data.LastTestComplete(), c.Lack.empty()) << what;
    EXPECT_TRUE(f.Prompter.Messages.empty()) << what;  // asking says nothing

    DataFixture parse;
    ASSERT_TRUE(parse.Open(WithHeader(c.Body)));
    const auto parsed = parse.Data.ParseEntry(0);
    const bool parsedComplete = parsed && !parsed->Incomplete;
    EXPECT_EQ(parsedComplete, c.Lack.empty()) << what;
    if (!c.Lack.empty()) {
      ASSERT_EQ(parse.Prompter.Messages.size(), 1u) << what;
      EXPECT_NE(parse.Prompter.Messages[0].Text.find(c.Lack), std::string::npos)
          << parse.Prompter.Messages[0].Text;
    }
  }
}

TEST(TestCompleteness, EveryTestIsJudgedAndEachFaultToldOnce) {
  DataFixture f;
  ASSERT_TRUE(f.Open(WithHeader(Sweep("Whole", "2", Rows(2)) + Sweep("Cut", "9", Rows(5)) +
                                Block("Empty", "") + "TEST SUMMARY :\nA\tPASS\n")));
  f.Data.CheckEveryBlock();  // read early, told only when judged
  EXPECT_TRUE(f.Prompter.Messages.empty());
  EXPECT_EQ(f.Data.CertificationFault(true), "");
  EXPECT_EQ(f.Data.CertificationFault(false), "a test is incomplete");
  EXPECT_EQ(f.Data.IncompleteTests(), 2);
  ASSERT_EQ(f.Prompter.Messages.size(), 2u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "The test 'Cut' is incomplete: it holds 5 of the 9 points its sweep line declares "
            "(is the file cut short?).");
  EXPECT_EQ(f.Prompter.Messages[1].Title, "Incomplete Test");
  // A report reading the test later says it again no more, but marks it.
  const auto cut = f.Data.FindTest("Cut", 0);
  ASSERT_TRUE(cut.has_value());
  EXPECT_TRUE(cut->Incomplete);
  EXPECT_EQ(f.Data.JudgeEveryTest(), 2);
  EXPECT_EQ(f.Prompter.Messages.size(), 2u);
  // A new file starts with a clean slate.
  ASSERT_TRUE(f.Open(WithHeader(Sweep("Whole", "2", Rows(2)))));
  EXPECT_EQ(f.Data.CertificationFault(false), "");
  // What was read early belongs to its own file.
  f.Data.CheckEveryBlock();
  ASSERT_TRUE(f.Open(WithHeader(Sweep("Cut", "9", Rows(5)))));
  EXPECT_EQ(f.Data.CertificationFault(false), "a test is incomplete");
}

TEST(TestCompleteness, TheLastTestDecidesWhetherAFileBeingWrittenIsDone) {
  DataFixture f;
  // The summary after the last test is no test of its own.
  ASSERT_TRUE(f.Open(WithHeader(Sweep("A", "2", Rows(1)) + Sweep("B", "2", Rows(2)) +
                                "TEST SUMMARY :\nA\tPASS\n")));
  EXPECT_TRUE(f.Data.LastTestComplete());
  EXPECT_NE(f.Data.TestLack(0), "");
  ASSERT_TRUE(f.Open(WithHeader(Sweep("A", "2", Rows(2)) + Sweep("B", "2", Rows(1)))));
  EXPECT_FALSE(f.Data.LastTestComplete());
  ASSERT_TRUE(f.Open(WithHeader("TEST SUMMARY :\nA\tPASS\n")));
  EXPECT_FALSE(f.Data.LastTestComplete());  // nothing to certify yet
}

// The common-row fast path must not take a row of blank fields for data.
TEST(TestCompleteness, ARowOfBlankFieldsAfterTheThirdEndsTheBlock) {
  DataFixture f;
  ASSERT_TRUE(f.Open(
      WithHeader(Block("T", Rows(3) + " \t \t \t \t \t \n" + Rows(2)) + Block("Next", Rows(1)))));
  const auto parsed = f.Data.FindTest("T", 0);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->Block->Rows(), 3);
  EXPECT_FALSE(parsed->Incomplete);
  EXPECT_EQ(parsed->Block->At(0, 2).Number, 3);
  EXPECT_TRUE(f.Data.FindTest("Next", 0).has_value());
  EXPECT_EQ(f.Data.TestLack(0), "");
}

}  // namespace
}  // namespace vantrel
