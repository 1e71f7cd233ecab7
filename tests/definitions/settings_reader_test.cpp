#include "definitions/settings_reader.h"

#include <gtest/gtest.h>

#include "definition_fixture.h"

namespace vantrel {
namespace {

using testing::IniText;
using testing::LoadedDefinition;

std::vector<bool> Selected(const LoadedDefinition& d) {
  std::vector<bool> out;
  for (int r = 1; r <= d.State->Ini.NumReports; ++r) out.push_back(d.Report(r).Selected);
  return out;
}

TEST(ReadSettings, SelectsTitledReportsByTheirDefaultKey) {
  const std::string text =
      IniText({"[GENERAL]", "ALLSELECTED=FALSE", "[REPORT_1]", "TITLE=A", "[REPORT_2]", "TITLE=B",
               "DEFAULT=true", "[REPORT_3]", "DEFAULT=TRUE"});
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(text, false));
  EXPECT_EQ(Selected(d), (std::vector<bool>{false, true, false}));

  LoadedDefinition all;
  ASSERT_TRUE(all.Load(
      IniText({"[REPORT_1]", "TITLE=A", "[REPORT_2]", "TITLE=B", "DEFAULT=yes", "[REPORT_3]"}),
      false));
  EXPECT_EQ(Selected(all), (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(all.State->Selection[0]);

  // Any case of TRUE, blanks around it dropped, is true; any other word is false.
  for (const auto& [word, first] : {std::pair{"true", true}, {" True ", true}, {"yes", false}}) {
    LoadedDefinition d2;
    ASSERT_TRUE(d2.Load(IniText({"[GENERAL]", std::string("ALLSELECTED=") + word, "[REPORT_1]",
                                 "TITLE=A", "[REPORT_2]", "TITLE=B", "DEFAULT=True"}),
                        false));
    EXPECT_EQ(d2.State->Settings.AllSelected, first) << word;
    EXPECT_EQ(Selected(d2), (std::vector<bool>{first, true})) << word;
  }
}

TEST(ReadSettings, CommandLineListOverridesTheDefaults) {
  const std::string text =
      IniText({"[REPORT_1]", "TITLE=A", "[REPORT_2]", "[REPORT_3]", "TITLE=C", "[REPORT_4]"});
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(text, false, "1,3,"));
  EXPECT_EQ(Selected(d), (std::vector<bool>{false, true, false, true}));
  LoadedDefinition unterminated;
  ASSERT_TRUE(unterminated.Load(text, false, "1,3"));
  EXPECT_EQ(Selected(unterminated), (std::vector<bool>{false, true, false, false}));
}

TEST(InList, ComparesOnlyCommaTerminatedElements) {
  EXPECT_TRUE(InList(0, "0,2,5,"));
  EXPECT_TRUE(InList(5, "0,2,5,"));
  EXPECT_FALSE(InList(5, "0,2,5"));
  EXPECT_FALSE(InList(1, "-1,x,,"));
  EXPECT_TRUE(InList(2, "x, 2 ,"));
  EXPECT_FALSE(InList(0, ""));
}

TEST(ReadSettings, ReadsProfilesUpToTheFirstGap) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[GENERAL]", "PROFILE_1=All,1..4", "PROFILE_3=Lost,1",
                              "SEQUENCEPROFILE=Seq*,2,4", "SEQUENCEPROFILE=NoList"}),
                     false));
  ASSERT_EQ(d.State->Profiles.Entries.size(), 1u);
  const ProfileEntry& all = d.State->Profiles.Entries[0];
  EXPECT_EQ(all.Name, "All");
  EXPECT_EQ(all.Reports, (std::vector<std::string>{"", "1", "2", "3", "4"}));
  EXPECT_EQ(all.Count, 5);
  ASSERT_EQ(d.State->SequenceProfiles.LastUsed(), 1);
  EXPECT_EQ(d.State->SequenceProfiles.Entries[0].Reports, (std::vector<std::string>{"", "2", "4"}));
  EXPECT_EQ(d.State->SequenceProfiles.Entries[1].Name, "NoList");
  EXPECT_EQ(d.State->SequenceProfiles.Entries[1].Count, 1);
}

TEST(ReadSettings, PutsTestStatusIntoTheTwelfthItemUnlessItIsThere) {
  LoadedDefinition none;
  ASSERT_TRUE(none.Load(IniText({"[HEADER]", "HEADER_3=Cable ID", "HEADERTEXT_3=Cable"}), false));
  EXPECT_EQ(none.State->Header.HeaderItems[2], "Cable ID");
  EXPECT_EQ(none.State->Header.HeaderTexts[2], "Cable");
  EXPECT_EQ(none.State->Header.HeaderItems[11], "Test Status");

  for (const char* line :
       {"HEADER_5=test status", "HALFHEADER_30=TEST STATUS", "HEADER_12=Length"}) {
    LoadedDefinition d;
    ASSERT_TRUE(d.Load(IniText({"[HEADER]", line}), false));
    EXPECT_NE(d.State->Header.HeaderItems[11], "Test Status") << line;
  }
}

TEST(ReadSettings, ReadsTheGeneralGroup) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[GENERAL]", "AUTOPRINT=true", "AUTOPROFILE=Cable Type",
                              "TOPWINDOW=YES", "APPNAME=Lab", "PASSTEXT=OK"}),
                     false));
  const AppSettings& s = d.State->Settings;
  EXPECT_TRUE(s.AutoPrint);
  EXPECT_EQ(s.AutoProfile, "CABLE TYPE");
  EXPECT_FALSE(s.TopWindow);
  EXPECT_EQ(s.AppName, "Lab");
  EXPECT_EQ(s.PassText, "OK");
  EXPECT_EQ(s.FailText, "FAIL");
  EXPECT_TRUE(s.OverallPassFail);
}

TEST(ReadSettings, CapsTheReportsAtTheirMaximumWithAMessage) {
  std::string text;
  for (int r = 1; r <= 210; ++r) text += "[REPORT]\r\nTITLE=R" + std::to_string(r) + "\r\n";
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(text));
  EXPECT_EQ(d.State->Ini.NumReports, 208);
  ASSERT_EQ(d.Prompter.Messages.size(), 1u);
  EXPECT_EQ(d.Prompter.Messages[0].Text,
            "You have exceeded the maximum number of reports allowed.\r\rThe maximum is "
            "currently set to 208. If you need this figure extended, please contact your "
            "software supplier.");
  EXPECT_EQ(d.Report(208).Title, "R208");
  EXPECT_TRUE(d.Report(208).Selected);
  EXPECT_FALSE(d.State->Selection[208]);
}

// Element counts are 16-bit: a longer list is cut with a message, never wrapped.
TEST(ReadSettings, CutsListsThatA16BitCountCannotHold) {
  std::string many;
  for (int i = 0; i < 40000; ++i) many += ",2";
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[GENERAL]", "PROFILE_1=Long" + many, "[REPORT]", "[GRAPH]",
                              "DATA_1=a", "COLS_1=3" + many})));
  ASSERT_EQ(d.State->Profiles.Entries.size(), 1u);
  EXPECT_EQ(d.State->Profiles.Entries[0].Count, 32767);
  EXPECT_EQ(d.State->Profiles.Entries[0].Reports.size(), 32767u);
  EXPECT_EQ(d.Graph(1, 1).ColCount[0], 32767);
  EXPECT_EQ(d.Report(1).GraphCount, 1);
  ASSERT_EQ(d.Prompter.Messages.size(), 2u);
  EXPECT_NE(d.Prompter.Messages[0].Text.find("PROFILE_1 in [GENERAL] has 40001 elements"),
            std::string::npos);
  EXPECT_NE(d.Prompter.Messages[1].Text.find("COLS_1 in [GRAPH_1_1]"), std::string::npos);
}

TEST(ReadSettings, ForgetsReportsOfAnEarlierLoad) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "TITLE=A", "[REPORT]", "TITLE=B"})));
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "TITLE=C"})));
  EXPECT_EQ(d.Report(1).Title, "C");
  EXPECT_EQ(d.Report(2).Title, "");
  EXPECT_FALSE(d.State->Selection[1]);
}

TEST(FindLogoBeside, OneLeadingBackslashIsTheProgramsFolderThenTheDefinitionsOne) {
  testing::TempDir dir;
  const std::string program = dir.Write("bin/vantrel", "").parent_path().string();
  const std::string definition = dir.Write("defs/cable.ini", "").string();
  dir.Write("bin/logos/firm.png", "p");
  dir.Write("defs/logos/firm.png", "d");
  dir.Write("defs/only-here.png", "d");
  const auto found = [&](const std::string& logo) {
    AppSettings s;
    s.Logo = logo;
    FindLogoBeside(s, definition, program);
    return s.Logo;
  };
  EXPECT_EQ(found("\\logos\\firm.png"), program + "/logos/firm.png");
  // Not in the program's folder: beside the definition file, as a relative name is.
  EXPECT_EQ(found("\\only-here.png"), (dir.path() / "defs/only-here.png").string());
  // Found nowhere, or a network path: left as written.
  EXPECT_EQ(found("\\missing.png"), "\\missing.png");
  EXPECT_EQ(found("\\\\server\\logos\\firm.png"), "\\\\server\\logos\\firm.png");
  EXPECT_EQ(found("logos/firm.png"), (dir.path() / "defs/logos/firm.png").string());
}

}  // namespace
}  // namespace vantrel
