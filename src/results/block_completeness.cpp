#include "results/block_completeness.h"

#include <charconv>
#include <vector>

#include "results/line_fields.h"
#include "support/encoding.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

char DelimiterOf(std::string_view text) {
  std::string_view first = text.substr(0, text.find_first_of("\r\n"));
  const std::string upper = ToUpper(first);
  return StartsWith(upper, "[COMMA DELIMITED]") || Contains(upper, ",") ? ',' : '\t';
}

// Byte offset of the last line that starts a test block, or npos.
std::size_t LastTestLine(std::string_view text) {
  std::size_t at = text.size();
  while (at > 0) {
    const std::size_t hit = text.rfind("TEST:", at - 1);
    if (hit == std::string_view::npos) return hit;
    if (hit == 0 || text[hit - 1] == '\n' || text[hit - 1] == '\r') return hit;
    at = hit;
  }
  return std::string_view::npos;
}

// The whole number after the sweep line's "Points" field, 0 when it has none.
int DeclaredPoints(const std::vector<std::string_view>& fields) {
  if (fields.empty() || !EqualsNoCase(TrimView(fields[0]), "Sweep")) return 0;
  for (std::size_t k = 1; k + 1 < fields.size(); ++k) {
    if (!EqualsNoCase(TrimView(fields[k]), "Points")) continue;
    const std::string_view value = TrimView(fields[k + 1]);
    int n = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    return ec == std::errc() && end == value.data() + value.size() && n > 0 ? n : 0;
  }
  return 0;
}

bool IsRow(const std::vector<std::string_view>& fields, int n) {
  return n >= 1 && (fields[0] == "-" || IsNumeric(fields[0]));
}

}  // namespace

std::string LastTestIncomplete(std::string_view text) {
  const std::size_t start = LastTestLine(text);
  if (start == std::string_view::npos) return {};
  const char delimiter = DelimiterOf(text);
  LineCursor cursor(text, start + 1);
  std::vector<std::string_view> fields;
  std::string_view line;
  cursor.Next(line);
  LineFields(line, delimiter, fields);
  if (fields.empty() || fields[0] != "TEST:") return {};
  const std::string name = fields.size() > 1 ? DecodeInput(TrimView(fields[1])) : std::string();
  const std::string test = "its last test '" + name + "'";

  int points = 0;
  int headings = 0;
  int rows = 0;
  int lastCount = 0;
  int previousCount = 0;
  std::size_t lastStatus = 0;
  std::size_t previousStatus = 0;
  for (int headingLine = 0; cursor.Next(line);) {
    const int n = LineFields(line, delimiter, fields);
    if (rows == 0 && !IsRow(fields, n)) {
      if (n == 0 && headingLine > 0) break;
      if (points == 0) points = DeclaredPoints(fields);
      if (headingLine == 1) headings = n;
      ++headingLine;
      continue;
    }
    if (n < 2) break;
    ++rows;
    previousCount = rows > 1 ? lastCount : headings;
    lastCount = n;
    previousStatus = lastStatus;
    lastStatus = TrimView(fields.back()).size();
  }
  if (rows == 0) return test + " has no rows yet";
  if (points > 0 && rows < points)
    return test + " holds " + std::to_string(rows) + " of its " + std::to_string(points) + " rows";
  // A last line without its line end may be cut anywhere, its status too.
  const bool ended = text.back() == '\n' || text.back() == '\r';
  if (!ended && (lastCount < previousCount || (rows > 1 && lastStatus < previousStatus)))
    return test + " ends in a row cut short";
  return {};
}

}  // namespace vantrel
