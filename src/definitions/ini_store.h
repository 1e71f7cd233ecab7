#pragma once
// The definition file in memory: section headers and KEY=value lines, renumbered.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

/// Keys and Values are parallel and 1-based (index 0 holds nothing); a section
/// header's key is its renumbered, upper-cased header text, its value empty.
struct IniStore {
  std::vector<std::string> Keys{""};
  std::vector<std::string> Values{""};
  std::vector<int16_t> SectionStart{0};  // 1-based: Keys index of section s
  int16_t EntryCount = 0;
  int16_t SectionCount = 0;
  int16_t NumReports = 0;
};

}  // namespace vantrel
