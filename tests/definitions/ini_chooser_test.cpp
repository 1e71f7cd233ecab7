#include "definitions/ini_chooser.h"

#include <gtest/gtest.h>

#include "common/temp_dir.h"

namespace vantrel {
namespace {

using testing::TempDir;

class ScriptedDialog : public FileDialog {
 public:
  explicit ScriptedDialog(std::string answer) : answer_(std::move(answer)) {}
  std::string Show(const std::string& title, FileDialogMode mode, const std::string& folder,
                   const std::string& extension) override {
    ++calls;
    shownTitle = title;
    shownMode = mode;
    shownFolder = folder;
    shownExtension = extension;
    return answer_;
  }
  int calls = 0;
  std::string shownTitle, shownFolder, shownExtension;
  FileDialogMode shownMode = FileDialogMode::Save;

 private:
  std::string answer_;
};

TEST(ChooseIniFile, PrefersTheIniThenTheBackupThenAsks) {
  TempDir dir;
  const std::string exe = (dir.path() / "vantrel").string();
  const std::string folder = dir.path().string() + "/";
  ScriptedDialog dialog("/elsewhere/picked.ini");

  EXPECT_EQ(ChooseIniFile(exe, dialog), "/elsewhere/picked.ini");
  EXPECT_EQ(dialog.calls, 1);
  EXPECT_EQ(dialog.shownTitle, "Please select an ini file to open");
  EXPECT_EQ(dialog.shownMode, FileDialogMode::Select);
  EXPECT_EQ(dialog.shownFolder, folder);
  EXPECT_EQ(dialog.shownExtension, "ini");

  dir.Write("vantrel.bak", "");
  EXPECT_EQ(ChooseIniFile(exe, dialog), folder + "vantrel.bak");
  dir.Write("vantrel.ini", "");
  EXPECT_EQ(ChooseIniFile(exe, dialog), folder + "vantrel.ini");
  EXPECT_EQ(dialog.calls, 1);
}

TEST(ChooseIniFile, CancelledDialogGivesNothing) {
  TempDir dir;
  ScriptedDialog dialog("");
  EXPECT_EQ(ChooseIniFile((dir.path() / "vantrel").string(), dialog), "");
  EXPECT_FALSE(ExecutablePath().empty());
}

}  // namespace
}  // namespace vantrel
