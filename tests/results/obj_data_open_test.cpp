#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "data_fixture.h"
#include "results/line_fields.h"

namespace vantrel {
namespace {

using testing::Block;
using testing::DataFixture;
using testing::WithHeader;
namespace fs = std::filesystem;

const std::string kFile = WithHeader(Block("Attenuation", "1\t1.0\t-2\t-3\t-9\tx\tPP"));

TEST(SetFile, MissingFilesAndFoldersSayWhyAndChangeNothing) {
  DataFixture f;
  EXPECT_FALSE(f.Data.SetFile(""));
  EXPECT_FALSE(f.Data.SetFile((f.Files.path() / "absent.txt").string()));
  EXPECT_FALSE(f.Data.SetFile(f.Files.path().string()));
  ASSERT_EQ(f.Prompter.Messages.size(), 3u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "The data file '' cannot be loaded: no file name was given.");
  // The system's own description comes first, under the title "Error".
  EXPECT_EQ(f.Prompter.Messages[1].Text.rfind("No such file or directory\r\r", 0), 0u);
  EXPECT_EQ(f.Prompter.Messages[1].Title, "Error");
  EXPECT_NE(f.Prompter.Messages[2].Text.find("it is a folder"), std::string::npos);
  EXPECT_TRUE(f.Host.Captions.empty());
  EXPECT_EQ(f.CopiesInTmp(), 0);
  EXPECT_EQ(f.State.DataFilePath, "");
}

TEST(SetFile, WorksOnAPrivateCopyThatTheNextFileAndTheEndRemove) {
  std::string firstCopy;
  {
    DataFixture f;
    ASSERT_TRUE(f.Open(kFile, "first.txt"));
    EXPECT_EQ(f.Host.Captions.back(), "first.txt - Vantrel");
    EXPECT_EQ(f.State.DataFilePath, (f.Files.path() / "first.txt").string());
    firstCopy = f.Data.TempPath();
    EXPECT_EQ(fs::path(firstCopy).parent_path(), f.Tmp.path());
    EXPECT_EQ(fs::path(firstCopy).filename().string().substr(0, 3), "Rep");
    EXPECT_EQ(testing::ReadFileBytes(firstCopy), kFile);
    // The user's file may go away at once: everything is read from the copy.
    fs::remove(f.Files.path() / "first.txt");
    EXPECT_TRUE(f.Data.FindTest("Attenuation", 0).has_value());

    ASSERT_TRUE(f.Open(WithHeader(Block("NEXT", "1\t1\t2\t3\t4\t5\tPP")), "second.txt"));
    EXPECT_FALSE(fs::exists(firstCopy));
    EXPECT_EQ(f.CopiesInTmp(), 1);
    EXPECT_EQ(f.Data.TestName(0), "NEXT");
    firstCopy = f.Data.TempPath();
  }
  EXPECT_FALSE(fs::exists(firstCopy));
}

TEST(SetFile, AMissingTemporaryFolderIsNamedWithTheReason) {
  DataFixture f;
  const std::string gone = (f.Tmp.path() / "gone").string();
  f.Data.UseTempFolder(gone);
  EXPECT_FALSE(f.Open(kFile));
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Text,
            "Error Creating a temporary File\r\rNo file can be made in the folder " + gone +
                ": No such file or directory.");
  EXPECT_EQ(f.Data.TestCount(), 0);
}

TEST(SetFile, AFileThatCannotBeReadSaysSoAndFails) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  DataFixture f;
  const fs::path file = f.Files.Write("locked.txt", kFile);
  fs::permissions(file, fs::perms::none);
  EXPECT_FALSE(f.Data.SetFile(file.string()));
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "File Error");
  EXPECT_EQ(f.Prompter.Messages[0].Text, SystemRefusal(file.string(), EACCES).Text);
}

TEST(SetFile, ADeniedReadIsTheFileHeldOpenThenTheSystemsReason) {
  // Root reads every file, so the wording is checked on the code itself.
  const RefusalMessage denied = SystemRefusal("/d/run.txt", EACCES);
  EXPECT_EQ(denied.Title, "File Error");
  EXPECT_EQ(denied.Text,
            "File '/d/run.txt' is currently open.\r\rPlease close this file before attempting "
            "to load it into the reports.\r\rThe system refuses to read it: Permission denied.");
  const RefusalMessage other = SystemRefusal("/d/run.txt", EIO);
  EXPECT_EQ(other.Title, "Error");
  EXPECT_EQ(other.Text.rfind("Input/output error\r\r", 0), 0u);
}

TEST(SetFile, ANewFileNeverShowsTheOldFilesBlockFromTheCache) {
  DataFixture f;
  ASSERT_TRUE(f.Open(WithHeader(Block("A", "1\t1\t10\t11\t0\t20\tPP")), "a.txt"));
  ASSERT_EQ(f.Data.FindTest("A", 0)->Block->At(2, 0).Number, 10);
  // Same layout, so the block starts at the same byte.
  ASSERT_TRUE(f.Open(WithHeader(Block("A", "1\t1\t55\t11\t0\t20\tPP")), "b.txt"));
  EXPECT_EQ(f.Data.FindTest("A", 0)->Block->At(2, 0).Number, 55);
}

TEST(SetFile, AHeaderWithoutEndLoadsNoIndex) {
  DataFixture f;
  ASSERT_TRUE(f.Open(kFile, "good.txt"));
  ASSERT_EQ(f.Data.TestCount(), 1);
  EXPECT_FALSE(f.Open("Results\tx\nCable ID\tC\n", "bad.txt"));
  EXPECT_EQ(f.Data.TestCount(), 0);
  EXPECT_FALSE(f.Data.FindTest("*", 0).has_value());
}

TEST(SetFile, HostileBytesNeverCrashOrHang) {
  DataFixture f;
  std::string garbage;
  uint32_t seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    garbage.push_back(static_cast<char>(seed >> 16));
  }
  EXPECT_FALSE(f.Open(garbage, "garbage.bin"));

  // A long line, NUL bytes, a truncated block and a block that never gets data rows.
  std::string body =
      Block("Long", std::string(3'000'000, '7') + "\t1\t" + std::string(1, '\0') + "\t2\t3\t4\tPP");
  body += "TEST:\tCut\nSweep\nNo\tFreq\n";
  f.Prompter.Messages.clear();
  ASSERT_TRUE(f.Open(WithHeader(body), "odd.txt"));
  EXPECT_EQ(f.Data.TestCount(), 2);
  auto parsed = f.Data.FindTest("Long", 0);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->Block->At(2, 0).Type, Cell::Kind::Missing);
  EXPECT_FALSE(f.Data.FindTest("Cut", 0).has_value());
}

TEST(SetFile, DamagedCopiesOfAGoodFileAreReadWithoutFault) {
  const std::string good = WithHeader(
      Block("A", "1\t1\t2\t3\t4\t5\tPP\n2\t2\t3\t4\t5\t6\tPF") +
          "TEST SUMMARY :\nA Test Pair 1\tFAIL\tX\n\nSUMMARY INFORMATION\nA\tResult (FAIL)\n",
      "Store Control Limits\tenabled\nPRODUCT :\n");
  const std::string alphabet = std::string("\t\n\r,:- 0.9eEPFx") + std::string(1, '\0');
  uint32_t seed = 7;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  DataFixture f;
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    for (int edits = 1 + static_cast<int>(next() % 6); edits > 0; --edits) {
      const std::size_t at = next() % bytes.size();
      switch (next() % 3) {
        case 0:
          bytes[at] = alphabet[next() % alphabet.size()];
          break;
        case 1:
          bytes.erase(at, 1 + next() % 8);
          break;
        default:
          bytes.insert(at, 1, alphabet[next() % alphabet.size()]);
          break;
      }
      if (bytes.empty()) bytes.push_back('x');
    }
    f.Data.SetFile(f.Files.Write("fuzz.txt", bytes).string());
    for (int16_t i = 0; i < f.Data.TestCount(); ++i) {
      if (const auto parsed = f.Data.ParseEntry(i)) {
        EXPECT_LE(parsed->Block->Cols(), kMaxFields);
      }
    }
    TextGrid grid;
    bool anyFail = false;
    f.Data.ReadTestSummary("TEST SUMMARY :", grid, 3, 2, anyFail);
    f.Data.ReadRawTestSummary("TEST SUMMARY :", grid, 3, 2, anyFail);
  }
}

}  // namespace
}  // namespace vantrel
