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
    ++Calls;
    ShownTitle = title;
    ShownMode = mode;
    ShownFolder = folder;
    ShownExtension = extension;
    return answer_;
  }
  int Calls = 0;
  std::string ShownTitle, ShownFolder, ShownExtension;
  FileDialogMode ShownMode = FileDialogMode::Save;

 private:
  std::string answer_;
};

TEST(ChooseIniFile, PrefersTheIniThenTheBackupThenAsks) {
  TempDir dir;
  const std::string exe = (dir.path() / "vantrel").string();
  const std::string folder = dir.path().string() + "/";
  ScriptedDialog dialog("/elsewhere/picked.ini");

  EXPECT_EQ(ChooseIniFile(exe, dialog), "/elsewhere/picked.ini");
  EXPECT_EQ(dialog.Calls, 1);
  EXPECT_EQ(dialog.ShownTitle, "Please select an ini file to open");
  EXPECT_EQ(dialog.ShownMode, FileDialogMode::Select);
  EXPECT_EQ(dialog.ShownFolder, folder);
  EXPECT_EQ(dialog.ShownExtension, "ini");

  dir.Write("vantrel.bak", "");
  EXPECT_EQ(ChooseIniFile(exe, dialog), folder + "vantrel.bak");
  dir.Write("vantrel.ini", "");
  EXPECT_EQ(ChooseIniFile(exe, dialog), folder + "vantrel.ini");
  EXPECT_EQ(dialog.Calls, 1);
}

TEST(ChooseIniFile, CancelledDialogGivesNothing) {
  TempDir dir;
  ScriptedDialog dialog("");
  EXPECT_EQ(ChooseIniFile((dir.path() / "vantrel").string(), dialog), "");
  EXPECT_FALSE(ExecutablePath().empty());
}

}  // namespace
}  // namespace vantrel
