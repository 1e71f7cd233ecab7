#include <gtest/gtest.h>

#include "data_fixture.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;

const std::string kBody = Block("A", "1\t1\t2\t3\t4\t5\tPP");

TEST(ReadGeneralHeader, KnownKeysFillTheirValues) {
  for (const std::string enabled : {"enabled", "ENABLED", "eNaBlEd"}) {
    DataFixture f;
    ASSERT_TRUE(f.Open("Results\tx\nCable Length(m)\t 305.0 \nSTORE CONTROL LIMITS\t" + enabled +
                       "\nNormalisation Length\t100 \nTest Description\t Seq A \nPairs\t4\n"
                       "exit status:\n" +
                       kBody));
    EXPECT_TRUE(f.Data.ControlLimitsStored());
    EXPECT_EQ(f.Data.LimitColumns(), 4);
    EXPECT_EQ(f.Data.CableLength(), "305.0");
    EXPECT_EQ(f.Data.NormalisationLength(), "100");
    EXPECT_EQ(f.Data.TestDescription(), " Seq A ");
    EXPECT_EQ(f.Data.Pairs(), 4);
  }
  DataFixture f;
  ASSERT_TRUE(f.Open("Results\tx\nStore Control Limits\tDisabled\nEXIT STATUS:\n" + kBody));
  EXPECT_FALSE(f.Data.ControlLimitsStored());
  EXPECT_EQ(f.Data.LimitColumns(), 2);
}

TEST(ReadGeneralHeader, APairsValueThatIsNoNumberIsReported) {
  DataFixture f;
  ASSERT_TRUE(f.Open("Results\tx\nPairs\tfour\nEXIT STATUS:\n" + kBody));
  EXPECT_EQ(f.Data.Pairs(), 0);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_NE(f.Prompter.Messages[0].Text.find("'four'"), std::string::npos);
}

TEST(ReadGeneralHeader, HeaderItemsTakeLeftBeforeRightAndStopAtSlotTwentyNine) {
  DataFixture f;
  auto& h = f.State.Header;
  h.HeaderItems[0] = "Cable ID";
  h.HalfHeaderItems[0] = "cable id";
  h.HalfHeaderItems[1] = "Operator";
  h.HeaderItems[30] = "Drum";
  ASSERT_TRUE(
      f.Open("Results\tx\nCABLE ID\tC-7\nOperator\tJ. Marsh\nDrum\tD1\nEXIT STATUS:\n" + kBody));
  EXPECT_EQ(f.Data.HeaderString(0), "C-7");
  EXPECT_EQ(f.Data.HalfHeaderString(0), "");
  EXPECT_EQ(f.Data.HalfHeaderString(1), "J. Marsh");
  EXPECT_EQ(f.Data.HeaderString(30), "");
  EXPECT_EQ(f.Data.HeaderString(-1), "");
}

TEST(ReadGeneralHeader, ParameterLinesFillPlaceholdersOfLabelsAndTheTitle) {
  DataFixture f;
  auto& h = f.State.Header;
  h.HeaderItems[3] = "[Param1]";
  h.HalfHeaderItems[4] = "[param2]";
  h.HeaderItems[5] = "[param9]";
  f.State.Settings.AppName = "Report [PARAM1] / [param2]";
  const std::string header =
      "Results\tx\nPRODUCT :\nCode\tC1\n\nName\tN1\nDrawing\tD1\nConductor\t23 AWG\n"
      "Screen\tFoil\nCable Length(m)\t100\nAfter\tnot a parameter\nEXIT STATUS:\n";
  ASSERT_TRUE(f.Open(header + kBody));
  // "PRODUCT :" is line 0, empty lines do not count: Conductor is parameter 1.
  EXPECT_EQ(f.Data.HeaderString(3), "23 AWG");
  EXPECT_EQ(h.HeaderTexts[3], "Conductor");
  EXPECT_EQ(f.Data.HalfHeaderString(4), "Foil");
  EXPECT_EQ(h.HalfHeaderTexts[4], "Screen");
  EXPECT_EQ(f.Data.HeaderString(5), "");
  EXPECT_EQ(h.HeaderTexts[5], " ");
  EXPECT_EQ(f.State.AppTitle, "Report 23 AWG / Foil");
  EXPECT_EQ(f.State.Settings.AppName, "Report [PARAM1] / [param2]");  // the next file fills afresh
  // Every name made from APPNAME is filled the same way.
  EXPECT_EQ(f.Data.FillParameters("/srv/[param1]/[PARAM2].pdf"), "/srv/23 AWG/Foil.pdf");
  EXPECT_EQ(f.Data.FillParameters("[param3] [param0]"), "[param3] D1");
}

TEST(ReadGeneralHeader, AutoprofileAsksTheHostForTheNamedProfile) {
  DataFixture f;
  f.State.Settings.AutoProfile = "CABLE TYPE";
  ASSERT_TRUE(f.Open("Results\tx\ncable type\t Cat 6A \nEXIT STATUS:\n" + kBody));
  const std::vector<std::string> expected{"Cat 6A"};
  EXPECT_EQ(f.Host.Profiles, expected);
}

TEST(SetSequenceProfiles, TheHeadersDescriptionSelectsItsReports) {
  DataFixture f;
  f.State.SequenceProfiles.Entries.push_back({"Other", {"", "1"}, 2});
  f.State.SequenceProfiles.Entries.push_back({"Seq A", {"", "2", "x", "4", "y", "300"}, 6});
  f.State.Selection[0] = true;
  f.State.Selection[200] = true;
  ASSERT_TRUE(f.Open("Results\tx\nTest Description\t seq a \nEXIT STATUS:\n" + kBody));
  ReportSelection expected{};
  expected[1] = true;
  expected[3] = true;
  EXPECT_EQ(f.State.Selection, expected);
  EXPECT_EQ(f.Host.SelectionChanges, 1);
  ASSERT_EQ(f.Prompter.Messages.size(), 2u);  // one for "x", one for "y"
  for (const auto& m : f.Prompter.Messages) {
    EXPECT_EQ(m.Text, "Profile Seq A contains a non-numeric entry");
    EXPECT_EQ(m.Title, "Profile Error");
  }

  f.Data.Set_Sequence_Profiles("unknown");
  f.Data.Set_Sequence_Profiles("  ");
  EXPECT_EQ(f.State.Selection, expected);
  EXPECT_EQ(f.Host.SelectionChanges, 1);
}

TEST(ReadTestSummary, OneRowPerTestWithItsFailingPairs) {
  DataFixture f;
  const std::string summary =
      "TEST SUMMARY :\n"
      "Attenuation Test Pair 1\tPASS\tClass EA\n"
      "Attenuation Test Pair 2\tFAIL (2)\tClass EA\n"
      "Attenuation Test Pair 3\t FAIL\tClass EA\n"
      "Attenuation Test Pair 4\tFAIL\tClass D\n"
      "Return Loss Test\tFAIL\tClass EA\n"
      "NEXT Test\tPASS\tClass EA\n\n";
  ASSERT_TRUE(f.Open(testing::WithHeader(kBody + summary)));
  TextGrid grid(4, std::vector<std::string>(8, "old"));
  bool anyFail = false;
  ASSERT_TRUE(f.Data.ReadTestSummary("TEST SUMMARY :", grid, 4, 8, anyFail));
  EXPECT_TRUE(anyFail);
  ASSERT_GE(grid[0].size(), 8u);
  const std::vector<std::string> names{
      "Attenuation", "Attenuation", "Return Loss", "NEXT", "", "", "", ""};
  const std::vector<std::string> status{"FAIL", "FAIL", "FAIL", "PASS", "", "", "", ""};
  const std::vector<std::string> pairs{"2,3", "4", "", "", "", "", "", ""};
  EXPECT_EQ(grid[0], names);
  EXPECT_EQ(grid[1], status);
  EXPECT_EQ(grid[2], pairs);
  EXPECT_EQ(grid[3][0], "old");  // only the first three columns are the summary's
  EXPECT_TRUE(f.Data.Entry(1)->Failed);
  EXPECT_FALSE(f.Data.ReadTestSummary("test summary :", grid, 4, 8, anyFail));
}

TEST(ReadTestSummary, AFailWithoutPairsStillCountsAndSmallGridsGrow) {
  DataFixture f;
  ASSERT_TRUE(
      f.Open(testing::WithHeader(kBody + "TEST SUMMARY :\nA Test\tPASS\tX\nB Test\tFAIL\tX\n"
                                         "C Test\tPASS\tX\n")));
  TextGrid grid;
  bool anyFail = false;
  ASSERT_TRUE(f.Data.ReadTestSummary("TEST SUMMARY :", grid, 1, 1, anyFail));
  EXPECT_TRUE(anyFail);
  ASSERT_EQ(grid.size(), 3u);
  ASSERT_EQ(grid[0].size(), 3u);
  EXPECT_EQ(grid[1][1], "FAIL");
}

TEST(ReadRawTestSummary, ReadsTheRawBlockWithTheStatusFromItsEighthCharacter) {
  DataFixture f;
  ASSERT_TRUE(f.Open(testing::WithHeader(kBody + "TEST SUMMARY :\nNEXT Test\tFAIL\tX\n\n"
                                                 "SUMMARY INFORMATION\n"
                                                 "Attenuation Near\tResult (FAIL)\tX\n"
                                                 "NEXT\tResult PASS\tX\n\n")));
  TextGrid grid;
  bool anyFail = false;
  ASSERT_TRUE(f.Data.ReadRawTestSummary("TEST SUMMARY :", grid, 3, 2, anyFail));
  EXPECT_TRUE(anyFail);
  EXPECT_EQ(grid[0][0], "Attenuation Near");
  EXPECT_EQ(grid[1][0], "FAIL");
  EXPECT_EQ(grid[1][1], "PASS");
}

TEST(PrintComments, OnePartPerRowUpperCased) {
  DataFixture f;
  TextGrid grid;
  ASSERT_TRUE(f.Data.PrintComments("Drum end A|  tested ok||x", grid));
  const std::vector<std::string> expected{"DRUM END A", "  TESTED OK", "", "X"};
  ASSERT_EQ(grid.size(), 1u);
  EXPECT_EQ(grid[0], expected);
}

}  // namespace
}  // namespace vantrel
