#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/temp_dir.h"

namespace {

using vantrel::testing::ReadFileBytes;
using vantrel::testing::TempDir;

struct InfoRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

InfoRun Info(const std::string& arguments) {
  TempDir dir;
  const std::string errFile = (dir.path() / "err").string();
  const std::string command =
      std::string("'") + VANTREL_REPORT_EXE + "' --info " + arguments + " 2>'" + errFile + "'";
  InfoRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Out.append(buffer, got);
  const int raw = pclose(pipe);
  run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.Err = ReadFileBytes(errFile);
  return run;
}

const std::string kDataDir = std::string(VANTREL_TEST_DATA_DIR) + "/results/";

TEST(InfoCommand, PrintsTheFilesFactsAndIndex) {
  const InfoRun run = Info("'" + kDataDir + "info_run.txt'");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "delimiter: comma\n"
            "control limits: yes\n"
            "pairs: 2\n"
            "cable length: 305.0\n"
            "normalisation length: 100\n"
            "test description: Seq A\n"
            "overall: FAILED\n"
            "test 0: Return Loss @ 327\n"
            "test 1: TEST SUMMARY : @ 454\n");
}

TEST(InfoCommand, WithADefinitionPrintsTheHeaderItemsAsLabelled) {
  const InfoRun run =
      Info("'" + kDataDir + "info_run.txt' --definition '" + kDataDir + "info_definition.ini'");
  EXPECT_EQ(run.Status, 0) << run.Err;
  const std::string expectedTail =
      "header 1: Cable: CBL-7\n"
      "header 2: Specification: Class EA\n"  // the body's line overrides the header's
      "header 4: Conductor: 23 AWG\n"
      "header 12: Test Status: \n"
      "half header 1: Operator: J. Marsh\n"
      "half header 5: Nothing: \n";
  ASSERT_GE(run.Out.size(), expectedTail.size());
  EXPECT_EQ(run.Out.substr(run.Out.size() - expectedTail.size()), expectedTail);
  EXPECT_EQ(run.Out.find("Drum"), std::string::npos);
}

TEST(InfoCommand, ReadsTheFirstEntryOfAZipArchive) {
  TempDir dir;
  dir.Write("a/run.txt", "Results\tx\nPairs\t4\nexit status:\nTEST:\tNEXT\n1\t1\t2\tP\n");
  const std::string zip = "cd '" + dir.path().string() + "' && zip -q -r Data.ZIP a";
  ASSERT_EQ(std::system(zip.c_str()), 0);
  const InfoRun run = Info("'" + (dir.path() / "Data.ZIP").string() + "'");
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("delimiter: tab\n"), std::string::npos);
  EXPECT_NE(run.Out.find("overall: PASSED\ntest 0: NEXT @ 32\n"), std::string::npos) << run.Out;
}

TEST(InfoCommand, AFileThatIsNotLoadedExitsWithOne) {
  TempDir dir;
  const std::string noHeader = dir.Write("bad.txt", "no header here\n").string();
  const std::string brokenZip = dir.Write("bad.zip", "not an archive").string();
  for (const std::string& path : {noHeader, brokenZip, (dir.path() / "absent.txt").string()}) {
    const InfoRun run = Info("'" + path + "'");
    EXPECT_EQ(run.Status, 1) << path;
    EXPECT_EQ(run.Out, "") << path;
    EXPECT_NE(run.Err.find("was not loaded"), std::string::npos) << run.Err;
  }
}

}  // namespace
