#include "model/print_paths.h"

#include <cstdio>
#include <filesystem>

namespace vantrel {

namespace fs = std::filesystem;

bool IsServerRoot(const std::string& prefix) {
  return prefix.size() > 2 && prefix.compare(0, 2, "//") == 0 &&
         prefix.find('/', 2) == std::string::npos;
}

MakePathResult MakePath(const std::string& path, bool silent, Prompter& ask) {
  MakePathResult result;
  const std::string walk = path + "/";
  for (std::size_t p = walk.find('/'); p != std::string::npos && p < walk.size();
       p = walk.find('/', p + 1)) {
    const std::string prefix = walk.substr(0, p);
    if (prefix.empty() || prefix == "/" || prefix.back() == '/' || IsServerRoot(prefix)) continue;
    std::error_code ec;
    if (fs::is_directory(prefix, ec)) continue;
    fs::create_directory(prefix, ec);
    if (fs::is_directory(prefix)) continue;
    result.Ok = false;
    if (silent) {
      result.Failed = path;
    } else {
      ask.Message("Unable to create directory path '" + path + "'", "Directory Error",
                  PromptIcon::Critical, PromptButtons::Ok);
    }
    break;
  }
  return result;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

TempPdfName MakeTempPdfName(const std::string& folder) {
  for (int i = 0; i < 1000; ++i) {
    char title[16];
    std::snprintf(title, sizeof title, "tmpreport%03d", i);
    const std::string path = JoinPath(folder, std::string(title) + ".pdf");
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return {path, title};
  }
  TempPdfName first{JoinPath(folder, "tmpreport000.pdf"), "tmpreport000"};
  std::error_code ec;
  fs::remove(first.Path, ec);
  return first;
}

std::string SafeJobTitle(const std::string& text) {
  std::string title;
  // Only what a file name cannot hold goes; blanks, punctuation and UTF-8 stay.
  for (const unsigned char c : text) {
    const bool keep = c >= 0x20 && c != 0x7f && c != '/';
    title += keep ? static_cast<char>(c) : '_';
  }
  // A name starting with "." would be a hidden file.
  if (title.empty() || title.front() == '.') title.insert(title.begin(), '_');
  // A file name has room for 255 bytes, with ".pdf" and a driver's additions; the cut
  // never splits a character.
  if (title.size() > 200) {
    std::size_t cut = 200;
    while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80) --cut;
    title.resize(cut);
  }
  return title;
}

}  // namespace vantrel
