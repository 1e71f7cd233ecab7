#include "definitions/profiles.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"

namespace vantrel {
namespace {

using testing::ReadFileBytes;
using testing::RecordingPrompter;
using testing::TempDir;

ProfileEntry Profile(std::string name, std::vector<std::string> reports) {
  ProfileEntry p{std::move(name), std::move(reports), 0};
  p.Count = static_cast<int16_t>(p.Reports.size());
  return p;
}

std::vector<int> SelectedReports(const ReportSelection& s) {
  std::vector<int> out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i]) out.push_back(static_cast<int>(i) + 1);
  }
  return out;
}

TEST(SelectReportsByProfile, SelectsNumericEntriesAndComplainsOfOthers) {
  RecordingPrompter p;
  ReportSelection s{};
  s[1] = true;
  s[9] = true;
  SelectReportsByProfile(Profile("Odd", {"", "1", "x", " 3 ", "0", "210", "-4", "209", "3..1"}), 5,
                         s, p);
  EXPECT_EQ(SelectedReports(s), (std::vector<int>{1, 3, 10, 209}));  // 10 is beyond report 5
  // One message for each entry that is no number: "x" and the backward range.
  ASSERT_EQ(p.Messages.size(), 2u);
  for (const auto& m : p.Messages) {
    EXPECT_EQ(m.Title, "Profile Error");
    EXPECT_EQ(m.Text, "Profile Odd contains a non-numeric entry");
  }
}

TEST(SelectReportsByProfile, TrustsNeitherCountNorReportCountBeyondTheList) {
  RecordingPrompter p;
  ReportSelection s{};
  s.fill(true);
  ProfileEntry odd = Profile("Short", {"", "2"});
  odd.Count = 9;
  SelectReportsByProfile(odd, 1000, s, p);
  EXPECT_EQ(SelectedReports(s), (std::vector<int>{2, 209}));
}

TEST(FolderAndFileName, CutAtEitherSeparator) {
  EXPECT_EQ(FolderOf("C:\\data\\run.txt"), "C:\\data\\");
  EXPECT_EQ(FileNameOf("C:\\data\\run.txt"), "run.txt");
  EXPECT_EQ(FolderOf("/srv/tests/run.01.txt"), "/srv/tests/");
  EXPECT_EQ(FolderOf("/srv/v1.2/run"), "/srv/v1.2/");
  EXPECT_EQ(FolderOf("run.txt"), "");
  EXPECT_EQ(FolderOf("/run.txt"), "/");
  EXPECT_EQ(FolderOf(""), "");
  EXPECT_EQ(FileNameOf("/srv/tests/run.txt"), "run.txt");
  EXPECT_EQ(FileNameOf("run.txt"), "run.txt");
  EXPECT_EQ(FileNameOf("/srv/"), "");
}

class InsertProfileLineTest : public ::testing::Test {
 protected:
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()),
                                                  std::filesystem::directory_iterator()));
  }
  TempDir dir;
  RecordingPrompter prompter;
};

TEST_F(InsertProfileLineTest, WritesBeforeTheEndOfGeneralKeepingLineEndsAndMode) {
  const auto path = dir.Write("def.ini",
                              "[general]  \r\nPROFILE_1=A,1\r\n  APPNAME=x  \r\n\r\n[REPORT]\r\n"
                              "[GENERAL]\r\n\r\n");
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  ASSERT_TRUE(InsertProfileLine(path.string(), "Profile=Daily,2,4", prompter));
  EXPECT_EQ(ReadFileBytes(path),
            "[general]\r\nPROFILE_1=A,1\r\nAPPNAME=x\r\nProfile=Daily,2,4\r\n\r\n[REPORT]\r\n"
            "[GENERAL]\r\n\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
  EXPECT_TRUE(prompter.Messages.empty());
  EXPECT_EQ(FilesInFolder(), 1u);

  const auto unix = dir.Write("unix.ini", "[GENERAL]\nA=1\n[REPORT]\nTITLE=\xB5\n");
  ASSERT_TRUE(InsertProfileLine(unix.string(), "Profile=B,1", prompter));
  EXPECT_EQ(ReadFileBytes(unix), "[GENERAL]\nA=1\nProfile=B,1\n[REPORT]\nTITLE=\xB5\n");
}

TEST_F(InsertProfileLineTest, KeepsAByteOrderMarkInFront) {
  const auto path = dir.Write("bom.ini", "\xEF\xBB\xBF[GENERAL]\nA=1\n\n[REPORT]\n");
  ASSERT_TRUE(InsertProfileLine(path.string(), "Profile=B,1", prompter));
  EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF[GENERAL]\nA=1\nProfile=B,1\n\n[REPORT]\n");
}

TEST(ProfileFaults, OneTextForEachEntryThatIsNoNumber) {
  EXPECT_TRUE(ProfileFaults(Profile("Fine", {"", "1", "2"})).empty());
  // Ranges that run backwards or have a word at one end stay unexpanded: no numbers.
  const std::vector<std::string> faults =
      ProfileFaults(Profile("P", {"", "5..1", "3", "1..x", "word"}));
  EXPECT_EQ(faults, std::vector<std::string>(3, "Profile P contains a non-numeric entry"));
  // The count, not the list's length, says how many entries there are.
  ProfileEntry cut = Profile("Cut", {"", "x", "y"});
  cut.Count = 2;
  EXPECT_EQ(ProfileFaults(cut).size(), 1u);
  // A list of thousands of words asks for ten boxes, the last counting the rest.
  const std::vector<std::string> flood =
      ProfileFaults(Profile("Long", std::vector<std::string>(32767, "x")));
  ASSERT_EQ(flood.size(), kMaxProfileFaults);
  EXPECT_EQ(flood[8], "Profile Long contains a non-numeric entry");
  EXPECT_EQ(flood[9],
            "Profile Long contains a non-numeric entry\r\rAnd 32756 more entries of this "
            "profile are not report numbers either.");
}

TEST_F(InsertProfileLineTest, UpdatesTheFileBehindALink) {
  const auto target = dir.Write("real.ini", "[GENERAL]\n\n");
  const auto link = dir.path() / "link.ini";
  std::filesystem::create_symlink(target, link);
  ASSERT_TRUE(InsertProfileLine(link.string(), "Profile=C,1", prompter));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(target), "[GENERAL]\nProfile=C,1\n\n");
}

TEST_F(InsertProfileLineTest, LeavesTheFileAloneWhenThereIsNoPlace) {
  for (const char* bytes : {"[REPORT]\r\n\r\n[GENERAL]\r\nA=1\r\n", "A=1\n\n", ""}) {
    const auto path = dir.Write("def.ini", bytes);
    prompter.Messages.clear();
    EXPECT_FALSE(InsertProfileLine(path.string(), "Profile=D,1", prompter));
    EXPECT_EQ(ReadFileBytes(path), bytes);
    ASSERT_EQ(prompter.Messages.size(), 1u);
    EXPECT_EQ(prompter.Messages[0].Title, "Add Profile");
    EXPECT_EQ(prompter.Messages[0].Text,
              "No suitable place found to insert the profile string.\r\r"
              "Please check the ini file.");
    EXPECT_EQ(FilesInFolder(), 1u);
  }
}

TEST_F(InsertProfileLineTest, RefusesALineBreakAndAFolderWithoutTouchingAnything) {
  const std::string original = "[GENERAL]\nA=1\n\n";
  const auto path = dir.Write("def.ini", original);
  for (const char* line : {"Profile=H,1\r\n[REPORT]", "Profile=H,1\n"}) {
    EXPECT_FALSE(InsertProfileLine(path.string(), line, prompter));
  }
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_FALSE(InsertProfileLine(dir.path().string(), "Profile=H,1", prompter));
  ASSERT_EQ(prompter.Messages.size(), 3u);
  for (const auto& m : prompter.Messages) EXPECT_EQ(m.Title, "Error");
  EXPECT_NE(prompter.Messages[0].Text.find("line break"), std::string::npos);
  EXPECT_NE(prompter.Messages[2].Text.find("it is a folder"), std::string::npos);
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(InsertProfileLineTest, ReportsAMissingFile) {
  EXPECT_FALSE(InsertProfileLine((dir.path() / "gone.ini").string(), "Profile=E,1", prompter));
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_EQ(prompter.Messages[0].Title, "Error");
  EXPECT_NE(prompter.Messages[0].Text.find("gone.ini"), std::string::npos);
  EXPECT_NE(prompter.Messages[0].Text.find("\r\rUnabled to update ini file."), std::string::npos);
  EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(InsertProfileLineTest, KeepsTheOriginalWhenTheFolderIsReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string original = "[GENERAL]\nA=1\n\n";
  const auto path = dir.Write("def.ini", original);
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0555));
  EXPECT_FALSE(InsertProfileLine(path.string(), "Profile=F,1", prompter));
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
  EXPECT_EQ(ReadFileBytes(path), original);
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_EQ(prompter.Messages[0].Title, "Error");
  EXPECT_EQ(FilesInFolder(), 1u);
}

// A write that fails half way (here: the file-size limit) loses nothing and leaves no
// temporary file. Run in a child so that the limit binds nobody else.
TEST_F(InsertProfileLineTest, KeepsTheOriginalWhenWritingFails) {
  std::string original = "[GENERAL]\nA=1\n\n";
  original += std::string(8192, 'x') + "\n";
  const auto path = dir.Write("def.ini", original);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    RecordingPrompter quiet;
    const bool written = InsertProfileLine(path.string(), "Profile=G,1", quiet);
    const bool told = quiet.Messages.size() == 1 && quiet.Messages[0].Title == "Error";
    ::_exit(!written && told ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_EQ(FilesInFolder(), 1u);
}

}  // namespace
}  // namespace vantrel
