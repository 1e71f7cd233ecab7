#include "support/file_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "common/file_modes.h"
#include "common/small_disk.h"
#include "common/temp_dir.h"
#include "support/temporary_files.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ModeOf;
using testing::ReadFileBytes;
using testing::SmallDisk;
using testing::TempDir;
using testing::Umask;

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST(FileWriter, NewFilesFollowTheUmaskAndAReplacedFileKeepsItsMode) {
  TempDir dir;
  const fs::path target = dir.path() / "report.pdf";
  std::string error;
  for (const auto& [mask, mode] :
       {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {002, 0664}}) {
    Umask umask(mask);
    fs::remove(target);
    ASSERT_TRUE(WriteWholeFile(target, "new", error)) << error;
    EXPECT_EQ(ModeOf(target), mode) << "umask " << std::oct << mask;
  }
  for (const mode_t kept : {mode_t{0644}, mode_t{0640}, mode_t{0604}}) {
    Umask umask(077);
    ASSERT_EQ(::chmod(target.c_str(), kept), 0);
    ASSERT_TRUE(WriteWholeFile(target, "replaced", error)) << error;
    EXPECT_EQ(ModeOf(target), kept);
    EXPECT_EQ(ReadFileBytes(target), "replaced");
  }
  EXPECT_EQ(Names(dir.path()), std::set<std::string>{"report.pdf"});
}

TEST(FileWriter, AnIncompleteOrRefusedFileLeavesTheOldOneAndNoPart) {
  TempDir dir;
  const fs::path target = dir.Write("report.pdf", "old %%EOF\n");
  std::string error;
  // A PDF writer that stopped halfway.
  EXPECT_FALSE(WriteWholeFile(target, "%PDF-1.4 half", error, {.Trailer = "%%EOF"}));
  EXPECT_EQ(error, "cannot write " + target.string() + ": the file was not written completely");
  EXPECT_TRUE(WriteWholeFile(target, "%PDF-1.4 whole\n%%EOF\r\n", error, {.Trailer = "%%EOF"}));

  FileWriter keep(target, {.Trailer = "", .IfExists = Existing::Keep});
  ASSERT_TRUE(keep.Write("a colleague's file is not replaced"));
  EXPECT_FALSE(keep.Commit());
  EXPECT_TRUE(keep.FoundExisting());
  EXPECT_EQ(keep.Error(), "cannot write " + target.string() + ": File exists");
  EXPECT_EQ(ReadFileBytes(target), "%PDF-1.4 whole\n%%EOF\r\n");

  const fs::path folder = dir.path() / "sub";
  fs::create_directory(folder);
  EXPECT_FALSE(WriteWholeFile(folder, "x", error));
  EXPECT_EQ(error,
            "cannot write " + folder.string() + ": it is a folder; only a plain file is replaced");
  EXPECT_TRUE(fs::is_directory(folder));

  EXPECT_FALSE(WriteWholeFile(dir.path() / "missing" / "x.pdf", "x", error));
  EXPECT_EQ(error, "cannot write " + (dir.path() / "missing" / "x.pdf").string() +
                       ": No such file or directory");
  EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"report.pdf", "sub"}));
}

TEST(FileWriter, AFullDiskIsRefusedWithTheSystemsReasonAndKeepsTheOldFile) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  const fs::path target = disk.path() / "report.csv";
  std::string error;
  ASSERT_TRUE(WriteWholeFile(target, "old", error)) << error;
  EXPECT_FALSE(WriteWholeFile(target, std::string(200 * 1024, 'x'), error));
  EXPECT_EQ(error, "cannot write " + target.string() + ": No space left on device");
  disk.Fill();
  EXPECT_FALSE(CopyToFile("/proc/self/exe", target, error));
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(Names(disk.path()), (std::set<std::string>{"filler", "report.csv"}));
}

// The child makes a part, says so, and is killed before it can rename it.
pid_t KilledWriter(const fs::path& target) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    FileWriter file(target);
    file.Write("half of the new");
    char byte = 1;
    (void)!::write(ready[1], &byte, 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  (void)!::read(ready[0], &byte, 1);
  ::close(ready[0]);
  ::close(ready[1]);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(FileWriter, AKilledRunLeavesTheOldFileAndTheNextRunRemovesItsPart) {
  TempDir dir;
  const fs::path target = dir.Write("report.pdf", "old");
  dir.Write("notes.part", "mine");
  dir.Write(".vantrel-notes.part", "mine too");
  dir.Write(".vantrel-1-short.part", "not a name of ours");
  ASSERT_GT(KilledWriter(target), 0);
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(Names(dir.path()).size(), 5u) << "the killed run's part is there";

  std::string error;
  ASSERT_TRUE(WriteWholeFile(target, "new", error)) << error;
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(Names(dir.path()),
            (std::set<std::string>{".vantrel-1-short.part", ".vantrel-notes.part", "notes.part",
                                   "report.pdf"}));
}

TEST(FileWriter, OnlyPartsOfRunsThatAreOverAreRemoved) {
  TempDir dir;
  // A live run's part: its lock is held, however old it is.
  FileWriter live(dir.path() / "a.pdf");
  ASSERT_TRUE(live.Ready());
  // Same pid as ours, no lock, an hour old: a run before the pid was taken again.
  std::string reused;
  const int fd = MakeOwnedFile(dir.path(), ".vantrel-", ".part", reused);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ForgetTemporaryFile(reused);
  // The same, but young: it may be a run in its first moments.
  std::string young;
  ::close(MakeOwnedFile(dir.path(), ".vantrel-", ".part", young));
  ForgetTemporaryFile(young);
  const timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, reused.c_str(), old, 0), 0);
  ASSERT_EQ(::utimensat(AT_FDCWD, live.PartPath().c_str(), old, 0), 0);

  RemoveStaleParts(dir.path());
  EXPECT_TRUE(fs::exists(live.PartPath()));
  EXPECT_TRUE(fs::exists(young));
  EXPECT_FALSE(fs::exists(reused));
  ASSERT_TRUE(live.Write("still mine") && live.Commit()) << live.Error();
  EXPECT_EQ(ReadFileBytes(dir.path() / "a.pdf"), "still mine");
  ::unlink(young.c_str());
}

TEST(MakeFolders, SaysWhyAFolderCannotBeMade) {
  TempDir dir;
  const fs::path file = dir.Write("plain", "x");
  std::string error;
  EXPECT_TRUE(MakeFolders(dir.path() / "a" / "b", error)) << error;
  EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "b"));
  EXPECT_FALSE(MakeFolders(file / "sub", error));
  EXPECT_EQ(error, "cannot create the folder " + (file / "sub").string() + ": Not a directory");
  EXPECT_FALSE(MakeFolders(file, error));
  EXPECT_EQ(error, "cannot create the folder " + file.string() + ": Not a directory");
}

}  // namespace
}  // namespace vantrel
