#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "archive/cunzip.h"
#include "archive/zip_extract.h"
#include "archive/zip_name.h"
#include "common/recording_prompter.h"
#include "common/temp_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RecordingPrompter;
using testing::TempDir;

// Makes an archive with the real zip tool, run inside folder.
void RunZip(const fs::path& folder, const std::string& arguments) {
  const std::string command = "cd '" + folder.string() + "' && zip -q " + arguments;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Writes an archive whose entry names are chosen freely (the zip tool cleans them).
fs::path WriteRawNames(const TempDir& dir, const std::string& archiveName,
                       const std::vector<std::pair<std::string, std::string>>& entries) {
  const fs::path path = dir.path() / archiveName;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  for (const auto& [name, bytes] : entries) {
    char* copy = static_cast<char*>(std::malloc(bytes.size() + 1));
    std::memcpy(copy, bytes.data(), bytes.size());
    zip_source_t* source = zip_source_buffer(archive, copy, bytes.size(), 1);
    zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  }
  zip_close(archive);
  return path;
}

TEST(IsZipFile, ByTheTrimmedNamesEnding) {
  EXPECT_TRUE(IsZipFile("DATA.ZIP"));
  EXPECT_TRUE(IsZipFile("data.zip"));
  EXPECT_TRUE(IsZipFile("/x/a.Zip  "));
  EXPECT_TRUE(IsZipFile("a.zip"));
  EXPECT_FALSE(IsZipFile(".zip"));
  EXPECT_FALSE(IsZipFile("  .zip "));
  EXPECT_FALSE(IsZipFile("a.zip.txt"));
  EXPECT_FALSE(IsZipFile("azip"));
}

TEST(cUnzip, ListsFileEntriesAndKeepsItsProperties) {
  TempDir dir;
  dir.Write("sub/first.txt", "first data\n");
  dir.Write("second.txt", std::string(5000, 'a'));
  RunZip(dir.path(), "-r pack.zip sub second.txt");
  cUnzip unzip;
  unzip.ZipFile((dir.path() / "pack.zip").string());
  unzip.UseFolderNames(true);
  unzip.MessageLevel(3);
  EXPECT_TRUE(unzip.UseFolderNames());
  EXPECT_EQ(unzip.MessageLevel(), 3);
  ASSERT_TRUE(unzip.Directory()) << unzip.Error();
  ASSERT_EQ(unzip.FileCount(), 2);  // the folder entry "sub/" is not a file
  EXPECT_EQ(unzip.Filename(1), "first.txt");
  EXPECT_EQ(unzip.FileDirectory(1), "sub");
  EXPECT_EQ(unzip.FileSize(1), 11u);
  EXPECT_EQ(unzip.Filename(2), "second.txt");
  EXPECT_GT(unzip.FileCompressionRatio(2), 50);
  EXPECT_EQ(unzip.FileCompressionMethod(2), "Deflated");
  EXPECT_FALSE(unzip.FileEncrypted(2));
  EXPECT_EQ(unzip.Filename(3), "");
  EXPECT_FALSE(unzip.GetVersion().empty());

  unzip.FileSelected(2, false);
  TempDir out;
  unzip.UnzipFolder(out.path().string());
  ASSERT_TRUE(unzip.Unzip()) << unzip.Error();
  EXPECT_EQ(ReadFileBytes(out.path() / "sub" / "first.txt"), "first data\n");
  EXPECT_FALSE(fs::exists(out.path() / "second.txt"));
}

TEST(cUnzip, EntryNamesNeverLeaveTheFolder) {
  TempDir dir;
  const fs::path archive = WriteRawNames(
      dir, "evil.zip", {{"../escape.txt", "bad"}, {"/abs.txt", "bad"}, {"a/../../up.txt", "bad"}});
  TempDir out;
  for (const bool folders : {false, true}) {
    cUnzip unzip;
    unzip.ZipFile(archive.string());
    unzip.UnzipFolder((out.path() / "inner").string());
    unzip.UseFolderNames(folders);
    unzip.Unzip();
    EXPECT_FALSE(fs::exists(out.path() / "escape.txt"));
    EXPECT_FALSE(fs::exists(out.path() / "up.txt"));
    EXPECT_FALSE(fs::exists("/abs.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "escape.txt"));
  }
}

TEST(OrvUnZipToFile, ExtractsTheFirstEntryIntoTheFolderOrOntoTheTarget) {
  TempDir dir;
  dir.Write("in/data.txt", "the data\n");
  dir.Write("other.txt", "other\n");
  RunZip(dir.path(), "-r run.zip in other.txt");
  RecordingPrompter prompter;
  TempDir out;
  const std::string folder = out.path().string() + "/";
  const std::string archive = (dir.path() / "run.zip").string();
  EXPECT_EQ(Orv_UnZip_to_file(archive, folder, "", prompter), out.path() / "data.txt");
  EXPECT_EQ(ReadFileBytes(out.path() / "data.txt"), "the data\n");
  EXPECT_FALSE(fs::exists(out.path() / "other.txt"));

  const std::string target = (out.path() / "copy.txt").string();
  fs::remove(out.path() / "data.txt");
  EXPECT_EQ(Orv_UnZip_to_file(archive, folder, target, prompter), target);
  EXPECT_EQ(ReadFileBytes(target), "the data\n");
  EXPECT_FALSE(fs::exists(out.path() / "data.txt"));
  EXPECT_TRUE(prompter.Messages.empty());
}

// Raises the entry's recorded size without touching its bytes.
void ForgeSize(const fs::path& archive, uint32_t size) {
  std::string bytes = ReadFileBytes(archive);
  auto put = [&](std::size_t at) {
    for (int i = 0; i < 4; ++i)
      bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(size >> (8 * i));
  };
  put(bytes.find("PK\x03\x04") + 22);
  put(bytes.find("PK\x01\x02") + 24);
  TempDir scratch;
  fs::copy_file(scratch.Write("x", bytes), archive, fs::copy_options::overwrite_existing);
}

TEST(ExtractFirstEntryTo, BadArchivesGiveTheZipErrorAndAnEmptyTarget) {
  TempDir dir;
  dir.Write("data.txt", std::string(3000, 'd'));
  RunZip(dir.path(), "-P secret locked.zip data.txt");
  RunZip(dir.path(), "big.zip data.txt");
  ForgeSize(dir.path() / "big.zip", 0x80000000u);
  const std::string good = ReadFileBytes((dir.path() / "locked.zip"));
  dir.Write("empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  dir.Write("cut.zip", good.substr(0, good.size() / 2));
  dir.Write("noise.zip", "this is no archive at all");
  for (const char* name :
       {"locked.zip", "big.zip", "empty.zip", "cut.zip", "noise.zip", "missing.zip"}) {
    RecordingPrompter prompter;
    const fs::path target = dir.Write("target.txt", "stale");
    EXPECT_FALSE(ExtractFirstEntryTo((dir.path() / name).string(), target.string(), prompter))
        << name;
    ASSERT_EQ(prompter.Messages.size(), 1u) << name;
    EXPECT_EQ(prompter.Messages[0].Title, "Zip Error");
    // The known first line, then what is wrong with the archive in the user's words.
    EXPECT_EQ(
        prompter.Messages[0].Text.rfind("Error in ZipModules/Orv_UnZip_to_file\r\r"
                                        "The archive '" +
                                            (dir.path() / name).string() + "' cannot be used: ",
                                        0),
        0u);
    const std::string left = ReadFileBytes(target);
    EXPECT_TRUE(left.empty() || left == "stale") << name;
    if (std::string(name) == "big.zip") {
      EXPECT_NE(prompter.Messages[0].Text.find("would unpack to 2048 MiB"), std::string::npos);
    }
    if (std::string(name) == "locked.zip") {
      EXPECT_NE(prompter.Messages[0].Text.find("encrypted"), std::string::npos);
    }
  }
}

TEST(ExtractFirstEntryTo, ABombIsRefusedByItsDirectoryBeforeAnythingIsUnpacked) {
  TempDir dir;
  RecordingPrompter prompter;
  const fs::path target = dir.Write("target.txt", "");
  const std::string bomb = std::string(VANTREL_TEST_DATA_DIR) + "/hostile/bomb.zip";
  EXPECT_FALSE(ExtractFirstEntryTo(bomb, target.string(), prompter));
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_NE(prompter.Messages[0].Text.find("to 20 MiB, far more than any result file packs"),
            std::string::npos);
  EXPECT_EQ(fs::file_size(target), 0u);
}

TEST(ExtractFirstEntryTo, AnEntryThatUnpacksToMoreThanItDeclaresIsCut) {
  TempDir dir;
  dir.Write("data.txt", std::string(3000, 'd'));
  RunZip(dir.path(), "stored.zip -0 data.txt");
  ForgeSize(dir.path() / "stored.zip", 100);
  RecordingPrompter prompter;
  const fs::path target = dir.Write("target.txt", "");
  EXPECT_FALSE(
      ExtractFirstEntryTo((dir.path() / "stored.zip").string(), target.string(), prompter));
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_EQ(fs::file_size(target), 0u);
}

}  // namespace
}  // namespace vantrel
