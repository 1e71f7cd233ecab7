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
  f.files.Write("src/results/run.txt", kData);
  f.files.Write("src/notes.txt", "not the data\n");
  RunZip(f.files.path() / "src", "-r ../RUN.ZIP results notes.txt");
  fs::remove_all(f.files.path() / "src");
  // A file of the entry's name beside the archive belongs to the user.
  f.files.Write("run.txt", "the user's own file\n");
  const auto before = Listing(f.files.path());
  fs::permissions(f.files.path(), fs::perms::owner_read | fs::perms::owner_exec);

  ASSERT_TRUE(f.data.SetFile((f.files.path() / "RUN.ZIP").string()));
  fs::permissions(f.files.path(), fs::perms::owner_all);
  EXPECT_TRUE(f.prompter.messages.empty());
  EXPECT_EQ(f.data.TestName(0), "Attenuation");
  EXPECT_EQ(ReadFileBytes(f.data.TempPath()), kData);
  EXPECT_EQ(f.host.captions.back(), "RUN.ZIP - Vantrel");
  EXPECT_EQ(Listing(f.files.path()), before);
  EXPECT_EQ(ReadFileBytes(f.files.path() / "run.txt"), "the user's own file\n");
  EXPECT_EQ(f.CopiesInTmp(), 1);
}

TEST(SetFileZip, AnEntryNamedOutsideTheFolderIsStillOnlyReadIntoTheCopy) {
  DataFixture f;
  const fs::path archive = f.files.path() / "inner" / "evil.zip";
  fs::create_directories(archive.parent_path());
  int error = 0;
  zip_t* z = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(z, nullptr);
  zip_file_add(z, "../escape.txt", zip_source_buffer(z, kData.data(), kData.size(), 0), 0);
  ASSERT_EQ(zip_close(z), 0);
  ASSERT_TRUE(f.data.SetFile(archive.string()));
  EXPECT_EQ(f.data.TestName(0), "Attenuation");
  EXPECT_FALSE(fs::exists(f.files.path() / "escape.txt"));
  EXPECT_EQ(Listing(f.files.path()), (std::vector<std::string>{"inner", "inner/evil.zip"}));
}

TEST(SetFileZip, UnreadableArchivesFailWithTheZipError) {
  DataFixture f;
  f.files.Write("run.txt", kData);
  RunZip(f.files.path(), "-P secret locked.zip run.txt");
  f.files.Write("broken.zip", "PK\x03\x04 not really");
  for (const char* name : {"locked.zip", "broken.zip"}) {
    f.prompter.messages.clear();
    EXPECT_FALSE(f.data.SetFile((f.files.path() / name).string())) << name;
    ASSERT_EQ(f.prompter.messages.size(), 1u);
    EXPECT_EQ(f.prompter.messages[0].title, "Zip Error");
    EXPECT_EQ(f.data.TestCount(), 0);
    EXPECT_EQ(ReadFileBytes(f.data.TempPath()), "");
  }
}

}  // namespace
}  // namespace vantrel
