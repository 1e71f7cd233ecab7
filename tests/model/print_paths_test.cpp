#include "model/print_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(MakeTempPdfName, TakesTheFirstFreeNumberWithOrWithoutTheFinalSlash) {
  testing::TempDir dir;
  const std::string folder = dir.path().string();
  EXPECT_EQ(MakeTempPdfName(folder).Path, folder + "/tmpreport000.pdf");
  dir.Write("tmpreport000.pdf", "x");
  const TempPdfName next = MakeTempPdfName(folder + "/");
  EXPECT_EQ(next.Path, folder + "/tmpreport001.pdf");
  EXPECT_EQ(next.Title, "tmpreport001");
}

TEST(MakeTempPdfName, WhenAllAreTakenTheFirstIsDeletedAndUsed) {
  testing::TempDir dir;
  for (int i = 0; i < 1000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "tmpreport%03d.pdf", i);
    dir.Write(name, "x");
  }
  const TempPdfName name = MakeTempPdfName(dir.path().string());
  EXPECT_EQ(name.Title, "tmpreport000");
  EXPECT_FALSE(fs::exists(name.Path));
  EXPECT_TRUE(fs::exists(dir.path() / "tmpreport999.pdf"));
}

TEST(MakePath, MakesEveryMissingFolderOnTheWay) {
  testing::TempDir dir;
  testing::RecordingPrompter ask;
  const std::string path = (dir.path() / "Out" / "Sub").string();
  EXPECT_TRUE(MakePath(path, false, ask).Ok);
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(MakePath(path + "/", false, ask).Ok);  // already there
  EXPECT_TRUE(ask.Messages.empty());
}

TEST(MakePath, AFileInTheWayIsSaidOrReturned) {
  testing::TempDir dir;
  dir.Write("Out", "not a folder");
  const std::string path = (dir.path() / "Out" / "Sub").string();
  testing::RecordingPrompter ask;
  EXPECT_FALSE(MakePath(path, false, ask).Ok);
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Title, "Directory Error");
  EXPECT_EQ(ask.Messages[0].Text, "Unable to create directory path '" + path + "'");
  EXPECT_EQ(ask.Messages[0].Icon, PromptIcon::Critical);

  testing::RecordingPrompter quiet;
  const MakePathResult silent = MakePath(path, true, quiet);
  EXPECT_FALSE(silent.Ok);
  EXPECT_EQ(silent.Failed, path);
  EXPECT_TRUE(quiet.Messages.empty());
}

TEST(IsServerRoot, OnlyTheServerPartOfADoubleSlashPath) {
  EXPECT_TRUE(IsServerRoot("//server"));
  EXPECT_FALSE(IsServerRoot("//server/share"));
  EXPECT_FALSE(IsServerRoot("//"));
  EXPECT_FALSE(IsServerRoot("/server"));
  EXPECT_FALSE(IsServerRoot("server"));
}

TEST(SafeJobTitle, KeepsAppNameAsItStandsButWhatAFileNameCannotHold) {
  EXPECT_EQ(SafeJobTitle("tmpreport001"), "tmpreport001");
  EXPECT_EQ(SafeJobTitle("My Job: A/B"), "My Job: A_B");
  EXPECT_EQ(SafeJobTitle("Kabel \xC3\x9C 7\tx\x7f"), "Kabel \xC3\x9C 7_x_");
  EXPECT_EQ(SafeJobTitle("../etc/passwd"), "_.._etc_passwd");
  EXPECT_EQ(SafeJobTitle(""), "_");
  EXPECT_EQ(SafeJobTitle(std::string(300, 'a')).size(), 200u);
  // "\xC3\x9C" across the 200th byte is cut whole.
  EXPECT_EQ(SafeJobTitle(std::string(199, 'a') + "\xC3\x9C").size(), 199u);
}

}  // namespace
}  // namespace vantrel
