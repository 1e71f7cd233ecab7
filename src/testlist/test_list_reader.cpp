#include "testlist/test_list_reader.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "support/encoding.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool Next(std::string& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    line.assign(text_.substr(pos_, end - pos_));
    const bool crlf = end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n';
    pos_ = end + (crlf ? 2 : 1);
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

struct Split {
  char Delimiter = '\t';
  // The text before the first delimiter; empty when there is none or it comes first.
  std::string First(std::string_view line) const {
    const std::size_t at = line.find(Delimiter);
    return at == std::string_view::npos ? "" : std::string(line.substr(0, at));
  }
  // The text after the first delimiter; empty when there is none or it comes last.
  std::string Rest(std::string_view line) const {
    const std::size_t at = line.find(Delimiter);
    return at == std::string_view::npos ? "" : std::string(line.substr(at + 1));
  }
  bool Starts(std::string_view line, std::string_view word) const {
    return line.size() > word.size() && StartsWith(line, word) && line[word.size()] == Delimiter;
  }
};

// The length as a whole number, halves to even; anything not a number is 0.
std::string WholeLength(const std::string& text) {
  if (!IsNumeric(Trim(text))) return "0";
  const double value = std::nearbyint(Val(text));
  if (!std::isfinite(value) || std::fabs(value) > 1e15) return "0";
  return FormatGeneral(value);
}

}  // namespace

TestListData ReadTestList(std::string_view bytes) {
  TestListData data;
  const std::string text = DecodeInput(bytes);
  Lines lines(text);
  std::string line;
  if (!lines.Next(line)) return data;
  Split split;
  const std::string first = Trim(line);
  if (StartsWith(ToUpper(first), "[COMMA DELIMITED]") || Contains(first, ","))
    split.Delimiter = ',';
  bool more = true;
  for (; more; more = lines.Next(line)) {
    if (split.Starts(line, "Results")) {
      data.ResultsName = line.substr(8);
    } else if (split.Starts(line, "Test Started")) {
      data.Header[33] = line.substr(13);
    } else if (line == "EXIT STATUS:") {
      if (!lines.Next(line)) break;
      const std::size_t andAt = line.find("and ");
      if (andAt != std::string::npos) {
        data.ExitText = Trim(std::string_view(line).substr(andAt + 4));
        data.EndText = line.size() >= 15 && line[14] == 'A' ? "ABORTED" : "COMPLETED";
      } else {
        data.ExitText = split.Rest(line);
        if (!lines.Next(line)) break;
        data.EndText = split.Rest(line);
      }
    } else if (line == "PRODUCT :") {
      bool ended = false;
      for (int skip = 0; skip < 3 && !ended; ++skip) ended = !lines.Next(line);
      for (int k = 1; !ended; ++k) {
        if (!lines.Next(line)) {
          ended = true;
        } else if (StartsWith(line, "Cable Length(m)")) {
          data.Header[31] = WholeLength(split.Rest(line));
          break;
        } else if (k < 31) {
          data.Header[static_cast<std::size_t>(k)] = split.First(line) + "\t" + split.Rest(line);
        }
      }
      if (ended) break;
    } else if (StartsWith(line, "Pre-Test Comments")) {
      data.Header[32] = split.Rest(line);
    } else if (line == "TEST SUMMARY :") {
      data.Found = true;
      break;
    }
  }
  data.Failed = data.ExitText == "FAILED";
  data.Completion = data.EndText == "ABORTED" ? 2 : 3;
  if (!data.Found) return data;
  while (lines.Next(line) && !line.empty()) {
    TestListRow row;
    row.Name = split.First(line);
    const std::string rest = split.Rest(line);
    if (rest.find(split.Delimiter) != std::string::npos) {
      row.Status = split.First(rest);
      row.Specification = split.Rest(rest);
    } else {
      row.Status = rest;
    }
    data.Rows.push_back(std::move(row));
  }
  return data;
}

TestListData ReadTestListFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (!in || !(bytes << in.rdbuf())) {
    error = "cannot read " + path;
    return {};
  }
  return ReadTestList(bytes.str());
}

}  // namespace vantrel
