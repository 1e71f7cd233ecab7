#include "definitions/ini_store.h"

#include <limits>

#include "support/encoding.h"
#include "support/number.h"
#include "support/plain_file.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr int kStoreCapacity = std::numeric_limits<int16_t>::max();
// A range that would add more elements than this is kept as written.
constexpr int kMaxRangeElements = 10000;
constexpr std::size_t kRangeEndDigits = 50;

// Lines end at CR, CR LF or LF; the last line needs no end.
std::vector<std::string> CutLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(bytes.substr(start, i - start));
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
  return lines;
}

std::string Unquote(std::string value) {
  if (!value.empty() && value.front() == '"') {
    value.erase(0, 1);
    if (!value.empty() && value.back() == '"') value.pop_back();
  }
  return value;
}

// "PROFILE=x" becomes "PROFILE_<n>=x"; numbered keys stay as written.
bool Renumber(std::string& line, std::string_view prefix, int& counter) {
  const std::string upper = ToUpper(line.substr(0, prefix.size() + 1));
  if (!StartsWith(upper, prefix) || StartsWith(upper, std::string(prefix) + "_")) return false;
  ++counter;
  line = std::string(prefix) + "_" + std::to_string(counter) + line.substr(prefix.size());
  return true;
}

// Both ends whole numbers, start <= end, and not absurdly many elements.
bool RangeBounds(std::string_view element, std::size_t dots, int& first, int& last) {
  const auto from = WholeNumberOf(element.substr(0, dots));
  const auto to = WholeNumberOf(element.substr(dots + 2, kRangeEndDigits));
  if (!from || !to || *to < *from) return false;
  if (*to - *from + 1 > kMaxRangeElements) return false;
  first = *from;
  last = *to;
  return true;
}

}  // namespace

bool LoadIni(const std::string& path, IniStore& store, Prompter& prompter) {
  std::string bytes;
  std::string error;
  if (!ReadPlainFile(path, bytes, error)) {
    prompter.Tell("The definition file " + path + " cannot be read: " + error, {},
                  PromptIcon::Critical);
    return false;
  }
  return LoadIniBytes(bytes, path, store, prompter);
}

bool LoadIniBytes(std::string_view bytes, const std::string& path, IniStore& store,
                  Prompter& prompter) {
  if (const std::string fault = TextFault(bytes); !fault.empty()) {
    prompter.Tell(
        "The definition file " + path + " cannot be read: " + fault + ".\r\rNothing was loaded.",
        {}, PromptIcon::Critical);
    return false;
  }

  IniStore loaded;
  loaded.WatchLookups = store.WatchLookups;
  int lineCount = 0, reports = 0, graphs = 0, tables = 0, profiles = 0, sequences = 0;
  bool inGeneral = false;
  for (const std::string& raw : CutLines(WithoutBom(bytes))) {
    std::string line = Trim(DecodeInput(raw));
    if (line.empty()) continue;
    if (++lineCount > kStoreCapacity) {
      prompter.Tell("The definition file " + path + " holds more than " +
                        std::to_string(kStoreCapacity) +
                        " lines, more than the program can hold.\r\rNothing was loaded.",
                    {}, PromptIcon::Critical);
      return false;
    }
    if (inGeneral && !Renumber(line, "PROFILE", profiles)) {
      Renumber(line, "SEQUENCEPROFILE", sequences);
    }

    if (line.front() != '[') {
      const std::size_t eq = line.find('=');
      if (eq == std::string::npos) {
        loaded.Keys.emplace_back();
        loaded.Values.emplace_back();
      } else {
        loaded.Keys.push_back(ToUpper(Trim(std::string_view(line).substr(0, eq))));
        loaded.Values.push_back(Unquote(Trim(std::string_view(line).substr(eq + 1))));
      }
      continue;
    }

    std::string header = ToUpper(line);
    inGeneral = false;
    if (header == "[GENERAL]") {
      inGeneral = true;
    } else if (StartsWith(header, "[REPORT")) {
      ++reports;
      graphs = 0;
      tables = 0;
      header = "[REPORT_" + std::to_string(reports) + "]";
    } else if (StartsWith(header, "[TABLE")) {
      ++tables;
      header = "[TABLE_" + std::to_string(reports) + "_" + std::to_string(tables) + "]";
    } else if (StartsWith(header, "[GRAPH")) {
      ++graphs;
      header = "[GRAPH_" + std::to_string(reports) + "_" + std::to_string(graphs) + "]";
    }
    loaded.Keys.push_back(std::move(header));
    loaded.Values.emplace_back();
    loaded.SectionStart.push_back(static_cast<int16_t>(lineCount));
  }
  loaded.EntryCount = static_cast<int16_t>(lineCount);
  loaded.SectionCount = static_cast<int16_t>(loaded.SectionStart.size() - 1);
  loaded.NumReports = static_cast<int16_t>(reports);
  store = std::move(loaded);
  return true;
}

SectionRange FindSection(const IniStore& store, std::string_view section) {
  const std::string wanted = ToUpper(section);
  for (int s = 1; s <= store.SectionCount; ++s) {
    const int header = store.SectionStart[s];
    if (store.Keys[header] != wanted) continue;
    // Only the first section of a name is ever searched.
    const int end = s < store.SectionCount ? store.SectionStart[s + 1] - 1 : store.EntryCount;
    return {header + 1, end};
  }
  return {};
}

std::string GetKeyIn(const IniStore& store, SectionRange range, std::string_view key,
                     std::string_view def) {
  for (int i = range.First; i <= range.Last; ++i) {
    if (store.Keys[i] == key) return ReplaceAll(store.Values[i], "\n", "");
  }
  return std::string(def);
}

std::string GetKey(const IniStore& store, std::string_view section, std::string_view key,
                   std::string_view def) {
  if (store.WatchLookups) store.WatchLookups(section, key);
  return GetKeyIn(store, FindSection(store, section), key, def);
}

std::vector<std::string> SplitList(std::string_view list) {
  if (list.empty()) return {};
  const std::vector<std::string> pieces = SplitAt(list, ',');
  std::vector<std::string> out;
  out.reserve(pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::size_t dots = pieces[i].find("..");
    int first = 0, last = 0;
    if (i == 0 || dots == std::string::npos || !RangeBounds(pieces[i], dots, first, last) ||
        out.size() + (last - first + 1) + (pieces.size() - i - 1) > kStoreCapacity) {
      out.push_back(pieces[i]);
      continue;
    }
    for (int n = first; n <= last; ++n) out.push_back(std::to_string(n));
  }
  return out;
}

}  // namespace vantrel
