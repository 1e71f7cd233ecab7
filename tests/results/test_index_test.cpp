#include <gtest/gtest.h>

#include "data_fixture.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::WithHeader;

TEST(ReadTestNames, FindsBlocksSummariesAndOverallStatus) {
  DataFixture f;
  f.Host.Visible = true;
  const std::string body = Block("Attenuation", "1\t1\t2\t3\t4\t5\tPP") +
                           "TEST:\tNEXT\tmore text\n1\t1\t1\t1\t1\t1\tPP\n\n"
                           "TEST:Squeezed\n"
                           "test:\tlower case starts nothing\n"
                           "Pass/Fail Status\tFAILED\n"
                           "TEST SUMMARY :\nA Test\tPASS\tX\n\nSUMMARY INFORMATION\n";
  ASSERT_TRUE(f.Open(WithHeader(body)));
  ASSERT_EQ(f.Data.TestCount(), 5);
  EXPECT_EQ(f.Data.TestName(0), "Attenuation");
  EXPECT_EQ(f.Data.TestName(1), "NEXT");
  EXPECT_EQ(f.Data.TestName(2), "queezed");
  EXPECT_EQ(f.Data.TestName(3), "TEST SUMMARY :");
  EXPECT_EQ(f.Data.TestName(4), "TEST SUMMARY :");
  EXPECT_EQ(f.Data.TestName(5), "");
  EXPECT_EQ(f.Data.TestName(-1), "");
  EXPECT_TRUE(f.Data.OverallFailed());
  // Positions are 1-based bytes of the block's first line.
  const auto start = static_cast<std::size_t>(f.Data.Entry(0)->Start);
  EXPECT_EQ(testing::ReadFileBytes(f.Data.TempPath()).substr(start - 1, 18),
            "TEST:\tAttenuation\n");
  EXPECT_FALSE(f.Data.FindTest("queezed", 0).has_value());  // its field 0 is not "TEST:"
  ASSERT_EQ(f.Host.Progress.size(), 3u);
  EXPECT_LT(f.Host.Progress[0], f.Host.Progress[2]);
  EXPECT_LE(f.Host.Progress[2], 100);
}

TEST(ReadTestNames, CommaFilesAreKnownByTheirFirstLine) {
  for (const std::string first : {"[COMMA DELIMITED]\n", "[comma delimited] file\n",
                                  "Results,run.txt\n", "Results x,y\tz\n"}) {
    DataFixture f;
    ASSERT_TRUE(f.Open(first + "Pairs,2\nEXIT STATUS:\nTEST:,Return Loss,,\n"
                               "No,Freq,P1,P2,Lo,Hi,St\n1,1,2,3,4,5,PP\n"));
    EXPECT_EQ(f.Data.Delimiter(), ',') << first;
    EXPECT_EQ(f.Data.TestName(0), "Return Loss");
    ASSERT_TRUE(f.Data.FindTest("return loss", 0).has_value());
    EXPECT_EQ(f.Data.FindTest("return loss", 0)->Block->At(3, 0).Number, 3);
  }
  DataFixture f;
  ASSERT_TRUE(f.Open(WithHeader(Block("A", "1\t1\t2\t3\t4\t5\tPP"))));
  EXPECT_EQ(f.Data.Delimiter(), '\t');
}

TEST(ReadTestNames, CouplingAttenuationSwitchesOffTheOverallResult) {
  DataFixture f;
  ASSERT_TRUE(f.State.Settings.OverallPassFail);
  ASSERT_TRUE(f.Open(WithHeader(Block("Coupling Attenuation", "1\t1\t2\t3\t4\t5\tPP"))));
  EXPECT_FALSE(f.State.Settings.OverallPassFail);
}

TEST(ReadTestNames, TheIndexBoundGivesItsMessageInsteadOfOverflowing) {
  std::string body;
  for (int i = 0; i < 620; ++i)
    body += "TEST:\tT" + std::to_string(i) + "\n1\t1\t2\t3\t4\t5\tP\n\n";
  DataFixture f;
  EXPECT_FALSE(f.Open(WithHeader(body)));
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "MAXTESTS NEEDS INCREASING: SEEK HELP\r\rThe file holds 620 test and summary "
            "blocks; at most 609 can be read.");
  EXPECT_EQ(f.Data.TestCount(), 610);

  std::string summaries;
  for (int i = 0; i < 700; ++i) summaries += "TEST SUMMARY :\nA Test\tPASS\n\n";
  DataFixture g;
  EXPECT_FALSE(g.Open(WithHeader(summaries)));
  EXPECT_EQ(g.Data.TestCount(), ObjData::kIndexSlots);
  ASSERT_EQ(g.Prompter.Messages.size(), 1u);
}

TEST(ReadTestNames, TheHeaderMustEndWithinItsFirstBytes) {
  DataFixture f;
  const std::string filler = "Note\t" + std::string(9000, 'n') + "\n";
  EXPECT_FALSE(
      f.Open("Results\tx\n" + filler + "EXIT STATUS:\n" + Block("A", "1\t1\t2\t3\t4\t5\tP")));
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_NE(f.Prompter.Messages[0].Text.find("its general header does not end"), std::string::npos);
  // The line may start at byte 8192 itself.
  const std::string head = "Results\tx\nNote\t";
  const std::string exact = head + std::string(8191 - head.size() - 1, 'n') + "\n";
  ASSERT_EQ(exact.size(), 8191u);
  EXPECT_TRUE(f.Open(exact + "EXIT STATUS:\n" + Block("A", "1\t1\t2\t3\t4\t5\tP")));
}

TEST(ReadTestNames, ASpecificationLineInTheBodyOverridesTheHeader) {
  DataFixture f;
  f.State.Header.HeaderItems[2] = "Specification";
  const std::string body = Block("A", "1\t1\t2\t3\t4\t5\tP") + "specification\t  Class EA \n" +
                           "SPECIFICATION\tClass FA\nSpecification\t\n";
  ASSERT_TRUE(f.Open(WithHeader(body, "Specification\tClass D\n")));
  EXPECT_EQ(f.Data.HeaderString(2), "Class FA");

  DataFixture g;  // without a specification item the lines mean nothing
  ASSERT_TRUE(g.Open(WithHeader(body, "Specification\tClass D\n")));
  EXPECT_EQ(g.Data.HeaderString(2), "");
}

TEST(LookupTest, OccurrencesCountFromTheEndAndAlternativesAreTrimmed) {
  DataFixture f;
  const std::string body = Block("NEXT Near", "1\t1\t10\t0\t0\t0\tP") +
                           Block("Return Loss", "1\t1\t20\t0\t0\t0\tP") +
                           Block("next near", "1\t1\t30\t0\t0\t0\tP");
  ASSERT_TRUE(f.Open(WithHeader(body)));
  EXPECT_EQ(f.Data.LookupTest("NEXT Near", 0), 0);
  EXPECT_EQ(f.Data.LookupTest("NEXT Near", -3), 0);
  EXPECT_EQ(f.Data.LookupTest("NEXT Near", 1), 2);
  EXPECT_EQ(f.Data.LookupTest("NEXT Near", 2), 0);
  EXPECT_FALSE(f.Data.LookupTest("NEXT Near", 3).has_value());
  EXPECT_EQ(f.Data.LookupTest("Missing | return*", 1), 1);
  EXPECT_EQ(f.Data.LookupTest("n?xt #ear|x", 0), std::nullopt);
  EXPECT_EQ(f.Data.LookupTest("n?xt [mn]ear", 1), 2);
  EXPECT_FALSE(f.Data.LookupTest("", 0).has_value());
  EXPECT_FALSE(f.Data.LookupTest(" | ", 0).has_value());
  EXPECT_EQ(f.Data.FindTest("NEXT Near", 2)->Block->At(2, 0).Number, 10);
  EXPECT_EQ(f.Data.FindTest("NEXT Near", 1)->Block->At(2, 0).Number, 30);
}

TEST(CheckTested, LooksAtGraphsAndTablesAndSplitsAtTheFirstBarOnly) {
  DataFixture f;
  ASSERT_TRUE(f.Open(WithHeader(Block("Return Loss", "1\t1\t2\t3\t4\t5\tP") +
                                Block("a|b", "1\t1\t2\t3\t4\t5\tP"))));
  auto& reports = f.State.Reports;
  reports[0].Graphs[3].Data[5] = "Missing|return*";
  reports[1].Tables[30].Data = "RETURN LOSS";
  reports[2].Graphs[0].Data[0] = "x|y|Return Loss";
  reports[3].Graphs[0].Data[0] = "x|a|b";
  EXPECT_TRUE(f.Data.CheckTested(0));
  EXPECT_TRUE(f.Data.CheckTested(1));
  EXPECT_FALSE(f.Data.CheckTested(2));
  EXPECT_TRUE(f.Data.CheckTested(3));
  EXPECT_FALSE(f.Data.CheckTested(4));
  EXPECT_FALSE(f.Data.CheckTested(-1));
  EXPECT_FALSE(f.Data.CheckTested(209));
  // Comments are no test: a report of a comment table alone was not tested.
  reports[5].TableCount = 1;
  reports[5].Tables[0].Data = " comment ";
  EXPECT_FALSE(f.Data.CheckTested(5));
  reports[5].Tables[1].Data = "Return Loss";
  EXPECT_TRUE(f.Data.CheckTested(5));
}

}  // namespace
}  // namespace vantrel
