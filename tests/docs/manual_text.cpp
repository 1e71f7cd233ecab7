#include "docs/manual_text.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "support/text.h"

namespace vantrel::testing {

namespace {

const std::regex kKeyName("[A-Z][A-Z0-9_]*(_n)?");

TableRow Cells(const std::string& line) {
  TableRow cells;
  std::string cell;
  bool inCode = false;
  // Split at '|' outside backticks; the first and last pipes frame the row.
  for (std::size_t i = 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '`') inCode = !inCode;
    if (c == '|' && !inCode) {
      cells.push_back(Trim(cell));
      cell.clear();
    } else {
      cell += c;
    }
  }
  return cells;
}

// The section kind a level-2 heading opens, or empty.
std::string SectionOfHeading(const std::string& heading) {
  for (const char* kind : {"[GENERAL]", "[HEADER]", "[REPORT_r]", "[GRAPH_r_g]", "[TABLE_r_t]"}) {
    if (heading.find(kind) != std::string::npos) return kind;
  }
  return {};
}

}  // namespace

std::vector<std::string> CodeSpans(const std::string& cell) {
  std::vector<std::string> spans;
  std::size_t at = 0;
  for (;;) {
    const std::size_t open = cell.find('`', at);
    if (open == std::string::npos) break;
    const std::size_t close = cell.find('`', open + 1);
    if (close == std::string::npos) break;
    spans.push_back(cell.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  return spans;
}

std::string KeyFamily(const std::string& key) {
  static const std::regex numbered("^(.*_)[0-9]+$");
  return std::regex_replace(key, numbered, "$1n");
}

std::string SectionKind(const std::string& section) {
  const std::string upper = ToUpper(section);
  if (StartsWith(upper, "[REPORT_")) return "[REPORT_r]";
  if (StartsWith(upper, "[GRAPH_")) return "[GRAPH_r_g]";
  if (StartsWith(upper, "[TABLE_")) return "[TABLE_r_t]";
  return upper;
}

ManualText ReadManual(const std::string& path) {
  ManualText manual;
  std::ifstream in(path);
  std::string line, heading, section, fence;
  std::ostringstream block;
  bool inBlock = false;
  while (std::getline(in, line)) {
    if (inBlock) {
      if (StartsWith(line, "```")) {
        inBlock = false;
        if (fence == "ini") manual.IniExamples.push_back(block.str());
      } else {
        block << line << '\n';
      }
      continue;
    }
    if (StartsWith(line, "```")) {
      inBlock = true;
      fence = Trim(line.substr(3));
      block.str({});
      continue;
    }
    if (StartsWith(line, "## ")) {
      heading = Trim(line.substr(3));
      section = SectionOfHeading(heading);
      continue;
    }
    if (!StartsWith(line, "|") || StartsWith(line, "|---")) continue;
    const TableRow cells = Cells(line);
    if (cells.empty()) continue;
    manual.TablesByHeading[heading].push_back(cells);
    if (section.empty()) continue;
    for (const std::string& span : CodeSpans(cells[0])) {
      if (std::regex_match(span, kKeyName)) manual.Keys[section].insert(span);
    }
  }
  return manual;
}

}  // namespace vantrel::testing
