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

#include "definitions/report_definition.h"
#include "support/prompter.h"

namespace vantrel {

/// The "Profile Error" texts of a profile, one per entry that is not a report number
/// (a word, or a range left unexpanded because it runs backwards or is too wide), at
/// most kMaxProfileFaults; the last of those then counts the rest.
std::vector<std::string> ProfileFaults(const ProfileEntry& profile);
inline constexpr std::size_t kMaxProfileFaults = 10;

/// Clears reports 1..numReports, then selects every numeric entry of the profile
/// (1-based report numbers). Each entry that is not a number gives its own
/// "Profile Error" message; an entry outside the selection's bounds is ignored.
void SelectReportsByProfile(const ProfileEntry& profile, int numReports, ReportSelection& selection,
                            Prompter& prompter);

/// Writes line into the definition file after the [GENERAL] section's lines, through
/// a temporary file in the same folder renamed over the original. True when written.
bool InsertProfileLine(const std::string& definitionPath, const std::string& line,
                       Prompter& prompter);

/// The path without its extension, shortened until it ends in a separator.
std::string FolderOf(std::string_view path);
/// The text after the last separator.
std::string FileNameOf(std::string_view path);

}  // namespace vantrel
