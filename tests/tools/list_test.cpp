// vantrel-report --list, run as the real executable on fixture files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/temp_dir.h"

namespace vantrel {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

struct ToolRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

ToolRun RunReportTool(const std::vector<std::string>& args) {
  TempDir dir;
  std::string command = Quoted(VANTREL_REPORT_EXE);
  for (const std::string& a : args) command += " " + Quoted(a);
  command +=
      " >" + Quoted((dir.path() / "out").string()) + " 2>" + Quoted((dir.path() / "err").string());
  ToolRun run;
  const int raw = std::system(command.c_str());
  run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.Out = ReadFileBytes(dir.path() / "out");
  run.Err = ReadFileBytes(dir.path() / "err");
  return run;
}

std::string Fixture(const char* name) {
  return std::string(VANTREL_TEST_DATA_DIR) + "/definitions/" + name;
}

const char* const kProfileLines =
    "profile\tEverything\t1,2,3,4\n"
    "profile\tOdd\t1,3,x\n"
    "sequenceprofile\tCAT6*\t2,4\n"
    "sequenceprofile\tBackwards\t4..2\n";

TEST(ListCommand, PrintsReportsThenProfiles) {
  const ToolRun run = RunReportTool({"--definition", Fixture("full.ini"), "--list"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, std::string("report\t1\t1\t1x3\t2\t1\tAttenuation\n"
                                 "report\t2\t0\t2x3\t6\t0\tNEXT series\n"
                                 "report\t3\t0\t2x2\t0\t0\t\n"
                                 "report\t4\t1\t3x2\t0\t2\tThree by two\n") +
                         kProfileLines);
  // A profile after a gap in the numbers is never read, and the list says so.
  EXPECT_EQ(run.Err, "vantrel-report: [GENERAL] PROFILE_9 has no effect: nothing reads it there\n");
}

TEST(ListCommand, ReportsOptionReplacesTheInitialSelection) {
  const ToolRun run =
      RunReportTool({"--definition", Fixture("full.ini"), "--list", "--reports", "2,3..4"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out.substr(0, run.Out.find("profile")),
            "report\t1\t0\t1x3\t2\t1\tAttenuation\n"
            "report\t2\t1\t2x3\t6\t0\tNEXT series\n"
            "report\t3\t1\t2x2\t0\t0\t\n"
            "report\t4\t1\t3x2\t0\t2\tThree by two\n");
}

TEST(ListCommand, MessagesGoToStandardErrorWithTheirTitles) {
  const ToolRun run = RunReportTool({"--definition", Fixture("messages.ini"), "--list"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "report\t1\t1\t1x1\t1\t1\tLog\n");
  EXPECT_EQ(run.Err,
            "Vantrel: Error: \nErrors with sizes or positions for \nreport_1\ngraph_1_1\n"
            "Check Setup Information\n"
            "Vantrel: Error: \nYou can't have limits <= 0.0 for log plots: \nreport_1\n"
            "graph_1_1 (Log)\nCheck Setup Information\n"
            "Reading Reports Ini: There is an invalid variable specified in report 1(Log), "
            "table 1\n\nThe variable 'foo' is not a recognised keyword for a frequency row.\n");
}

TEST(ListCommand, FailsClearlyOnBadInput) {
  struct Case {
    std::vector<std::string> Args;
    const char* ErrPart;
  };
  const std::vector<Case> cases = {
      {{"--list"}, "--definition"},
      {{"--list", "--definition", Fixture("missing.ini")}, "missing.ini cannot be read"},
      {{"--list", "--definition", Fixture("full.ini"), "--reports", "1,x"}, "'x'"},
      {{"--list", "--definition", Fixture("full.ini"), "--reports", "4..2"}, "'4..2'"},
      {{"--list", "--definition", Fixture("full.ini"), "--reports", "5"}, "no report 5"},
      {{"--list", "--definition", Fixture("no_reports.ini"), "--reports", "0"}, "no report 0"},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunReportTool(c.Args);
    EXPECT_EQ(run.Status, 2) << c.ErrPart;
    EXPECT_EQ(run.Out, "") << c.ErrPart;
    EXPECT_NE(run.Err.find(c.ErrPart), std::string::npos) << run.Err;
  }
  const ToolRun empty = RunReportTool({"--list", "--definition", Fixture("no_reports.ini")});
  EXPECT_EQ(empty.Status, 0);
  EXPECT_EQ(empty.Out, "");
}

}  // namespace
}  // namespace vantrel
