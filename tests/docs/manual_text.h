#pragma once
// Reads the manual's Markdown the way its tests need it: key tables per section,
// keyword tables, and the example definitions.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantrel::testing {

/// One row of a Markdown table: its cells, trimmed.
using TableRow = std::vector<std::string>;

struct ManualText {
  /// Keys named in the key tables, by section kind ("[GENERAL]", "[GRAPH_r_g]", ...).
  std::map<std::string, std::set<std::string>> Keys;
  /// Rows of the tables under a level-2 heading, by the heading's text.
  std::map<std::string, std::vector<TableRow>> TablesByHeading;
  /// The bodies of the ```ini blocks, in order.
  std::vector<std::string> IniExamples;
};

ManualText ReadManual(const std::string& path);

/// The words in backticks of a table cell.
std::vector<std::string> CodeSpans(const std::string& cell);

/// "DATA_12" -> "DATA_n", "[GRAPH_3_1]" -> "[GRAPH_r_g]": the forms the manual writes.
std::string KeyFamily(const std::string& key);
std::string SectionKind(const std::string& section);

}  // namespace vantrel::testing
