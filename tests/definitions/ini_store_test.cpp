#include "definitions/ini_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "definition_fixture.h"

namespace vantrel {
namespace {

using testing::IniText;
using testing::RecordingPrompter;
using testing::TempDir;

struct Loaded {
  TempDir Dir;
  RecordingPrompter Prompter;
  IniStore Store;
  bool Ok = false;
  explicit Loaded(const std::string& bytes) {
    Ok = LoadIni(Dir.Write("def.ini", bytes).string(), Store, Prompter);
  }
  std::vector<std::string> Sections() const {
    std::vector<std::string> out;
    for (int s = 1; s <= Store.SectionCount; ++s) out.push_back(Store.Keys[Store.SectionStart[s]]);
    return out;
  }
};

TEST(LoadIni, RenumbersReportsAndTheirGraphsAndTablesInFileOrder) {
  const Loaded l(IniText({"[GRAPH_9_9]", "[report_7]", "[graph_1_3]", "[TABLE_1_5]", "[REPORT]",
                          "[Table_x]", "[Graph]", "[Graph]", "[Report 3]", "[Header]"}));
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Sections(),
            (std::vector<std::string>{"[GRAPH_0_1]", "[REPORT_1]", "[GRAPH_1_1]", "[TABLE_1_1]",
                                      "[REPORT_2]", "[TABLE_2_1]", "[GRAPH_2_1]", "[GRAPH_2_2]",
                                      "[REPORT_3]", "[HEADER]"}));
  EXPECT_EQ(l.Store.NumReports, 3);
  EXPECT_EQ(l.Store.SectionCount, 10);
  EXPECT_EQ(l.Store.EntryCount, 10);
}

TEST(LoadIni, NumbersBareProfileLinesOnlyInsideGeneral) {
  const Loaded l(IniText({"[GENERAL]", "PROFILE_1=Old,1", "Profile=Daily,2,4", "PROFILE=B,1",
                          "SequenceProfile=Seq,3", "SEQUENCEPROFILE_4=Four,1", "[HEADER]",
                          "PROFILE=Outside,1"}));
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Store.Keys[2], "PROFILE_1");
  EXPECT_EQ(l.Store.Keys[3], "PROFILE_1");  // shadowed by the numbered line before it
  EXPECT_EQ(l.Store.Values[3], "Daily,2,4");
  EXPECT_EQ(l.Store.Keys[4], "PROFILE_2");
  EXPECT_EQ(l.Store.Keys[5], "SEQUENCEPROFILE_1");
  EXPECT_EQ(l.Store.Keys[6], "SEQUENCEPROFILE_4");
  EXPECT_EQ(l.Store.Keys[8], "PROFILE");
  EXPECT_EQ(GetKey(l.Store, "[GENERAL]", "PROFILE_1", ""), "Old,1");
}

TEST(LoadIni, SplitsKeysFromValuesAndStripsQuotes) {
  const Loaded l(IniText({"[R]", "  title = \"Cable A\"  ", "A=\"Cable A", "B=Cable A\"", "Key=a=b",
                          "stray text", "C=", "\"D\"=x"}));
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(GetKey(l.Store, "[R]", "TITLE", "?"), "Cable A");
  EXPECT_EQ(GetKey(l.Store, "[R]", "A", "?"), "Cable A");
  EXPECT_EQ(GetKey(l.Store, "[R]", "B", "?"), "Cable A\"");
  EXPECT_EQ(GetKey(l.Store, "[R]", "KEY", "?"), "a=b");
  EXPECT_EQ(GetKey(l.Store, "[R]", "C", "?"), "");
  EXPECT_EQ(GetKey(l.Store, "[R]", "\"D\"", "?"), "x");
  EXPECT_EQ(l.Store.EntryCount, 8);  // the stray line is counted, carrying nothing
}

TEST(LoadIni, EndsLinesAtCarriageReturnLineFeedOrEither) {
  for (const char* bytes : {"[A]\rK=1\r\rL=2", "[A]\nK=1\n\nL=2\n", "[A]\r\nK=1\r\n\r\nL=2\r\n",
                            "\t[A]  \nK=1\r\n  \r\nL=2"}) {
    const Loaded l(bytes);
    ASSERT_TRUE(l.Ok);
    EXPECT_EQ(l.Store.EntryCount, 3) << bytes;
    EXPECT_EQ(GetKey(l.Store, "[A]", "L", "?"), "2") << bytes;
  }
}

TEST(LoadIni, ReadsWindows1252BytesAsTheirCharacters) {
  const Loaded l("[A]\r\nT=Kabel \xB5m\r\nU=\xC2\xB5m\r\n");
  EXPECT_EQ(GetKey(l.Store, "[A]", "T", ""), "Kabel \xC2\xB5m");
  EXPECT_EQ(GetKey(l.Store, "[A]", "U", ""), "\xC2\xB5m");
}

TEST(LoadIni, RefusesWhatItCannotHoldAndKeepsTheEarlierDefinition) {
  TempDir dir;
  RecordingPrompter prompter;
  IniStore store;
  ASSERT_TRUE(
      LoadIni(dir.Write("good.ini", "[GENERAL]\nAPPNAME=Kept\n").string(), store, prompter));

  std::string huge = "[GENERAL]\n";
  for (int i = 0; i < 32767; ++i) huge += "K=1\n";
  EXPECT_FALSE(LoadIni(dir.Write("huge.ini", huge).string(), store, prompter));
  EXPECT_FALSE(LoadIni((dir.path() / "missing.ini").string(), store, prompter));
  // Neither a folder nor a pipe with no writer may stop or hang the load.
  EXPECT_FALSE(LoadIni(dir.path().string(), store, prompter));
  const std::string fifo = (dir.path() / "pipe.ini").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(LoadIni(fifo, store, prompter));
  ASSERT_EQ(prompter.Messages.size(), 4u);
  EXPECT_NE(prompter.Messages[0].Text.find("32767"), std::string::npos);
  EXPECT_NE(prompter.Messages[1].Text.find("missing.ini"), std::string::npos);
  EXPECT_NE(prompter.Messages[2].Text.find("it is a folder"), std::string::npos);
  EXPECT_NE(prompter.Messages[3].Text.find("not a plain file"), std::string::npos);
  EXPECT_EQ(GetKey(store, "[GENERAL]", "APPNAME", ""), "Kept");

  huge.resize(huge.size() - 4);  // exactly at the capacity
  EXPECT_TRUE(LoadIni(dir.Write("full.ini", huge).string(), store, prompter));
  EXPECT_EQ(store.EntryCount, 32767);
}

TEST(LoadIni, SkipsAByteOrderMarkAndRefusesWhatIsNotText) {
  const Loaded bom("\xEF\xBB\xBF[GENERAL]\r\nAPPNAME=Marked\r\n");
  ASSERT_TRUE(bom.Ok);
  EXPECT_EQ(GetKey(bom.Store, "[GENERAL]", "APPNAME", ""), "Marked");

  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("[GENERAL]\r\nAPPNAME=Wide\r\n")) utf16 += std::string{c, '\0'};
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>(i * 37 + 11));
  for (const std::string& bytes : {utf16, binary}) {
    const Loaded refused(bytes);
    EXPECT_FALSE(refused.Ok);
    ASSERT_EQ(refused.Prompter.Messages.size(), 1u);
    EXPECT_NE(refused.Prompter.Messages[0].Text.find(bytes == utf16 ? "UTF-16" : "binary data"),
              std::string::npos);
  }
}

TEST(GetKey, SearchesOnlyTheFirstSectionOfANameAndTakesTheFirstKey) {
  const Loaded l(
      IniText({"[GENERAL]", "A=1", "A=2", "[HEADER]", "B=3", "[general]", "A=9", "C=4"}));
  EXPECT_EQ(GetKey(l.Store, "[GENERAL]", "A", "d"), "1");
  EXPECT_EQ(GetKey(l.Store, "[general]", "A", "d"), "1");
  EXPECT_EQ(GetKey(l.Store, "[GENERAL]", "C", "d"), "d");
  EXPECT_EQ(GetKey(l.Store, "[GENERAL]", "B", "d"), "d");  // belongs to the next section
  EXPECT_EQ(GetKey(l.Store, "[HEADER]", "B", "d"), "3");
  EXPECT_EQ(GetKey(l.Store, "[NOPE]", "A", "d"), "d");
  EXPECT_EQ(GetKey(IniStore{}, "[GENERAL]", "A", "d"), "d");
}

struct SplitCase {
  const char* List;
  std::vector<std::string> Elements;
};

class SplitListTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitListTest, CutsAndExpands) {
  EXPECT_EQ(SplitList(GetParam().List), GetParam().Elements) << GetParam().List;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SplitListTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a,,b", {"a", "", "b"}},
                      SplitCase{"a,", {"a", ""}},
                      SplitCase{"1,3..6,9", {"1", "3", "4", "5", "6", "9"}},
                      SplitCase{"3..6", {"3..6"}}, SplitCase{",3..6", {"", "3", "4", "5", "6"}},
                      SplitCase{",1..2,5..6", {"", "1", "2", "5", "6"}},
                      SplitCase{", 2 .. 3 ", {"", "2", "3"}},
                      // Not expandable: kept as written, for the reader to reject.
                      SplitCase{",6..3", {"", "6..3"}}, SplitCase{",a..3", {"", "a..3"}},
                      SplitCase{",1..", {"", "1.."}}, SplitCase{",1..20000", {"", "1..20000"}},
                      SplitCase{",-1..1", {"", "-1", "0", "1"}}));

TEST(SplitList, ExpandsTheLargestAllowedRange) {
  const std::vector<std::string> list = SplitList(",1..10000");
  ASSERT_EQ(list.size(), 10001u);
  EXPECT_EQ(list.back(), "10000");
}

}  // namespace
}  // namespace vantrel
