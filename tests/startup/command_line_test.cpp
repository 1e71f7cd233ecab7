#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SplitCommandLine, WithoutMarkersEverythingIsTheDataFile) {
  const CommandLine c = SplitCommandLine("   /data/run 1.txt  ");
  EXPECT_EQ(c.DataFile, "/data/run 1.txt");
  EXPECT_EQ(c.DefinitionFile, "");
  EXPECT_EQ(c.ReportList, "");
  EXPECT_EQ(SplitCommandLine("").DataFile, "");
  EXPECT_EQ(SplitCommandLine("\"/q.txt\"").DataFile, "\"/q.txt\"");
}

TEST(SplitCommandLine, TakesTheOptionsBetweenTheirMarkers) {
  const CommandLine c = SplitCommandLine(" /d/run.txt >I /d/my def.ini I< >N1,3,N<");
  EXPECT_EQ(c.DataFile, "/d/run.txt");
  EXPECT_EQ(c.DefinitionFile, " /d/my def.ini ");  // untrimmed
  EXPECT_EQ(c.ReportList, "1,3,");

  const CommandLine second = SplitCommandLine(">I/d/x.iniI<>N-1,0,N<");
  EXPECT_EQ(second.DataFile, "");
  EXPECT_EQ(second.DefinitionFile, "/d/x.ini");
  EXPECT_EQ(second.ReportList, "-1,0,");
}

TEST(GetOption, IsEmptyWhenAMarkerIsMissingOrOutOfOrder) {
  EXPECT_EQ(GetOption('I', "run.txt >I/x.ini"), "");
  EXPECT_EQ(GetOption('I', "run.txt /x.ini I<"), "");
  EXPECT_EQ(GetOption('I', "I< >I/x.ini"), "");
  EXPECT_EQ(GetOption('I', ">I<"), "");
  EXPECT_EQ(GetOption('I', ">II<"), "");
  EXPECT_EQ(GetOption('N', ">n1,n<"), "");  // markers are case-sensitive
  EXPECT_EQ(GetOption('N', ">N1,N<"), "1,");
  EXPECT_EQ(SplitCommandLine("run.txt >N1,N<").DefinitionFile, "");
}

TEST(JoinArguments, UsesSingleBlanks) {
  const char* argv[] = {"vantrel", "/d/run.txt", ">I/d/x.ini", "I<", "", ">N1,N<"};
  EXPECT_EQ(JoinArguments(6, argv), "/d/run.txt >I/d/x.ini I<  >N1,N<");
  EXPECT_EQ(JoinArguments(1, argv), "");
  EXPECT_EQ(SplitCommandLine(JoinArguments(6, argv)).DefinitionFile, "/d/x.ini ");
}

}  // namespace
}  // namespace vantrel
