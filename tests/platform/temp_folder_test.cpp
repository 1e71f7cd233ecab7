#include "platform/temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/temp_dir.h"

namespace vantrel {
namespace {

using testing::TempDir;

// Sets TMPDIR for one test and puts the old value back.
class TmpDirVariable {
 public:
  TmpDirVariable() {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
  }
  ~TmpDirVariable() {
    if (old_.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", old_.c_str(), 1);
  }

 private:
  std::string old_;
};

TEST(FindTempFolder, UsesTmpOnlyWhenTmpdirIsUnset) {
  TempDir dir;
  TmpDirVariable keep;
  unsetenv("TMPDIR");
  EXPECT_EQ(FindTempFolder().Path, "/tmp");
  EXPECT_EQ(FindTempFolder().Error, "");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(FindTempFolder().Path, "/tmp");

  setenv("TMPDIR", dir.path().c_str(), 1);
  EXPECT_EQ(FindTempFolder().Path, dir.path().string());
  EXPECT_EQ(FindTempFolder().Error, "");
}

TEST(FindTempFolder, NamesAnUnusableTmpdirAndItsReason) {
  TmpDirVariable keep;
  TempDir dir;
  const std::string gone = (dir.path() / "gone").string();
  setenv("TMPDIR", gone.c_str(), 1);
  const TempFolder missing = FindTempFolder();
  EXPECT_EQ(missing.Path, gone);
  EXPECT_EQ(missing.Error,
            "the temporary folder " + gone + " (TMPDIR) cannot be used: No such file or directory");
  const std::string file = dir.Write("file", "x").string();
  setenv("TMPDIR", file.c_str(), 1);
  EXPECT_NE(FindTempFolder().Error.find("it is not a folder"), std::string::npos);
  if (geteuid() != 0) {
    const std::filesystem::path locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    setenv("TMPDIR", locked.c_str(), 1);
    EXPECT_NE(FindTempFolder().Error.find("Permission denied"), std::string::npos);
  }
}

}  // namespace
}  // namespace vantrel
