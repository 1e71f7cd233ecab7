#include "results/line_fields.h"

#include <algorithm>
#include <cstring>

#include "support/text.h"

namespace vantrel {

bool StripTrailing(std::string_view& line) {
  while (line.size() > 1 && (line.back() == '\t' || line.back() == ',')) line.remove_suffix(1);
  // What is left of a line of only tabs and commas is one of them: still empty.
  return !(line.empty() || (line.size() == 1 && (line[0] == '\t' || line[0] == ',')));
}

int LineFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields) {
  fields.clear();
  if (!StripTrailing(line)) return 0;
  std::size_t start = 0;
  while (static_cast<int>(fields.size()) < kMaxFields - 1) {
    const void* hit = std::memchr(line.data() + start, delimiter, line.size() - start);
    if (hit == nullptr) break;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
    fields.push_back(line.substr(start, at - start));
    start = at + 1;
  }
  fields.push_back(line.substr(start));
  return static_cast<int>(fields.size());
}

RowShape ShapeOfRow(std::string_view line, char delimiter) {
  RowShape row;
  if (!StripTrailing(line)) return row;
  row.Line = line;
  const auto delimiters = static_cast<std::size_t>(std::count(line.begin(), line.end(), delimiter));
  std::size_t lastStart = 0;
  if (delimiters < static_cast<std::size_t>(kMaxFields)) {
    row.Count = static_cast<int>(delimiters) + 1;
    if (delimiters > 0) lastStart = line.rfind(delimiter) + 1;
  } else {
    row.Count = kMaxFields;
    for (int k = 0; k < kMaxFields - 1; ++k) lastStart = line.find(delimiter, lastStart) + 1;
  }
  row.Last = line.substr(lastStart);
  // The last field of a capped line holds delimiters, and a comma is no blank.
  row.AllBlank = delimiters < static_cast<std::size_t>(kMaxFields) || IsBlank(delimiter);
  for (std::size_t i = 0; row.AllBlank && i < line.size(); ++i) {
    row.AllBlank = line[i] == delimiter || IsBlank(line[i]);
  }
  return row;
}

bool LineCursor::Next(std::string_view& line) {
  if (offset_ >= text_.size()) return false;
  const char* begin = text_.data() + offset_;
  const std::size_t left = text_.size() - offset_;
  const void* hit = std::memchr(begin, '\n', left);
  std::size_t length = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - begin) : left;
  // A lone CR ends a line too: lines merged at it would mix header keys and values.
  const void* cr = std::memchr(begin, '\r', length);
  if (cr != nullptr) {
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    if (at + 1 < length || hit == nullptr) {
      offset_ += at + 1;
      line = std::string_view(begin, at);
      return true;
    }
  }
  offset_ += hit ? length + 1 : length;
  if (length > 0 && begin[length - 1] == '\r') --length;
  line = std::string_view(begin, length);
  return true;
}

}  // namespace vantrel
