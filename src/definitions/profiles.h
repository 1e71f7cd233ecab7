#pragma once
// Named report selections kept in [GENERAL] as PROFILE_n and SEQUENCEPROFILE_n lines.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int kMaxProfiles = 31;
inline constexpr int kMaxSequenceProfiles = 301;

struct ProfileEntry {
  std::string Name;
  /// Element 0 is always empty; elements 1.. are the entries after range expansion.
  std::vector<std::string> Reports;
  int16_t Count = 0;  // elements of Reports, element 0 included
};

/// Entries in file order; the index of the last used entry is size() - 1.
struct ProfileTable {
  std::vector<ProfileEntry> Entries;
  int LastUsed() const { return static_cast<int>(Entries.size()) - 1; }
};

}  // namespace vantrel
