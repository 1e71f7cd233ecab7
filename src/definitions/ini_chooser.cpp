#include "definitions/ini_chooser.h"

#include <filesystem>
#include <system_error>

namespace vantrel {

std::string ExecutablePath() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string ChooseIniFile(const std::string& executablePath, FileDialog& dialog) {
  const std::filesystem::path exe(executablePath);
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  const std::string stem = exe.filename().string();
  std::error_code ec;
  for (const char* extension : {".ini", ".bak"}) {
    const std::string candidate = folder + stem + extension;
    if (!stem.empty() && std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return dialog.Show("Please select an ini file to open", FileDialogMode::Select, folder, "ini");
}

std::string ChooseIniFile(FileDialog& dialog) { return ChooseIniFile(ExecutablePath(), dialog); }

}  // namespace vantrel
