// The new instance's command line, read back by the start-up's own parser, and the
// about box's version line.

#include "model/new_instance.h"

#include <gtest/gtest.h>

#include "startup/command_line.h"

namespace vantrel::testing {
namespace {

TEST(NewInstance, NoSelectionEndsTheListAtOnce) {
  const ReportSelection none{};
  const std::string arg = NewInstanceArgument("/data/defs/cable.ini", none);
  EXPECT_EQ(arg, ">I/data/defs/cable.iniI<>N-1,N<");
  const CommandLine line = SplitCommandLine(JoinArguments({arg}));
  EXPECT_EQ(line.DefinitionFile, "/data/defs/cable.ini");
  EXPECT_EQ(line.ReportList, "-1,");
  EXPECT_EQ(line.DataFile, "");
}

TEST(NewInstance, SelectedIndicesAscendingAndAPathWithBlanks) {
  ReportSelection selection{};
  selection[207] = true;
  selection[0] = true;
  selection[12] = true;
  const std::string arg = NewInstanceArgument("/data/my  defs/a.ini", selection);
  EXPECT_EQ(arg, ">I/data/my  defs/a.iniI<>N-1,0,12,207,N<");
  const CommandLine line = SplitCommandLine(JoinArguments({arg}));
  EXPECT_EQ(line.DefinitionFile, "/data/my  defs/a.ini");
  EXPECT_EQ(line.ReportList, "-1,0,12,207,");
}

TEST(NewInstance, VersionAnswersAndTheAboutLine) {
  EXPECT_EQ(GetWindowsVersion(), "Unknown");
  EXPECT_TRUE(HasVisualStyles());
  EXPECT_EQ(AboutVersionLine("0.1.0", "May 11 2026"), "Version 0.1.0 (11 May 2026)");
  EXPECT_EQ(AboutVersionLine("0.1.0", "May  1 2026"), "Version 0.1.0 (01 May 2026)");
  EXPECT_EQ(AboutVersionLine("3.25.000", "11 May 2026"), "Version 3.25.000 (11 May 2026)");
}

}  // namespace
}  // namespace vantrel::testing
