#include "definitions/table_reader.h"

#include <gtest/gtest.h>

#include "definition_fixture.h"

namespace vantrel {
namespace {

using testing::IniText;
using testing::LoadedDefinition;

TEST(ReadTables, TurnsRowKeywordsIntoCodesAndTakesTheDefaultRows) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "[TABLE]", "DATA=a", "FREQS=1,10, Max ,StdDev,MAX-MIN",
                              "[TABLE]", "DATA=a", "FREQS=Default", "[TABLE]", "DATA=a",
                              "FREQS=averagemargin,uppermarginpercent,lowermarginpercent"})));
  EXPECT_EQ(d.Table(1, 1).Freqs, (std::vector<std::string>{"1", "10", "9991", "9993", "9996"}));
  EXPECT_EQ(d.Table(1, 2).Freqs.size(), 28u);
  EXPECT_EQ(d.Table(1, 2).Freqs[7], "31.25");
  EXPECT_EQ(d.Table(1, 3).Freqs, (std::vector<std::string>{"10206", "10207", "10205"}));
  EXPECT_TRUE(d.Prompter.Messages.empty());
}

TEST(ReadTables, ReportsAnInvalidRowUnlessTheTableShowsComments) {
  LoadedDefinition d;
  ASSERT_TRUE(
      d.Load(IniText({"[REPORT]", "TITLE=Loss", "[TABLE]", "DATA=Attenuation near", "FREQS=100,Foo",
                      "[TABLE]", "DATA=Comment", "FREQS=100,Foo, Min ,mean"})));
  EXPECT_EQ(d.Table(1, 1).Freqs, (std::vector<std::string>{"100", "0"}));
  // Comment rows take the row keywords' codes too, and keep any other text.
  EXPECT_EQ(d.Table(1, 2).Freqs, (std::vector<std::string>{"100", "foo", "9990", "9992"}));
  ASSERT_EQ(d.Prompter.Messages.size(), 1u);
  EXPECT_EQ(d.Prompter.Messages[0].Title, "Reading Reports Ini");
  EXPECT_EQ(d.Prompter.Messages[0].Icon, PromptIcon::Exclamation);
  EXPECT_EQ(d.Prompter.Messages[0].Text,
            "There is an invalid variable specified in report 1(Loss), table 1\r\r"
            "The variable 'foo' is not a recognised keyword for a frequency row.");
}

TEST(ReadTables, BuildsHeadersFromTheColumnsAndNamesTheLimits) {
  LoadedDefinition d;
  ASSERT_TRUE(
      d.Load(IniText({"[GENERAL]", "LIMITNAME=Lim", "CONTROLNAME=Ctl", "TABLECONTROLLIMITS=TRUE",
                      "[REPORT]", "[TABLE]", "DATA=attenuation near", "COLS=2,limits", "[TABLE]",
                      "DATA=a", "HEADERS=Freq,Pair 1,LIMIT_NAME,CONTROL_LIMIT_NAME"})));
  EXPECT_EQ(d.Table(1, 1).Cols, (std::vector<ColumnCode>{1, 2, 9998, 9989}));
  EXPECT_EQ(d.Table(1, 1).Headers,
            (std::vector<std::string>{"col_name", "col_name", "Lim", "Ctl"}));
  EXPECT_EQ(d.Table(1, 2).Headers, (std::vector<std::string>{"Freq", "Pair 1", "Lim", "Ctl"}));

  LoadedDefinition plain;
  ASSERT_TRUE(
      plain.Load(IniText({"[REPORT]", "[TABLE]", "DATA=attenuation near", "COLS=2,limits"})));
  EXPECT_EQ(plain.Table(1, 1).Cols, (std::vector<ColumnCode>{1, 2, 9998}));
  EXPECT_EQ(plain.Table(1, 1).Headers, (std::vector<std::string>{"col_name", "col_name", "Limit"}));
}

TEST(ReadTables, KnowsTheTableColumnKeywords) {
  LoadedDefinition d;
  ASSERT_TRUE(d.Load(IniText({"[REPORT]", "[TABLE]", "DATA=a",
                              "COLS=dl3,DU12,max-min,maxabsproduct,lowermarginpercent,x,7"})));
  EXPECT_EQ(d.Table(1, 1).Cols,
            (std::vector<ColumnCode>{1, 10003, 10102, 9996, 9987, 10205, 0, 7}));
}

TEST(ReadTables, StopsAtATableWithoutDataAndRejectsMalformedWholeNumbers) {
  LoadedDefinition d;
  ASSERT_TRUE(
      d.Load(IniText({"[REPORT]", "[TABLE]", "DATA=a", "SLOT=2.5", "FONTSIZE=big", "ORDER=3",
                      "SIZEX=2", "[TABLE]", "TITLE=no data", "[TABLE]", "DATA=b"})));
  EXPECT_EQ(d.Report(1).TableCount, 1);
  const TableDefinition& t = d.Table(1, 1);
  EXPECT_EQ(t.Slot, 2);  // halves to even
  EXPECT_EQ(t.FontSize, 9);
  EXPECT_EQ(t.Order, 3);
  EXPECT_EQ(t.SizeX, 2);
  EXPECT_EQ(t.SizeY, 1);
  ASSERT_EQ(d.Prompter.Messages.size(), 1u);
  EXPECT_NE(d.Prompter.Messages[0].Text.find("FONTSIZE"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
