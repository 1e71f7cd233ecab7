#pragma once
// The project's sample definition and result file, and what a tools test sees of a
// folder the tool wrote into.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace vantrel::testing {

inline const std::string kSampleIni = std::string(VANTREL_SOURCE_DIR) + "/samples/sample.ini";
inline const std::string kSampleData =
    std::string(VANTREL_SOURCE_DIR) + "/samples/sample-results.txt";
/// Keeps a run away from any print server on the machine.
inline const std::string kNoServer = "CUPS_SERVER=/nonexistent/cups.sock";

/// Names in folder, sorted, other than Qt's runtime folder.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("runtime-", 0) != 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vantrel::testing
