#include "support/plain_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/temp_dir.h"
#include "support/temporary_files.h"

namespace vantrel {
namespace {

using testing::TempDir;

std::string Wide(std::string_view text) {
  std::string out;
  for (const char c : text) out += std::string{c, '\0'};
  return out;
}

TEST(ReadPlainFile, RefusesWhatIsNoPlainFileWithoutBlocking) {
  TempDir dir;
  const std::string fifo = (dir.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = (dir.path() / "loop").string();
  ASSERT_EQ(::symlink(link.c_str(), link.c_str()), 0);
  const std::vector<std::pair<std::string, std::string>> cases{
      {"", "no file name was given"},
      {(dir.path() / "absent").string(), "No such file or directory"},
      {dir.path().string(), "it is a folder"},
      {fifo, "it is a pipe, not a plain file"},
      {"/dev/zero", "it is a device, not a plain file"},
      {link, "Too many levels of symbolic links"}};
  for (const auto& [path, reason] : cases) {
    std::string bytes = "untouched", error;
    EXPECT_FALSE(ReadPlainFile(path, bytes, error)) << path;
    EXPECT_EQ(error, reason) << path;
    EXPECT_EQ(bytes, "untouched");
  }
  std::string bytes, error;
  EXPECT_FALSE(
      ReadPlainFile(dir.Write("big", std::string(3 << 20, 'b')).string(), bytes, error, 2 << 20));
  EXPECT_EQ(error, "it is larger than 2 MiB");
  EXPECT_TRUE(ReadPlainFile(dir.Write("ok", "a\0b").string(), bytes, error));
}

TEST(TextFault, TellsUtf16BinaryAndArchivesFromText) {
  EXPECT_EQ(TextFault("Results\tx\nEXIT STATUS:\n"), "");
  EXPECT_EQ(TextFault(""), "");
  // One stray NUL in a long text is damage to live with, not binary data.
  EXPECT_EQ(TextFault(std::string(500, 'a') + std::string(1, '\0') + std::string(500, 'b')), "");
  EXPECT_NE(TextFault("\xFF\xFE" + Wide("Results")).find("UTF-16"), std::string::npos);
  EXPECT_NE(TextFault(Wide("Results\tx\nPairs\t4\n")).find("UTF-16"), std::string::npos);
  EXPECT_NE(TextFault("PK\x03\x04rest").find("ZIP archive"), std::string::npos);
  std::string binary;
  for (int i = 0; i < 2048; ++i) binary.push_back(static_cast<char>(i * 37 + 11));
  EXPECT_EQ(TextFault(binary), "it holds binary data, not text");
  EXPECT_EQ(WithoutBom("\xEF\xBB\xBF[GENERAL]"), "[GENERAL]");
  EXPECT_EQ(WithoutBom("[GENERAL]"), "[GENERAL]");
}

TEST(TemporaryFiles, RegisteredFilesAreRemovedAndForgottenOnesKept) {
  TempDir dir;
  const std::string kept = dir.Write("kept", "k").string();
  const std::string gone = dir.Write("gone", "g").string();
  ASSERT_TRUE(RegisterTemporaryFile(kept));
  ASSERT_TRUE(RegisterTemporaryFile(gone));
  ForgetTemporaryFile(kept);
  RemoveTemporaryFilesNow();
  ForgetTemporaryFile(gone);
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_FALSE(std::filesystem::exists(gone));
  EXPECT_FALSE(RegisterTemporaryFile(std::string(5000, 'p')));
}

}  // namespace
}  // namespace vantrel
