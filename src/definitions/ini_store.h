#pragma once
// The definition file in memory: section headers and KEY=value lines, renumbered.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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
  /// When set, told of every key a reader asks for, found or not, with the section
  /// asked in: how the manual's tests learn the keys the readers know and UnreadKeys
  /// the keys of a file that nothing reads. One watcher at a time; a load keeps it.
  std::function<void(std::string_view section, std::string_view key)> WatchLookups;
};

}  // namespace vantrel

#include <string_view>

#include "support/prompter.h"

namespace vantrel {

/// Reads the definition file into store, renumbering report, graph and table sections
/// and un-numbered profile lines. A file that cannot be opened or read, or that holds
/// more lines than the store's 16-bit counts, is reported through prompter and leaves
/// store as it was; the result is then false.
bool LoadIni(const std::string& path, IniStore& store, Prompter& prompter);
/// LoadIni of bytes already read; path only names the file in messages.
bool LoadIniBytes(std::string_view bytes, const std::string& path, IniStore& store,
                  Prompter& prompter);

/// The value of key in the first section named section (brackets included), or def.
std::string GetKey(const IniStore& store, std::string_view section, std::string_view key,
                   std::string_view def);

/// Keys indices of one section's entries, after its header; empty when the store has
/// no section of that name. Resolving a section once speeds up many lookups in it.
struct SectionRange {
  int First = 1;
  int Last = 0;
};
SectionRange FindSection(const IniStore& store, std::string_view section);

/// GetKey within a section found before.
std::string GetKeyIn(const IniStore& store, SectionRange range, std::string_view key,
                     std::string_view def);

/// Cuts a comma list into its elements, empty ones kept, and expands "a..b" ranges of
/// whole numbers from element 1 on. A range that runs backwards, has an end that is not
/// a whole number, or would add more than 10000 elements stays as written.
std::vector<std::string> SplitList(std::string_view list);

}  // namespace vantrel
