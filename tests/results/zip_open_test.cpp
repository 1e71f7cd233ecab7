#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>

#include "data_fixture.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::ReadFileBytes;
using testing::WithHeader;
namespace fs = std::filesystem;

const std::string kData = WithHeader(Block("Attenuation", "1\t1\t-2\t-3\t-9\tx\tPP"));

void RunZip(const fs::path& folder, const std::string& arguments) {
  const std::string command = "cd '" + folder.string() + "' && zip -q " + arguments;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    names.push_back(fs::relative(e.path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SetFileZip, TheFirstEntryIsReadAndNothingIsWrittenBesideTheArchive) {
  DataFixture f;
  f.Files.Write("src/results/run.txt", kData);
  f.Files.Write("src/notes.txt", "not the data\n");
  RunZip(f.Files.path() / "src", "-r ../RUN.ZIP results notes.txt");
  fs::remove_all(f.Files.path() / "src");
  // A file of the entry's name beside the archive belongs to the user.
  f.Files.Write("run.txt", "the user's own file\n");
  const auto before = Listing(f.Files.path());
  fs::permissions(f.Files.path(), fs::perms::owner_read | fs::perms::owner_exec);

  ASSERT_TRUE(f.Data.SetFile((f.Files.path() / "RUN.ZIP").string()));
  fs::permissions(f.Files.path(), fs::perms::owner_all);
  EXPECT_TRUE(f.Prompter.Messages.empty());
  EXPECT_EQ(f.Data.TestName(0), "Attenuation");
  EXPECT_EQ(ReadFileBytes(f.Data.TempPath()), kData);
  EXPECT_EQ(f.Host.Captions.back(), "RUN.ZIP - Vantrel");
  EXPECT_EQ(Listing(f.Files.path()), before);
  EXPECT_EQ(ReadFileBytes(f.Files.path() / "run.txt"), "the user's own file\n");
  EXPECT_EQ(f.CopiesInTmp(), 1);
}

TEST(SetFileZip, AnEntryNamedOutsideTheFolderIsStillOnlyReadIntoTheCopy) {
  DataFixture f;
  const fs::path archive = f.Files.path() / "inner" / "evil.zip";
  fs::create_directories(archive.parent_path());
  int error = 0;
  zip_t* z = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(z, nullptr);
  zip_file_add(z, "../escape.txt", zip_source_buffer(z, kData.data(), kData.size(), 0), 0);
  ASSERT_EQ(zip_close(z), 0);
  ASSERT_TRUE(f.Data.SetFile(archive.string()));
  EXPECT_EQ(f.Data.TestName(0), "Attenuation");
  EXPECT_FALSE(fs::exists(f.Files.path() / "escape.txt"));
  EXPECT_EQ(Listing(f.Files.path()), (std::vector<std::string>{"inner", "inner/evil.zip"}));
}

TEST(SetFileZip, UnreadableArchivesFailWithTheZipError) {
  DataFixture f;
  f.Files.Write("run.txt", kData);
  RunZip(f.Files.path(), "-P secret locked.zip run.txt");
  f.Files.Write("broken.zip", "PK\x03\x04 not really");
  for (const char* name : {"locked.zip", "broken.zip"}) {
    f.Prompter.Messages.clear();
    EXPECT_FALSE(f.Data.SetFile((f.Files.path() / name).string())) << name;
    ASSERT_EQ(f.Prompter.Messages.size(), 1u);
    EXPECT_EQ(f.Prompter.Messages[0].Title, "Zip Error");
    EXPECT_EQ(f.Data.TestCount(), 0);
    EXPECT_EQ(ReadFileBytes(f.Data.TempPath()), "");
  }
}

}  // namespace
}  // namespace vantrel
