#include "definitions/report_reader.h"

#include <gtest/gtest.h>

#include "definition_fixture.h"
#include "definitions/report_grid.h"

namespace vantrel {
namespace {

using testing::IniText;
using testing::LoadedDefinition;

std::string Items(int graphs, int tables, std::vector<std::string> reportKeys = {}) {
  std::string text = "[REPORT]\r\nTITLE=R\r\n";
  for (const std::string& key : reportKeys) text += key + "\r\n";
  for (int g = 0; g < graphs; ++g) text += "[GRAPH]\r\nDATA_1=Attenuation near\r\nCOLS_1=2\r\n";
  for (int t = 0; t < tables; ++t) text += "[TABLE]\r\nDATA=Attenuation near\r\nCOLS=2\r\n";
  return text;
}

TEST(AutomaticGrid, FollowsTheItemCount) {
  const std::vector<std::pair<int, int>> grids = {{2, 2}, {1, 1}, {1, 2}, {1, 3}, {2, 2},
                                                  {2, 3}, {2, 3}, {2, 4}, {2, 4}, {2, 2},
                                                  {2, 2}, {3, 4}, {3, 4}, {2, 2}};
  for (int n = 0; n < static_cast<int>(grids.size()); ++n) {
    const GridSize grid = AutomaticGrid(n);
    EXPECT_EQ((std::pair<int, int>(grid.X, grid.Y)), grids[n]) << n;
  }
}

TEST(ReadReportsIni, FillsTheGridFromTheItemsWhenEitherSideIsMissing) {
  LoadedDefinition five;
  ASSERT_TRUE(five.Load(Items(3, 2)));
  EXPECT_EQ(five.Report(1).GraphCount, 3);
  EXPECT_EQ(five.Report(1).TableCount, 2);
  EXPECT_EQ(five.Report(1).SlotsX, 2);
  EXPECT_EQ(five.Report(1).SlotsY, 3);

  LoadedDefinition onlyX;
  ASSERT_TRUE(onlyX.Load(Items(1, 0, {"X=3"})));
  EXPECT_EQ(onlyX.Report(1).SlotsX, 1);
  EXPECT_EQ(onlyX.Report(1).SlotsY, 1);

  LoadedDefinition given;
  ASSERT_TRUE(given.Load(Items(1, 0,
                               {"SLOTSX=3", "Y=2", "SLOTSY=9", "BORDER=2", "MULTIPAGE=false",
                                "HIDEHEADER=true", "SUBHEADER=Sub"})));
  const ReportDefinition& r = given.Report(1);
  EXPECT_EQ(r.SlotsX, 3);
  EXPECT_EQ(r.SlotsY, 2);
  EXPECT_EQ(r.Border, 2);
  EXPECT_FALSE(r.MultiPage);
  EXPECT_TRUE(r.HideHeader);
  EXPECT_EQ(r.SubHeader, "Sub");
}

TEST(ReadReportsIni, ChecksFreePlacementsAgainstAGivenGrid) {
  LoadedDefinition d;
  ASSERT_TRUE(
      d.Load(IniText({"[REPORT]", "TITLE=R", "X=2", "Y=2", "[GRAPH]", "DATA_1=a", "COLS_1=2",
                      "POSX=3", "[GRAPH]", "COLS_1=2", "SLOT=4", "POSX=9", "[TABLE]", "DATA=a",
                      "SIZEX=2", "POSY=2", "[TABLE]", "DATA=a", "SIZEX=3"})));
  ASSERT_EQ(d.Prompter.Messages.size(), 2u);
  EXPECT_EQ(d.Prompter.Messages[0].Text,
            "Error: \rErrors with sizes or positions for \rreport_1\rgraph_1_1\r"
            "Check Setup Information");
  EXPECT_NE(d.Prompter.Messages[1].Text.find("\rtable_1_2\r"), std::string::npos);
  EXPECT_EQ(d.Report(1).GraphCount, 2);
  EXPECT_EQ(d.Graph(1, 1).PosX, 3);
  EXPECT_EQ(d.Report(1).TableCount, 2);
}

TEST(ReadReportsIni, APlacementWithNoRoomOnThePageIsToldToo) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(
      IniText({"[REPORT]", "TITLE=R", "X=2", "Y=2", "[GRAPH]", "DATA_1=a", "COLS_1=2", "SIZEX=-1",
               "[GRAPH]", "COLS_1=2", "POSY=-1", "[GRAPH]", "COLS_1=2", "SIZEY=0"})));
  ASSERT_EQ(d.Prompter.Messages.size(), 3u);
  EXPECT_NE(d.Prompter.Messages[0].Text.find("\rgraph_1_1\r"), std::string::npos);
  EXPECT_NE(d.Prompter.Messages[2].Text.find("\rgraph_1_3\r"), std::string::npos);
}

TEST(ReadReportsIni, ReadsOnceAfterEachLoadAndThenEmptiesTheStore) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(Items(1, 0) + "[GENERAL]\r\nGRIDCOLOR=Red\r\nLOGOHEIGHT= 12.50mm\r\n"));
  EXPECT_EQ(d.State->Settings.GridColour, "red");
  EXPECT_EQ(d.State->Settings.LogoHeight, (LogoSize{LogoSize::Kind::Millimetres, 12.5}));
  EXPECT_EQ(d.State->Ini.EntryCount, 0);
  EXPECT_EQ(d.State->Ini.NumReports, 1);
  EXPECT_EQ(GetKey(d.State->Ini, "[REPORT_1]", "TITLE", "gone"), "gone");

  d.State->Reports[0].GraphCount = 7;
  ReadReportsIni(*d.State, d.Prompter);  // already read: nothing changes
  EXPECT_EQ(d.Report(1).GraphCount, 7);

  ReadSettings(*d.State, d.Prompter, {});  // a new read starts over
  EXPECT_FALSE(d.State->ReportsRead);
}

TEST(ReadReportsIni, ReadsTheSecondGroupOfSettings) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(
      IniText({"[GENERAL]", "GRIDCOLOUR=Blue", "GRIDCOLOR=Red", "TABLECOLOR=green", "PAGENUM=page",
               "GRAPHLINETHICKNESS=2.5", "OVERALL_STOPFREQ=250", "DEFAULTMULTIPAGE=no", "[HEADER]",
               "HEADERJUSTIFY=center", "FIRST_PAGE_ONLY=TRUE", "[REPORT]"})));
  const AppSettings& s = d.State->Settings;
  EXPECT_EQ(s.GridColour, "blue");
  EXPECT_EQ(s.SubHeaderTextColor, "green");
  EXPECT_EQ(s.PageNum, PageNumberPlace::BottomLeft);
  EXPECT_EQ(s.GraphLineThickness, 2);
  EXPECT_EQ(s.OverallStopFreq, 250);
  EXPECT_FALSE(d.Report(1).MultiPage);
  EXPECT_EQ(d.State->Header.HeaderJustify, HeaderAlign::Centre);
  EXPECT_TRUE(d.State->Header.FirstPageOnly);
  EXPECT_FALSE(s.FirstPageOnly);
}

TEST(ReadReportsIni, TakesTheDefaultForANumberBeyondSixteenBits) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "BORDER=40000"})));
  EXPECT_EQ(d.Report(1).Border, 5);
  ASSERT_EQ(d.Prompter.Messages.size(), 1u);
  EXPECT_NE(d.Prompter.Messages[0].Text.find("BORDER"), std::string::npos);
}

TEST(ReadReportsIni, ALogoHeightBeyondThePageIsRefusedWithItsRange) {
  for (const char* value : {"1e9", "-5", "201"}) {
    LoadedDefinition d;
    ASSERT_TRUE(d.Load(IniText({"[GENERAL]", std::string("LOGOHEIGHT=") + value, "[REPORT]"})));
    d.Report(1);
    EXPECT_EQ(d.State->Settings.LogoHeight.Is, LogoSize::Kind::None) << value;
    ASSERT_EQ(d.Prompter.Messages.size(), 1u) << value;
    EXPECT_EQ(d.Prompter.Messages[0].Text,
              std::string("The value '") + value +
                  "' of LOGOHEIGHT in [GENERAL] is outside the range -1 to 200.\r\r"
                  "The default 0 is used instead.");
  }
  LoadedDefinition own;
  ASSERT_TRUE(own.Load(IniText({"[GENERAL]", "LOGOHEIGHT=-1", "[REPORT]"})));
  own.Report(1);
  EXPECT_EQ(own.State->Settings.LogoHeight.Is, LogoSize::Kind::Natural);
  EXPECT_TRUE(own.Prompter.Messages.empty());
}

// Odd spellings read as the page has always shown them.
TEST(ReadReportsIni, ReadsLogoHeightAndHeaderJustifyOnceIntoTheirKinds) {
  using Kind = LogoSize::Kind;
  const std::vector<std::pair<std::string, LogoSize>> heights = {
      {"25.0", {Kind::Millimetres, 25}},
      {" -1.0", {Kind::Natural, 0}},
      {"-0.9999999999999999", {Kind::Natural, 0}},
      {"0.000", {}},
      {"junk", {}},
      {"", {}},
      {"-0.5", {Kind::Millimetres, -0.5}},
      {"7cm", {Kind::Millimetres, 7}}};
  for (const auto& [value, size] : heights) {
    LoadedDefinition d;
    ASSERT_TRUE(d.Load(IniText({"[GENERAL]", "LOGOHEIGHT=" + value, "[REPORT]"})));
    EXPECT_EQ(d.State->Settings.LogoHeight, size) << value;
    EXPECT_TRUE(d.Prompter.Messages.empty()) << value;
  }
  const std::vector<std::pair<std::string, HeaderAlign>> aligns = {
      {"left", HeaderAlign::Left},    {"Left", HeaderAlign::Left},
      {"LEFT ", HeaderAlign::Left},   {"LEFTISH", HeaderAlign::Centre},
      {"right", HeaderAlign::Centre}, {"", HeaderAlign::Centre}};
  for (const auto& [value, align] : aligns) {
    LoadedDefinition d;
    ASSERT_TRUE(d.Load(IniText({"[HEADER]", "HEADERJUSTIFY=" + value, "[REPORT]"})));
    EXPECT_EQ(d.State->Header.HeaderJustify, align) << value;
  }
  LoadedDefinition none;
  ASSERT_TRUE(none.Load(IniText({"[REPORT]"})));
  EXPECT_EQ(none.State->Settings.LogoHeight, LogoSize{});
  EXPECT_EQ(none.State->Header.HeaderJustify, HeaderAlign::Centre);
}

}  // namespace
}  // namespace vantrel
